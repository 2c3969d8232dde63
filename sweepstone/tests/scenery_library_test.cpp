// Removing a product's areas from the scenery library file.
#include "platform/files.h"
#include "profile_reader.h"
#include "scenery_library.h"
#include "test_data.h"
#include "test_folder.h"

#include <gtest/gtest.h>

using sweepstone::ProfileDocument;
using sweepstone::RemoveSceneryAreas;
using sweepstone::TitleOccursIn;
using Texts = std::vector<std::string>;

namespace {

// A scenery library file in the simulator's own layout, one area per title.
std::string Library(const Texts& titles) {
    std::string file = "[General]\r\nTitle=FS9 World Scenery\r\nDescription=FS9 Scenery Data\r\n"
                       "Cache_size=100\r\n\r\n";
    for (size_t i = 0; i < titles.size(); ++i) {
        std::string number = std::to_string(i + 1);
        number.insert(0, number.size() < 3 ? 3 - number.size() : 0, '0');
        file += "[Area." + number + "]\r\nTitle=" + titles[i] +
                "\r\nLocal=Addon Scenery\\x\r\nLayer=" + std::to_string(i + 1) +
                "\r\nActive=TRUE\r\nRequired=FALSE\r\n\r\n";
    }
    return file;
}

Texts TitlesLeft(const std::string& bytes) {
    const ProfileDocument doc(bytes);
    Texts titles;
    for (size_t i = 0; i < doc.SectionCount(); ++i) {
        if (doc.SectionName(i) != "General")
            titles.push_back(doc.ReadString(doc.SectionName(i), "Title", "<none>"));
    }
    return titles;
}

} // namespace

TEST(TitleOccursIn, SubstringExactAndInOneDirection) {
    struct Case {
        const char* title;
        const char* logText;
        bool marked;
    } cases[] = {
        {"Sample Airport X Scenery", "Sample Airport X Scenery", true},
        {"Sample Airport X", "Sample Airport X Scenery", true},
        {"Airport", "Sample Airport X Scenery", true},
        {"Sample Airport X Scenery 2", "Sample Airport X Scenery", false}, // longer than the text
        {"sample airport x", "Sample Airport X Scenery", false},           // case differs
        {"", "Sample Airport X Scenery", false},                           // empty never occurs
        {"Airport", "", false},                                            // empty text
        {"Error", "Error", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TitleOccursIn(c.title, c.logText), c.marked) << c.title << " in " << c.logText;
}

TEST(RemoveSceneryAreas, RemovesTheAreasWhoseTitleOccursInTheText) {
    struct Case {
        const char* behaviour;
        Texts titles;
        const char* logText;
        Texts left;
    } cases[] = {
        {"the example",
         {"Sample Airport X Scenery", "Sample Airport X", "Airport", "Sample Airport X Scenery 2",
          "sample airport x"},
         "Sample Airport X Scenery",
         {"Sample Airport X Scenery 2", "sample airport x"}},
        {"an empty text marks nothing", {"A", "B"}, "", {"A", "B"}},
        {"a title in several areas removes all of them", {"P", "Q", "P", "P"}, "P", {"Q"}},
        {"letter case counts", {"Addon", "ADDON"}, "my addon", {"Addon", "ADDON"}},
        {"a title longer than the text stays", {"Airport X 2"}, "Airport X", {"Airport X 2"}},
        {"quoted titles are compared without quotes", {"\"Quoted\""}, "Quoted", {}},
    };
    for (const Case& c : cases) {
        testing_support::TestFolder t;
        t.Write("Scenery.cfg", Library(c.titles));
        EXPECT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), c.logText)) << c.behaviour;
        EXPECT_EQ(TitlesLeft(t.Read("Scenery.cfg")), c.left) << c.behaviour;
    }
}

TEST(RemoveSceneryAreas, KeepsTheOtherAreasUnderTheirOldNames) {
    testing_support::TestFolder t;
    t.Write("Scenery.cfg", Library({"One", "Two", "Three", "Four", "Five"}));
    ASSERT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "Three"));
    EXPECT_EQ(testing_support::ProfileReader(t.Read("Scenery.cfg")).SectionNames(),
              (Texts{"General", "Area.001", "Area.002", "Area.004", "Area.005"}));
}

TEST(RemoveSceneryAreas, NeverMarksAnAreaWithoutTitle) {
    testing_support::TestFolder t;
    const std::string content = "[Area.001]\r\nLocal=Scenery\\World\r\n[Area.002]\r\nTitle=\r\n";
    t.Write("Scenery.cfg", content);
    ASSERT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "Error while removing Scenery"));
    EXPECT_EQ(t.Read("Scenery.cfg"), content);
}

TEST(RemoveSceneryAreas, EachCallSeesTheRemovalsBeforeIt) {
    testing_support::TestFolder t;
    t.Write("Scenery.cfg", Library({"A", "B", "C"}));
    ASSERT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "A"));
    ASSERT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "C"));
    EXPECT_EQ(TitlesLeft(t.Read("Scenery.cfg")), Texts{"B"});
}

TEST(RemoveSceneryAreas, AMissingFileStaysMissing) {
    testing_support::TestFolder t;
    EXPECT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "Sample Airport X"));
    EXPECT_FALSE(t.Has("Scenery.cfg"));
}

TEST(RemoveSceneryAreas, AnUnwritableFileStaysAsItWasAndTheFailureIsRaised) {
    testing_support::TestFolder t;
    const std::string content = Library({"Sample Airport X", "Other", "Sample Airport X"});
    t.Write("Scenery.cfg", content);
    ASSERT_FALSE(platform::SetReadOnly(t.Path("Scenery.cfg"), true));
    EXPECT_TRUE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "Sample Airport X"));
    EXPECT_EQ(t.Read("Scenery.cfg"), content);
    // With nothing marked there is nothing to write and nothing fails.
    EXPECT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "Unrelated"));
}

namespace {

struct RealArea {
    const char* file;
    const char* title; // a title that stands in exactly one area
    const char* section;
    const char* local; // that area's Local folder, one of the simulator's own
};

// The original's bytes minus exactly the lines of one section (its section line
// up to the next section line, blank lines kept).
std::string WithoutSectionByHand(const std::string& bytes, const std::string& sectionLine) {
    const size_t begin = bytes.find(sectionLine);
    EXPECT_NE(begin, std::string::npos);
    size_t end = bytes.find("\n[", begin);
    end = end == std::string::npos ? bytes.size() : end + 1;
    std::string removed = bytes.substr(begin, end - begin);
    // Blank lines at the end of the section stay.
    std::string kept;
    while (removed.size() >= 2 && removed.compare(removed.size() - 2, 2, "\n\n") == 0) {
        kept += "\n";
        removed.pop_back();
    }
    while (removed.size() >= 4 && removed.compare(removed.size() - 4, 4, "\r\n\r\n") == 0) {
        kept += "\r\n";
        removed.resize(removed.size() - 2);
    }
    return bytes.substr(0, begin) + kept + bytes.substr(end);
}

} // namespace

TEST(RemoveSceneryAreas, RealLibraryFilesLoseExactlyTheOneArea) {
    const RealArea areas[] = {
        {"fsx-default-120-areas.cfg", "St. Maarten", "[Area.110]", "Scenery\\Cities\\StMaarten"},
        {"sim-124-areas-resource-titles-crlf.cfg", "@IDS_AREA_KOBLENZ", "[Area.123]",
         "Scenery\\Airports\\Koblenz"},
    };
    for (const RealArea& a : areas) {
        // Every area of these files is the simulator's own, which is never removed:
        // the one area is made a product's by its Local folder.
        std::string original = sweepstone_testing::ReadTestData(a.file);
        const std::string local = std::string("Local=") + a.local;
        original.replace(original.find(local), local.size(), "Local=Addon Scenery\\Product");
        testing_support::TestFolder t;
        t.Write("Scenery.cfg", original);
        const size_t before = ProfileDocument(original).SectionCount();
        ASSERT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), a.title)) << a.file;
        const std::string after = t.Read("Scenery.cfg");
        EXPECT_EQ(after, WithoutSectionByHand(original, a.section)) << a.file;
        EXPECT_EQ(ProfileDocument(after).SectionCount(), before - 1) << a.file;
    }
}

TEST(RemoveSceneryAreas, RealLibraryFilesStayByteIdenticalWhenNothingMatches) {
    for (const char* name :
         {"fsx-default-120-areas.cfg", "sim-124-areas-resource-titles-crlf.cfg"}) {
        const std::string original = sweepstone_testing::ReadTestData(name);
        testing_support::TestFolder t;
        t.Write("Scenery.cfg", original);
        ASSERT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "No Such Product Anywhere"));
        EXPECT_EQ(t.Read("Scenery.cfg"), original) << name;
    }
}

TEST(IsDefaultArea, TheSimulatorsOwnFoldersRelativeOrInFull) {
    const std::vector<std::string> roots = {"C:\\Program Files (x86)\\Microsoft Games\\FSX\\",
                                            "D:/Steam/steamapps/common/FSX"};
    struct Case {
        const char* local;
        bool simulators;
    } cases[] = {
        {"Scenery\\World", true},
        {"Scenery\\Cities\\LasVegas", true},
        {"scenery", true},
        {"Scenery/0000/", true},
        {"Addon Scenery", true},
        {"ADDON SCENERY\\", true},
        {" Addon Scenery ", true},
        {"Addon Scenery\\..\\Scenery\\World", true},
        {".\\Scenery\\BASE", true},
        {"C:\\Program Files (x86)\\Microsoft Games\\FSX\\Scenery\\Cities\\Reno", true},
        {"c:\\program files (x86)\\microsoft games\\fsx\\addon scenery", true},
        {"D:\\Steam\\steamapps\\common\\FSX\\Scenery\\AFRI", true},
        // A product's own folders stay removable.
        {"Addon Scenery\\Las Vegas Airport X", false},
        {"Addon Scenery\\Scenery", false},
        {"C:\\Program Files (x86)\\Microsoft Games\\FSX\\Addon Scenery\\Berlin X", false},
        {"C:\\Other\\Scenery\\World", false},
        {"C:\\Program Files (x86)\\Microsoft Games\\FSX", false},
        {"Scenery.X\\Berlin", false},
        {"..\\Scenery\\World", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sweepstone::IsDefaultArea(c.local, roots), c.simulators) << c.local;
}

// The simulator's own areas stay whatever a log's text holds (a product's name
// that contains "Las Vegas" or "Addon Scenery"), and are listed as refused; a
// product's area beside them still goes.
TEST(RemoveSceneryAreas, NeverRemovesTheSimulatorsDefaultAreas) {
    const std::string original = sweepstone_testing::ReadTestData("fsx-default-120-areas.cfg");
    const std::string product = "[Area.121]\nTitle=Las Vegas Airport X\nLocal=Addon "
                                "Scenery\\Las Vegas Airport X\nLayer=121\nActive=TRUE\n";
    testing_support::TestFolder t;
    t.Write("Scenery.cfg", original + "\n" + product);
    sweepstone::SceneryEdit edit;
    ASSERT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"),
                                    "Las Vegas Airport X Berlin Africa Asia Reno Addon Scenery", {},
                                    &edit));
    EXPECT_EQ(t.Read("Scenery.cfg"), original + "\n");
    EXPECT_EQ(edit.removed, Texts{"Las Vegas Airport X"});
    EXPECT_EQ(edit.refused,
              (Texts{"Africa", "Asia", "Las Vegas", "Reno", "Berlin", "Addon Scenery"}));

    ASSERT_FALSE(RemoveSceneryAreas(t.Path("Scenery.cfg"), "Las Vegas Airport X", {}, &edit));
    EXPECT_EQ(t.Read("Scenery.cfg"), original + "\n");
    EXPECT_TRUE(edit.removed.empty());
    EXPECT_EQ(edit.refused, Texts{"Las Vegas"});
}
