#include "apply.h"
#include "detection.h"
#include "sample_tree.h"
#include "test_folder.h"

#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <stdexcept>

using season::SwitcherState;
using testing_support::TestFolder;

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return s;
}

using Files = std::map<std::string, std::string>; // lower-case relative path -> content

// Every file below the folder, keyed by its lower-case path with backslashes.
Files Snapshot(const TestFolder& t) {
    Files files;
    const std::filesystem::path root(t.Base());
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        if (!e.is_regular_file())
            continue;
        std::string rel = std::filesystem::relative(e.path(), root).generic_string();
        std::replace(rel.begin(), rel.end(), '/', '\\');
        std::string content;
        platform::ReadWholeFile(e.path().string(), content);
        files[Lower(rel)] = content;
    }
    return files;
}

// What the switching should do, worked out on a map of files instead of a disk.
class Model {
public:
    explicit Model(Files files) : files_(std::move(files)) {}

    void Apply(const SwitcherState& s) {
        static const char* const kTrees[] = {"treesSU.bmp", "treesFA.bmp", "treeshw.bmp",
                                             "treesSP.bmp"};
        const int season = s.seasons.SeasonIndex;
        for (const std::string& entry : s.AddonList) {
            const std::string tree = entry + "\\Texture\\Default\\" + kTrees[season];
            if (Has(tree))
                files_[Lower(entry + "\\Texture\\treesSU.bmp")] = files_[Lower(tree)];
        }
        if (!s.AddonList.empty())
            RunRow(1, season, s.UseMipMaps);
        for (int row : {3,  4,  2,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                        14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}) {
            if (s.Detected[static_cast<size_t>(row)])
                RunRow(row, season, s.UseMipMaps);
        }
    }

    const Files& Result() const { return files_; }

private:
    bool Has(const std::string& rel) const { return files_.count(Lower(rel)) != 0; }

    void RunRow(int row, int season, bool mip) {
        const auto& r = season::Catalogue()[static_cast<size_t>(row - 1)];
        const std::string root = std::string(r.installFolder) + "\\";
        for (const auto& op : r.seasons[static_cast<size_t>(season)]) {
            using season::Condition;
            if ((op.condition == Condition::IfMipMaps && !mip) ||
                (op.condition == Condition::IfNoMipMaps && mip) ||
                (op.condition == Condition::IfGuardFile && !Has(root + op.guard)))
                continue;
            const std::string src = Lower(root + op.source);
            std::string dst = Lower(root + op.target);
            switch (op.kind) {
            case season::OpKind::FileCopy:
                if (Has(src))
                    files_[dst] = files_[src];
                break;
            case season::OpKind::FileRename:
                if (Has(src) && !Has(dst)) {
                    files_[dst] = files_[src];
                    files_.erase(src);
                }
                break;
            case season::OpKind::FolderCopy: {
                if (dst.back() == '\\')
                    dst.pop_back();
                const std::string prefix = src + "\\";
                Files copied;
                for (const auto& [path, content] : files_) {
                    if (path.rfind(prefix, 0) == 0 &&
                        path.find('\\', prefix.size()) == std::string::npos)
                        copied[dst + "\\" + path.substr(prefix.size())] = content;
                }
                for (auto& [path, content] : copied)
                    files_[path] = content;
                break;
            }
            }
        }
    }

    Files files_;
};

// One run with the given MipMap answer; the run must end on its own.
season::ApplyResult Apply(SwitcherState& s, bool useMipMaps = false,
                          season::FileSystem& fs = season::RealFileSystem()) {
    season::ApplyRequest request;
    request.useMipMaps = useMipMaps;
    season::ApplyResult r = season::ApplySeason(s, request, fs);
    EXPECT_FALSE(r.raised);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.done, r.total);
    return r;
}

using Targets = std::vector<std::string>;

SwitcherState Detected(const TestFolder& t) {
    SwitcherState s;
    s.BaseFolder = t.Base();
    season::ScanSubFolders(s);
    season::ProbeCatalogue(s);
    return s;
}

void SetSeason(SwitcherState& s, int season) {
    while (s.seasons.SeasonIndex != season)
        season::StepForward(s.seasons);
}

} // namespace

// Every row in every season on a tree of all 25 add-ons and generic add-ons, in a
// sequence of seasons that switches renamed layers back and forth.
TEST(ApplySeason, SwitchesTheWholeSampleTreeThroughTheSeasons) {
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base());
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    testing_support::LayOutGenericAddon(t.Base(), "beta", {0, 2});
    testing_support::LayOutGenericAddon(t.Base(), "Tundrell X");
    SwitcherState s = Detected(t);
    ASSERT_EQ(s.AddonList.size(), 28u);

    Model model(Snapshot(t));
    const struct Step {
        int season;
        bool mip;
    } steps[] = {{2, true},  {0, false}, {1, false}, {3, true},
                 {2, false}, {2, false}, {1, true},  {0, true}};
    for (const Step& step : steps) {
        SetSeason(s, step.season);
        const season::ApplyResult r = Apply(s, step.mip);
        s.UseMipMaps = step.mip; // what the model reads
        model.Apply(s);
        const Files disk = Snapshot(t);
        for (const auto& [path, content] : model.Result()) {
            auto it = disk.find(path);
            ASSERT_NE(it, disk.end()) << "missing " << path << " after season " << step.season;
            EXPECT_EQ(it->second, content) << path << " after season " << step.season;
        }
        EXPECT_EQ(disk.size(), model.Result().size()) << "after season " << step.season;
        EXPECT_EQ(r.failedTargets, Targets{});
        EXPECT_EQ(r.failures, 0u);
    }
}

// Targets checked against the add-ons' documented season files, independently of
// the catalogue table: (season, MipMap answer, target, the source it must now hold).
TEST(ApplySeason, WritesTheDocumentedSourceIntoEachTarget) {
    struct Case {
        int season;
        bool mip;
        const char* target;
        const char* source;
    } cases[] = {
        {2, false, "Alpha\\Texture\\treesSU.bmp", "Alpha\\Texture\\Default\\treeshw.bmp"},
        {0, false, "Alpha\\Texture\\treesSU.bmp", "Alpha\\Texture\\Default\\treesSU.bmp"},
        {1, false, "Brenholt\\Texture\\a.bmp", "Brenholt\\Texture\\Herbst\\a.bmp"},
        {3, false, "Brenholt\\Texture\\a.bmp", "Brenholt\\Texture\\Fruehling\\a.bmp"},
        {2, false, "Quorrin\\Texture\\treesSU.bmp", "Quorrin\\Texture\\Winter_treesSU.off"},
        {0, false, "Quorrin\\Texture\\treesSU.bmp", "Quorrin\\Texture\\Sommer_treesSU.off"},
        {2, false, "Taskelby X\\Texture\\maisfeld.bmp",
         "Taskelby X\\Texture\\Winter\\maisfeld.bmp"},
        {3, false, "Taskelby X\\Texture\\x_trees.bmp",
         "Taskelby X\\Texture\\Fruehling\\x_trees.bmp"},
        {1, false, "Mirrowen X\\texture\\GIRM_Ground_D3.bmp",
         "Mirrowen X\\texture\\texture.Spring\\GIRM_Ground_D3.bmp"},
        {1, false, "Drevanth\\Texture\\treesSU.bmp", "Drevanth\\Texture\\Texture\\treesFA.bmp"},
        {1, false, "Drevanth\\Texture\\OXTA_Terrain07.bmp",
         "Drevanth\\Texture\\Texture\\OXTA_Terrain07_WI.bmp"},
        {3, false, "Drevanth\\Texture\\OXTA_Terrain10.bmp",
         "Drevanth\\Texture\\Texture\\OXTA_Terrain10.bmp"},
        {2, false, "Drevanth\\Texture\\treesSU.bmp", "Drevanth\\Texture\\Texture\\treesWI.bmp"},
        {3, false, "Ostrakel Venmark X\\Texture\\tree_03.bmp",
         "Ostrakel Venmark X\\Texture\\tree_03_sp.bmp"},
        {1, false, "Velmora X\\Texture\\Vegetation02.dds",
         "Velmora X\\Texture\\Fall\\Vegetation02.dds"},
        {3, false, "Kandrith\\Texture\\QIR-278.bmp", "Kandrith\\Texture\\Season\\QIR-278-SU.bmp"},
        {1, false, "Pellwick X\\Texture\\b.dds", "Pellwick X\\Texture\\Fa\\b.dds"},
        {1, false, "Norvasse X\\Norvasse X - priority 2\\Texture\\a.bmp",
         "Norvasse X\\Norvasse X - priority 2\\Texture.sping.NoMipMaps\\a.bmp"},
        {1, true, "Norvasse X\\Norvasse X - priority 2\\Texture\\a.bmp",
         "Norvasse X\\Norvasse X - priority 2\\Texture.spring.MipMaps\\a.bmp"},
        {2, true, "Norvasse X\\Norvasse X - priority 2\\Texture\\b.dds",
         "Norvasse X\\Norvasse X - priority 2\\Texture.winter.MipMaps\\b.dds"},
        {0, false, "Norvasse X\\Norvasse X - priority 2\\Texture\\b.dds",
         "Norvasse X\\Norvasse X - priority 2\\Texture.summer.NoMipMaps\\b.dds"},
        {2, false, "Hestrin 6194\\Texture\\a.bmp", "Hestrin 6194\\Texture\\Wi\\a.bmp"},
        {3, false, "Sorvikk X\\SCENERY\\a.bmp", "Sorvikk X\\SCENERY\\fall\\a.bmp"},
        {3, false, "Sorvikk X\\texture\\b.dds", "Sorvikk X\\texture\\fall\\b.dds"},
        {3, false, "Tallowby 5738 X\\Texture\\a.bmp", "Tallowby 5738 X\\Texture\\summer\\a.bmp"},
        {2, false, "Wendmoor-Airport\\Texture\\a.bmp", "Wendmoor-Airport\\Texture\\winter\\a.bmp"},
        {1, false, "Zelvany 2 X\\Texture\\a.bmp", "Zelvany 2 X\\Texture\\fall\\a.bmp"},
        {2, false, "Rostevik X\\Scenery\\a.bmp", "Rostevik X\\Seasons\\winter\\Scenery\\a.bmp"},
        {2, false, "RUXO Jaskorn 6194 X\\Texture\\a.bmp",
         "RUXO Jaskorn 6194 X\\Texture\\winter\\a.bmp"},
        {3, false, "Fennick 6194\\Texture\\a.bmp", "Fennick 6194\\Texture\\Spring\\a.bmp"},
        {2, false, "FOBA Gethwald_SC\\Texture\\trees.bmp",
         "FOBA Gethwald_SC\\Texture\\Season\\treeshw.bmp"},
        {1, false, "FOBA Gethwald_SC\\Texture\\foba_gras.bmp",
         "FOBA Gethwald_SC\\Texture\\Season\\foba_gras_FA.bmp"},
        {3, false, "Marrowby\\JUPE_7025_SC\\Texture\\a.bmp",
         "Marrowby\\JUPE_7025_SC\\Texture\\Spring\\a.bmp"},
        {1, false, "Aldercot\\Texture\\a.bmp", "Aldercot\\Texture\\normal\\a.bmp"},
        {2, false, "Brackwell\\Texture\\a.bmp", "Brackwell\\Texture\\winter\\a.bmp"},
        {3, false, "Tundrell X\\scenery\\b.dds",
         "Tundrell X\\Seasons\\fall-spring\\scenery\\b.dds"},
    };
    // One tree per season and answer; every case of that pair is checked on it.
    for (int season = 0; season < 4; ++season) {
        for (bool mip : {false, true}) {
            TestFolder t;
            testing_support::LayOutCatalogue(t.Base());
            testing_support::LayOutGenericAddon(t.Base(), "Alpha");
            SwitcherState s = Detected(t);
            SetSeason(s, season);
            EXPECT_EQ(Apply(s, mip).failedTargets, Targets{});
            for (const Case& c : cases) {
                if (c.season == season && c.mip == mip) {
                    EXPECT_EQ(t.Read(c.target), c.source)
                        << "season " << season << ": " << c.target;
                }
            }
        }
    }
}

TEST(ApplySeason, FolderCopiesLeaveSubFoldersBehind) {
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base());
    SwitcherState s = Detected(t);
    SetSeason(s, 2);
    Apply(s);
    EXPECT_FALSE(t.Has("Aldercot\\Texture\\sub\\deep.bmp"));
    EXPECT_FALSE(t.Has("Brenholt\\Texture\\sub\\deep.bmp"));
}

TEST(ApplySeason, RenamesScenerySwitchingWinterOnAndBackOff) {
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base());
    SwitcherState s = Detected(t);
    std::vector<season::ApplyResult> results;
    const char* winterOn[] = {"Winter_TUBR_Terrain01.bgl", "Winter_TUBR_Aerial.bgl",
                              "Winter_TUBR_Library.bgl",   "TUBR_Terrain01.off",
                              "TUBR_Aerial.off",           "TUBR_Library.off"};
    const char* summerOn[] = {"Winter_TUBR_Terrain01.off", "Winter_TUBR_Aerial.off",
                              "Winter_TUBR_Library.off",   "TUBR_Terrain01.bgl",
                              "TUBR_Aerial.bgl",           "TUBR_Library.bgl"};
    auto expectLayer = [&](const char* const* on, const char* const* off, const char* when) {
        for (int i = 0; i < 6; ++i) {
            EXPECT_TRUE(t.Has(std::string("Quorrin\\Scenery\\") + on[i])) << on[i] << " " << when;
            EXPECT_FALSE(t.Has(std::string("Quorrin\\Scenery\\") + off[i]))
                << off[i] << " " << when;
        }
    };
    expectLayer(summerOn, winterOn, "at start");
    SetSeason(s, 2);
    results.push_back(Apply(s));
    expectLayer(winterOn, summerOn, "after winter");
    results.push_back(Apply(s)); // every source is gone now: nothing changes
    expectLayer(winterOn, summerOn, "after winter twice");
    SetSeason(s, 1);
    results.push_back(Apply(s)); // autumn has no Quorrin files
    expectLayer(winterOn, summerOn, "after autumn");
    SetSeason(s, 0);
    results.push_back(Apply(s));
    expectLayer(summerOn, winterOn, "after summer");
    EXPECT_EQ(t.Read("ULBARRA Airport\\SCENERY\\veg_cmb.bgl"),
              "ULBARRA Airport\\SCENERY\\veg_cmb.bgl");
    for (const auto& r : results)
        EXPECT_EQ(r.failedTargets, Targets{});
}

TEST(ApplySeason, NeedsTheMipMapAnswerOnlyWithNorvasse) {
    SwitcherState s;
    EXPECT_FALSE(season::NeedsMipMapAnswer(s));
    s.Detected[season::kMipMapRow] = true;
    EXPECT_TRUE(season::NeedsMipMapAnswer(s));
    s.Detected.fill(true);
    s.Detected[season::kMipMapRow] = false;
    EXPECT_FALSE(season::NeedsMipMapAnswer(s));
}

namespace {

// Passes every call to the real file system and notes it.
class RecordingFileSystem : public season::FileSystem {
public:
    explicit RecordingFileSystem(std::string base) : base_(std::move(base)) {}
    std::vector<std::string> calls;

    bool Exists(const std::string& file) override {
        calls.push_back("exists " + Rel(file));
        return FileSystem::Exists(file);
    }
    bool FileCopy(const std::string& s, const std::string& t) override {
        calls.push_back("copy " + Rel(s) + " > " + Rel(t));
        return FileSystem::FileCopy(s, t);
    }
    bool FileRename(const std::string& s, const std::string& t) override {
        calls.push_back("rename " + Rel(s) + " > " + Rel(t));
        return FileSystem::FileRename(s, t);
    }
    bool FolderCopy(const std::string& s, const std::string& t) override {
        calls.push_back("folder " + Rel(s) + " > " + Rel(t));
        return FileSystem::FolderCopy(s, t);
    }

private:
    std::string Rel(const std::string& p) const { return p.substr(base_.size()); }
    std::string base_;
};

class ThrowingFileSystem : public season::FileSystem {
public:
    bool FileCopy(const std::string&, const std::string&) override { throw std::bad_alloc(); }
};

} // namespace

TEST(ApplySeason, RunsAWinterRequestInTheDocumentedOrder) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    SwitcherState s;
    s.BaseFolder = t.Base();
    s.AddonList = {"Alpha", "Quorrin X", "Sorvikk X"};
    s.Detected[2] = s.Detected[13] = true;
    SetSeason(s, 2);
    RecordingFileSystem fs(t.Base());
    const season::ApplyResult r = Apply(s, false, fs);

    EXPECT_EQ(s.SeasonTreeFile, "treeshw.bmp");
    EXPECT_EQ(s.SeasonFolderWord, "Winter");
    const std::string guard = "exists Brenholt\\Texture\\Winter\\KWOV_gre01_diff.dds";
    const std::vector<std::string> expected = {
        "exists Alpha\\Texture\\Default\\treeshw.bmp",
        "copy Alpha\\Texture\\Default\\treeshw.bmp > Alpha\\Texture\\treesSU.bmp",
        "exists Quorrin X\\Texture\\Default\\treeshw.bmp",
        "exists Sorvikk X\\Texture\\Default\\treeshw.bmp",
        guard,
        "rename Quorrin\\Scenery\\Winter_TUBR_Terrain01.off > "
        "Quorrin\\Scenery\\Winter_TUBR_Terrain01.bgl",
        "exists Quorrin\\Scenery\\Winter_TUBR_Terrain01.off",
        "rename Quorrin\\Scenery\\Winter_TUBR_Aerial.off > "
        "Quorrin\\Scenery\\Winter_TUBR_Aerial.bgl",
        "exists Quorrin\\Scenery\\Winter_TUBR_Aerial.off",
        "rename Quorrin\\Scenery\\Winter_TUBR_Library.off > "
        "Quorrin\\Scenery\\Winter_TUBR_Library.bgl",
        "exists Quorrin\\Scenery\\Winter_TUBR_Library.off",
        "rename Quorrin\\Scenery\\TUBR_Terrain01.bgl > Quorrin\\Scenery\\TUBR_Terrain01.off",
        "exists Quorrin\\Scenery\\TUBR_Terrain01.bgl",
        "rename Quorrin\\Scenery\\TUBR_Aerial.bgl > Quorrin\\Scenery\\TUBR_Aerial.off",
        "exists Quorrin\\Scenery\\TUBR_Aerial.bgl",
        "rename Quorrin\\Scenery\\TUBR_Library.bgl > Quorrin\\Scenery\\TUBR_Library.off",
        "exists Quorrin\\Scenery\\TUBR_Library.bgl",
        "copy Quorrin\\Texture\\Winter_treesSU.off > Quorrin\\Texture\\treesSU.bmp",
        "exists Quorrin\\Texture\\Winter_treesSU.off",
        "folder Sorvikk X\\SCENERY\\winter > Sorvikk X\\SCENERY",
        "folder Sorvikk X\\texture\\winter > Sorvikk X\\texture",
    };
    EXPECT_EQ(fs.calls, expected);
    EXPECT_EQ(r.failedTargets, Targets{});
    EXPECT_EQ(t.Read("Alpha\\Texture\\treesSU.bmp"), "Alpha\\Texture\\Default\\treeshw.bmp");
}

TEST(ApplySeason, RunsTheGuardedRowOncePerRun) {
    TestFolder t;
    t.Write("Brenholt\\Texture\\Herbst\\KWOV_gre01_diff.dds", "autumn");
    struct Case {
        std::vector<std::string> list;
        int copies;
    } cases[] = {{{"a"}, 1}, {{"a", "b", "c", "d"}, 1}};
    for (const Case& c : cases) {
        SwitcherState s;
        s.BaseFolder = t.Base();
        s.AddonList = c.list;
        SetSeason(s, 1);
        RecordingFileSystem fs(t.Base());
        EXPECT_EQ(Apply(s, false, fs).failedTargets, Targets{});
        EXPECT_EQ(std::count(fs.calls.begin(), fs.calls.end(),
                             "folder Brenholt\\Texture\\Herbst > Brenholt\\Texture\\"),
                  c.copies);
    }
    EXPECT_EQ(t.Read("Brenholt\\Texture\\KWOV_gre01_diff.dds"), "autumn");

    // Without its guard file in the season's folder the row does nothing.
    SwitcherState s;
    s.BaseFolder = t.Base();
    s.AddonList = {"a"};
    SetSeason(s, 2);
    RecordingFileSystem fs(t.Base());
    Apply(s, false, fs);
    EXPECT_EQ(std::count_if(fs.calls.begin(), fs.calls.end(),
                            [](const std::string& c) { return c.rfind("folder", 0) == 0; }),
              0);
}

TEST(ApplySeason, ReportsTargetsThatCouldNotBeWritten) {
    TestFolder t;
    // A read-only target of a file copy.
    t.Write("Kandrith\\Scenery\\HUVA-1_LIB.bgl", "p");
    t.Write("Kandrith\\Texture\\Season\\QIR-278-WI.bmp", "winter");
    t.Write("Kandrith\\Texture\\QIR-278.bmp", "summer");
    ASSERT_FALSE(platform::SetReadOnly(t.Path("Kandrith\\Texture\\QIR-278.bmp"), true));
    // A folder copy whose target folder is a file.
    t.Write("Tundrell X\\Scenery\\Photo111.bgl", "p");
    t.Write("Tundrell X\\Seasons\\winter\\Texture\\a.bmp", "a");
    t.Write("Tundrell X\\Seasons\\winter\\Texture\\b.bmp", "b");
    t.Write("Tundrell X\\Texture", "a file where the target folder should be");
    // A rename whose new name is taken.
    t.Write("ULBARRA Airport\\SCENERY\\qen_veh_lib.bgl", "p");
    t.Write("ULBARRA Airport\\SCENERY\\veg_cmb.bgl", "on");
    t.Write("ULBARRA Airport\\SCENERY\\veg_cmb.off", "off");
    // Missing sources are not failures.
    t.Write("Brackwell\\Scenery\\PEWO.bgl", "p");

    SwitcherState s = Detected(t);
    s.AddonList.push_back("NotAFolder");
    SetSeason(s, 2);
    const season::ApplyResult r = Apply(s);

    std::vector<std::string> failed = r.failedTargets;
    std::sort(failed.begin(), failed.end());
    std::vector<std::string> expected = {t.Path("Kandrith\\Texture\\QIR-278.bmp"),
                                         t.Path("ULBARRA Airport\\SCENERY\\veg_cmb.off"),
                                         t.Path("Tundrell X\\Texture")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(failed, expected);
    EXPECT_EQ(r.failures, 3u);
    EXPECT_EQ(t.Read("Kandrith\\Texture\\QIR-278.bmp"), "summer");
    EXPECT_EQ(t.Read("Tundrell X\\Texture"), "a file where the target folder should be");
    EXPECT_EQ(t.Read("ULBARRA Airport\\SCENERY\\veg_cmb.bgl"), "on");
    EXPECT_EQ(t.Read("ULBARRA Airport\\SCENERY\\veg_cmb.off"), "off");
    platform::SetReadOnly(t.Path("Kandrith\\Texture\\QIR-278.bmp"), false);
}

TEST(ApplySeason, ARaisedFailureEndsTheRunAndSaysSo) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    SwitcherState s;
    s.BaseFolder = t.Base();
    s.AddonList = {"Alpha"};
    ThrowingFileSystem fs;
    const season::ApplyResult r = season::ApplySeason(s, {}, fs);
    EXPECT_TRUE(r.raised);
    EXPECT_LT(r.done, r.total);
}

TEST(ApplySeason, KeepsTheActiveTreeWhenTheSeasonsFileIsMissing) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "beta", {0});
    SwitcherState s = Detected(t);
    SetSeason(s, 3);
    EXPECT_EQ(Apply(s).failedTargets, Targets{});
    EXPECT_EQ(t.Read("beta\\Texture\\treesSU.bmp"), "active");
}

namespace {

// The real file system, except that every folder copy fails.
class FailingFolderCopies : public season::FileSystem {
public:
    bool FolderCopy(const std::string&, const std::string&) override { return false; }
};

} // namespace

TEST(ApplySeason, ListsEachFailedTargetOnce) {
    // Every folder copy fails, the guarded row's among them, with several entries
    // in the list.
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base());
    for (const char* name : {"a", "b", "c"})
        testing_support::LayOutGenericAddon(t.Base(), name);
    SwitcherState s = Detected(t);
    SetSeason(s, 1);
    FailingFolderCopies fs;
    const season::ApplyResult r = Apply(s, false, fs);
    std::vector<std::string> sorted = r.failedTargets;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_NE(std::find(sorted.begin(), sorted.end(), t.Base() + "Brenholt\\Texture\\"),
              sorted.end());
    EXPECT_GE(r.failures, r.failedTargets.size());
}

TEST(ApplySeason, AnEmptyListChangesNothingAndSaysSo) {
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base()); // files, but nothing detected below
    SwitcherState s;
    s.BaseFolder = t.Base();
    s.Detected.fill(true);
    SetSeason(s, 2);
    RecordingFileSystem fs(t.Base());
    const season::ApplyResult r = season::ApplySeason(s, {}, fs);
    EXPECT_TRUE(r.nothingFound);
    EXPECT_EQ(r.total, 0u);
    EXPECT_TRUE(fs.calls.empty());
}

TEST(ApplySeason, ReportsProgressAfterEveryOperation) {
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base());
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    SwitcherState s = Detected(t);
    SetSeason(s, 2);
    std::vector<std::pair<size_t, size_t>> seen;
    season::ApplyRequest request;
    request.progress = [&](size_t done, size_t total) {
        seen.emplace_back(done, total);
    };
    const season::ApplyResult r = season::ApplySeason(s, request);
    ASSERT_GT(r.total, s.AddonList.size());
    ASSERT_EQ(seen.size(), r.total);
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], std::make_pair(i + 1, r.total));
    EXPECT_EQ(r.done, r.total);
}

TEST(ApplySeason, StopsBetweenOperationsWhenAsked) {
    struct Case {
        size_t stopAfter; // operations done when the flag is set
        std::vector<std::string> switched;
    } cases[] = {{0, {}}, {1, {"A"}}};
    for (const Case& c : cases) {
        TestFolder t;
        SwitcherState s;
        s.BaseFolder = t.Base();
        for (const char* name : {"A", "B", "C"}) {
            testing_support::LayOutGenericAddon(t.Base(), name);
            s.AddonList.push_back(name);
        }
        SetSeason(s, 2);
        std::atomic<bool> stop{c.stopAfter == 0};
        season::ApplyRequest request;
        request.stop = &stop;
        request.progress = [&](size_t done, size_t) {
            if (done >= c.stopAfter)
                stop = true;
        };
        const season::ApplyResult r = season::ApplySeason(s, request);
        EXPECT_TRUE(r.stopped);
        EXPECT_EQ(r.done, c.stopAfter);
        EXPECT_LT(r.done, r.total);
        for (const char* name : {"A", "B", "C"}) {
            const bool switched = std::count(c.switched.begin(), c.switched.end(), name) != 0;
            EXPECT_EQ(t.Read(std::string(name) + "\\Texture\\treesSU.bmp"),
                      switched ? std::string(name) + "\\Texture\\Default\\treeshw.bmp" : "active")
                << name << " after " << c.stopAfter;
        }
    }
}

// The unattended folder copy ends as the shell's copy does, case by case: the same
// answer and the same files in the target afterwards.
TEST(UnattendedFolderCopy, EndsAsTheShellCopyDoes) {
    struct Case {
        const char* name;
        std::vector<std::string> sourceFiles; // relative to the source folder
        std::vector<std::string> targetFiles; // already in the target ("old")
        const char* readOnlyTarget;           // a target file made read-only, or ""
        bool expected;
    } cases[] = {
        {"into a missing folder", {"a.bmp", "b.dds", "Sub\\c.bmp"}, {}, "", true},
        {"over older files", {"a.bmp", "B.DDS"}, {"A.BMP", "b.dds", "other.bmp"}, "", true},
        {"a read-only target", {"a.bmp", "b.dds"}, {"a.bmp"}, "a.bmp", false},
        {"only a sub-folder", {"Sub\\c.bmp"}, {}, "", false},
        {"no source folder", {}, {}, "", false},
    };
    for (const Case& c : cases) {
        std::map<std::string, Files> after;
        std::map<std::string, bool> answers;
        for (const bool quiet : {false, true}) {
            TestFolder t;
            for (const std::string& f : c.sourceFiles)
                t.Write("Source\\" + f, "new " + Lower(f));
            for (const std::string& f : c.targetFiles)
                t.Write("Target\\" + f, "old");
            if (*c.readOnlyTarget) {
                ASSERT_FALSE(platform::SetReadOnly(t.Path("Target\\") + c.readOnlyTarget, true));
            }
            season::FileSystem& fs =
                quiet ? static_cast<season::FileSystem&>(season::QuietFileSystem())
                      : season::RealFileSystem();
            const std::string key = quiet ? "quiet" : "shell";
            answers[key] = fs.FolderCopy(t.Path("Source"), t.Path("Target"));
            after[key] = Snapshot(t);
            if (*c.readOnlyTarget)
                platform::SetReadOnly(t.Path("Target\\") + c.readOnlyTarget, false);
        }
        EXPECT_EQ(answers["quiet"], c.expected) << c.name;
        EXPECT_EQ(answers["shell"], c.expected) << c.name;
        EXPECT_EQ(after["quiet"], after["shell"]) << c.name;
    }
}
