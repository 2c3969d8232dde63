#include "detection.h"
#include "sample_tree.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "windows_support.h"
#endif

using season::SwitcherState;
using testing_support::TestFolder;

namespace {

SwitcherState Detect(const TestFolder& t) {
    SwitcherState state;
    state.BaseFolder = t.Base();
    season::ScanSubFolders(state);
    season::ProbeCatalogue(state);
    return state;
}

int CountFlags(const SwitcherState& s) {
    int n = 0;
    for (bool f : s.Detected)
        n += f;
    return n;
}

std::string HiddenName(const std::string& name) {
#ifdef _WIN32
    return name;
#else
    return "." + name;
#endif
}

void Hide(const TestFolder& t, const std::string& name) {
#ifdef _WIN32
    SetFileAttributesW(platform::win32::Widen(t.Path(name)).c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
#else
    (void)t;
    (void)name;
#endif
}

} // namespace

TEST(Detection, AnEmptyBaseFolderFindsNothing) {
    TestFolder t;
    const SwitcherState s = Detect(t);
    EXPECT_TRUE(s.AddonList.empty());
    EXPECT_EQ(CountFlags(s), 0);
}

TEST(Detection, ListsGenericAddonsSortedWithoutRegardToCase) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "gamma");
    testing_support::LayOutGenericAddon(t.Base(), "beta", {0});
    testing_support::LayOutGenericAddon(t.Base(), "Alpha", {0});
    // Only the summer file counts, whatever else "Texture\Default" holds.
    testing_support::LayOutGenericAddon(t.Base(), "NoSummer", {1, 2, 3});
    t.Write("NoSummer\\Texture\\Default\\x.bmp", "x");
    // Only immediate sub-folders count.
    testing_support::LayOutGenericAddon(t.Base(), "Outer\\Inner");
    // A hidden folder never counts.
    testing_support::LayOutGenericAddon(t.Base(), HiddenName("Secret"));
    Hide(t, "Secret");
    // A file named like a folder is not a sub-folder.
    t.Write("Loose.txt", "x");
    // The catalogue probe of row 3, whose display name equals its folder.
    t.Write("Taskelby X\\Scenery\\airport_final.BGL", "p");

    const SwitcherState s = Detect(t);
    const std::vector<std::string> expected = {"Alpha", "beta", "gamma", "Taskelby X"};
    EXPECT_EQ(s.AddonList, expected);
    EXPECT_TRUE(s.Detected[3]);
    EXPECT_EQ(CountFlags(s), 1);
}

TEST(Detection, ACatalogueAddonWithTheGenericLayoutIsListedTwice) {
    TestFolder t;
    t.Write("Tundrell X\\Scenery\\Photo111.bgl", "p");
    testing_support::LayOutGenericAddon(t.Base(), "Tundrell X", {0});
    const SwitcherState s = Detect(t);
    const std::vector<std::string> expected = {"Tundrell X", "Tundrell X"};
    EXPECT_EQ(s.AddonList, expected);
    EXPECT_TRUE(s.Detected[25]);
}

TEST(Detection, ProbesEveryRowInCatalogueOrder) {
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base());
    testing_support::LayOutGenericAddon(t.Base(), "Zulu");
    const SwitcherState s = Detect(t);
    ASSERT_EQ(s.AddonList.size(), 26u);
    EXPECT_EQ(s.AddonList[0], "Zulu"); // scanned folders come first
    for (int row = 1; row <= 25; ++row)
        EXPECT_EQ(s.AddonList[static_cast<size_t>(row)],
                  season::Catalogue()[static_cast<size_t>(row - 1)].displayName);
    EXPECT_FALSE(s.Detected[1]); // row 1 owns no flag
    EXPECT_EQ(CountFlags(s), 24);
}

TEST(Detection, EachProbeSetsOnlyItsOwnFlag) {
    for (int row : {1, 2, 10, 14, 22}) {
        TestFolder t;
        const auto& r = season::Catalogue()[static_cast<size_t>(row - 1)];
        t.Write(std::string(r.installFolder) + "\\" + r.probeFile, "p");
        const SwitcherState s = Detect(t);
        ASSERT_EQ(s.AddonList.size(), 1u) << row;
        EXPECT_EQ(s.AddonList[0], r.displayName);
        for (int other = 1; other <= 25; ++other)
            EXPECT_EQ(s.Detected[static_cast<size_t>(other)], other == row && row != 1)
                << "probe " << row << " flag " << other;
    }
}

TEST(Detection, AProbeThatIsAFolderDoesNotCount) {
    TestFolder t;
    t.MakeFolder("Quorrin\\Scenery\\TUBR_Library_Cars1.BGL");
    t.Write("quorrin\\SCENERY\\tubr_library_cars1.bgl\\inside.txt", "x");
    const SwitcherState s = Detect(t);
    EXPECT_TRUE(s.AddonList.empty());
    EXPECT_FALSE(s.Detected[2]);
}

TEST(Detection, ProbesMatchWithoutRegardToCase) {
    TestFolder t;
    t.Write("QUORRIN\\scenery\\tubr_library_cars1.bgl", "p");
    const SwitcherState s = Detect(t);
    EXPECT_TRUE(s.Detected[2]);
}

TEST(Detection, AnUnreadableBaseFolderStillRunsTheProbes) {
    SwitcherState state;
    state.BaseFolder = "no-such-folder-anywhere\\";
    season::ScanSubFolders(state);
    season::ProbeCatalogue(state);
    EXPECT_TRUE(state.AddonList.empty());
}
