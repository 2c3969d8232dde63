#include "active_season.h"
#include "apply.h"
#include "detection.h"
#include "sample_tree.h"
#include "test_folder.h"

#include "platform/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>

using season::ActiveSeasons;
using season::Activity;
using season::SeasonBit;
using season::SwitcherState;
using testing_support::TestFolder;

namespace {

constexpr season::SeasonSet S = SeasonBit(season::kSummer), A = SeasonBit(season::kAutumn),
                            W = SeasonBit(season::kWinter), P = SeasonBit(season::kSpring);

// The real file system, counting the byte comparisons; the files named in
// `restamped` report another last-write time, as after a copy that kept none.
class WatchedFileSystem : public season::FileSystem {
public:
    int byteReads = 0;
    std::set<std::string> restamped;
    std::error_code Facts(const std::string& file, platform::FileFacts& facts) override {
        const std::error_code failure = FileSystem::Facts(file, facts);
        if (restamped.count(file))
            facts.lastWrite += 12345;
        return failure;
    }
    bool SameBytes(const std::string& first, const std::string& second) override {
        ++byteReads;
        return FileSystem::SameBytes(first, second);
    }
};

SwitcherState Detect(const TestFolder& t) {
    SwitcherState state;
    state.BaseFolder = t.Base();
    season::ScanSubFolders(state);
    season::ProbeCatalogue(state);
    return state;
}

void Switch(SwitcherState& state, int season, bool mipMaps = false) {
    state.seasons = {season, (season + 1) % 4, (season + 3) % 4};
    season::ApplyRequest request;
    request.useMipMaps = mipMaps;
    const season::ApplyResult result = season::ApplySeason(state, request);
    ASSERT_TRUE(result.failedTargets.empty());
}

const season::AddonActivity& AddonNamed(const ActiveSeasons& found, const std::string& name) {
    for (const auto& addon : found.addons) {
        if (addon.name == name)
            return addon;
    }
    throw std::runtime_error("not listed: " + name);
}

// The sample add-ons, each file a minute older than the one before, as an
// installer dates them (written at once, many would share size and time, and
// only their bytes could tell them apart).
void LayOut(const TestFolder& t) {
    testing_support::LayOutCatalogue(t.Base());
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    testing_support::LayOutGenericAddon(t.Base(), "Beta", {season::kSummer, season::kWinter});
    auto stamp = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(t.Base())) {
        if (entry.is_regular_file())
            std::filesystem::last_write_time(entry.path(), stamp -= std::chrono::minutes(1));
    }
}

TEST(ActiveSeason, AfterEachSwitchEveryAddonHoldsItFromSizeAndTimeAlone) {
    // Exact sets where seasons share files or leave an add-on alone.
    struct Row {
        std::string addon;
        int season;
        season::SeasonSet seasons;
    };
    const Row kExact[] = {
        {"Alpha", season::kWinter, W},        // generic copy
        {"Beta", season::kAutumn, S | A | P}, // no autumn or spring file: left as summer
        {"Kandrith", season::kSpring, S | P}, // copy: spring takes the summer file
        {"Mirrowen X", season::kAutumn, A | P},
        {"Quorrin X", season::kWinter, A | W | P}, // renames; nothing for autumn and spring
        {"Ulbarra X", season::kSummer, S | A | P}, // rename: on except in winter
        {"Grimmary", season::kSpring, S | P},      // three renames
        {"Sorvikk X", season::kAutumn, A | P},     // folder copies: spring takes autumn's
        {"Wendmoor X", season::kWinter, A | W | P},
        {"Norvasse X", season::kWinter, W},      // folder copies under either MipMap answer
        {"Brenholt - KWOV", season::kAutumn, A}, // the guarded folder copy
        {"Drevanth X", season::kAutumn, A},      // ground shared with winter, trees not
    };
    // One tree switched through every season under each MipMap answer.
    TestFolder t;
    LayOut(t);
    SwitcherState state = Detect(t);
    Switch(state, season::kWinter, true);
    for (const bool mipMaps : {false, true}) {
        for (int season = 0; season < season::kSeasonCount; ++season) {
            SCOPED_TRACE(testing::Message() << "season " << season << " mipmaps " << mipMaps);
            Switch(state, season, mipMaps);
            WatchedFileSystem fs;
            const ActiveSeasons found = season::FindActiveSeasons(state, fs);
            EXPECT_EQ(found.activity, Activity::Season);
            EXPECT_EQ(found.season, season);
            EXPECT_EQ(found.addons.size(), state.AddonList.size());
            EXPECT_EQ(fs.byteReads, 0);
            for (const auto& addon : found.addons) {
                EXPECT_EQ(addon.activity, Activity::Season) << addon.name;
                EXPECT_NE(addon.seasons & SeasonBit(season), 0u) << addon.name;
            }
            for (const Row& row : kExact) {
                if (row.season == season) {
                    EXPECT_EQ(AddonNamed(found, row.addon).seasons, row.seasons) << row.addon;
                }
            }
        }
    }
}

TEST(ActiveSeason, FilesChangedAfterAWinterSwitch) {
    struct Row {
        const char* what;
        std::function<void(const TestFolder&, WatchedFileSystem&)> change;
        std::string addon;
        Activity addonActivity;
        season::SeasonSet seasons;            // when the add-on holds a season
        std::vector<std::string> disagreeing; // when it is mixed
        Activity overall;
        int byteReads;
    };
    const auto copy = [](const TestFolder& t, const std::string& from, const std::string& to) {
        ASSERT_FALSE(platform::CopyFileReplacing(t.Path(from), t.Path(to)));
    };
    const Row kRows[] = {
        {"a generic add-on's summer file back",
         [&](const TestFolder& t, WatchedFileSystem&) {
             copy(t, "Alpha\\Texture\\Default\\treesSU.bmp", "Alpha\\Texture\\treesSU.bmp");
         },
         "Alpha",
         Activity::Season,
         S,
         {},
         Activity::Mixed,
         0},
        {"a file of its own",
         [](const TestFolder& t, WatchedFileSystem&) {
             t.Write("Alpha\\Texture\\treesSU.bmp", "painted by hand");
         },
         "Alpha",
         Activity::Unknown,
         0,
         {},
         Activity::Mixed,
         0},
        {"the winter bytes without the winter time",
         [](const TestFolder& t, WatchedFileSystem& fs) {
             fs.restamped.insert(t.Path("Alpha\\Texture\\treesSU.bmp"));
         },
         // No source has the target's time: each of its size is compared.
         "Alpha",
         Activity::Season,
         W,
         {},
         Activity::Season,
         4},
        {"one of a row's copies from summer",
         [&](const TestFolder& t, WatchedFileSystem&) {
             copy(t, "Ostrakel Venmark X\\Texture\\tree_02_su.bmp",
                  "Ostrakel Venmark X\\Texture\\tree_02.bmp");
         },
         "Ostrakel X",
         Activity::Mixed,
         0,
         {"Texture\\tree_02.bmp"},
         Activity::Mixed,
         0},
        {"one file of a folder copy from summer",
         [&](const TestFolder& t, WatchedFileSystem&) {
             copy(t, "Sorvikk X\\SCENERY\\summer\\b.dds", "Sorvikk X\\SCENERY\\b.dds");
         },
         "Sorvikk X",
         Activity::Mixed,
         0,
         {"SCENERY\\b.dds"},
         Activity::Mixed,
         0},
        {"one layer renamed back",
         [](const TestFolder& t, WatchedFileSystem&) {
             ASSERT_FALSE(platform::RenameNoReplace(
                 t.Path("Grimmary 1\\Cobbleford\\SCENERY\\CobblefordWindsock_Fall.off"),
                 t.Path("Grimmary 1\\Cobbleford\\SCENERY\\CobblefordWindsock_Fall.bgl")));
         },
         "Grimmary",
         Activity::Mixed,
         0,
         {"SCENERY\\CobblefordWindsock_Fall.off"},
         Activity::Mixed,
         0},
        {"both names of a layer",
         [](const TestFolder& t, WatchedFileSystem&) {
             t.Write("ULBARRA Airport\\SCENERY\\veg_cmb.bgl", "again");
         },
         "Ulbarra X",
         Activity::Unknown,
         0,
         {},
         Activity::Mixed,
         0},
    };
    // One tree, switched to winter again before each change (which repairs every
    // change but the last).
    TestFolder t;
    LayOut(t);
    SwitcherState state = Detect(t);
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        Switch(state, season::kWinter);
        WatchedFileSystem fs;
        row.change(t, fs);
        const ActiveSeasons found = season::FindActiveSeasons(state, fs);
        const auto& addon = AddonNamed(found, row.addon);
        EXPECT_EQ(addon.activity, row.addonActivity);
        EXPECT_EQ(addon.seasons, row.seasons);
        EXPECT_EQ(addon.disagreeing, row.disagreeing);
        EXPECT_EQ(found.activity, row.overall);
        EXPECT_EQ(found.season, season::kWinter);
        EXPECT_EQ(found.differing, row.overall == Activity::Mixed
                                       ? std::vector<std::string>{row.addon}
                                       : std::vector<std::string>{});
        EXPECT_EQ(fs.byteReads, row.byteReads);
    }
}

TEST(ActiveSeason, NothingToldBeforeTheFirstSwitchAndNothingFound) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    testing_support::LayOutGenericAddon(t.Base(), "Beta");
    const ActiveSeasons fresh = season::FindActiveSeasons(Detect(t));
    EXPECT_EQ(fresh.activity, Activity::Unknown);
    EXPECT_EQ(AddonNamed(fresh, "Alpha").activity, Activity::Unknown);

    TestFolder empty;
    const ActiveSeasons none = season::FindActiveSeasons(Detect(empty));
    EXPECT_TRUE(none.addons.empty());
    EXPECT_EQ(none.activity, Activity::Unknown);
}

} // namespace
