#include "link_rule.h"

#include "apply.h"
#include "detection.h"
#include "sample_tree.h"
#include "test_folder.h"

#include "platform/files.h"
#include "platform/path.h"
#include "platform/rights.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

using testing_support::TestFolder;

namespace {

// The platform's answers, but the links' makers as each case says.
season::LinkQueries Links(bool madeByAdministrator) {
    season::LinkQueries links = season::PlatformLinkQueries();
    links.madeByAdministrator = [madeByAdministrator](const std::string&) {
        return madeByAdministrator;
    };
    return links;
}

// A link's target as the system writes it.
std::string Native(std::string path) {
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

TEST(LinkRule, AnElevatedWriteKeepsToTheFolderOrPassesOnlyAdministratorsLinks) {
    TestFolder t;
    t.Write("Addons\\Alpha\\Texture\\treesSU.bmp", "active");
    t.Write("Addons\\Shared\\treesSU.bmp", "shared");
    t.Write("Elsewhere\\Texture\\treesSU.bmp", "a file the user may not write");
    const auto link = [&t](const std::string& target, const std::string& at) {
        return testing_support::MakeFolderLink(Native(t.Path(target)), t.Path(at));
    };
    const bool linked =
        link("Elsewhere\\Texture", "Addons\\Beta") && link("Addons\\Shared", "Addons\\Gamma") &&
        link("Elsewhere", "Addons\\Alpha\\Scenery") && link("Addons\\Nowhere", "Addons\\Delta");
    if (!linked)
        GTEST_SKIP() << "this system makes no symbolic links";
    struct Case {
        const char* target;
        bool madeByAdministrator;
        bool allowed;
    } cases[] = {
        {"Addons\\Alpha\\Texture\\treesSU.bmp", false, true},       // no link
        {"Addons\\Alpha\\Texture\\new.bmp", false, true},           // not there yet
        {"Addons\\Gamma\\treesSU.bmp", false, true},                // a link that stays inside
        {"Addons\\Beta\\treesSU.bmp", false, false},                // a user's link out
        {"Addons\\Beta\\treesSU.bmp", true, true},                  // an administrator's link out
        {"Addons\\Alpha\\Scenery\\Texture\\new.bmp", false, false}, // out, the file not there
        {"Addons\\Alpha\\Scenery", false, false},                   // a folder copy's target
        {"Addons\\..\\Elsewhere\\x.bmp", false, false},             // not below it as written
        {"Addons\\Delta\\x.bmp", false, false}, // a link to nothing, which could be made later
    };
    for (const Case& c : cases) {
        const season::LinkQueries links = Links(c.madeByAdministrator);
        const std::optional<std::string> place = season::CheckedWritePlace(
            t.Path("Addons\\"), links.resolve(t.Path("Addons\\")), t.Path(c.target), links);
        EXPECT_EQ(place.has_value(), c.allowed)
            << c.target << (c.madeByAdministrator ? " (administrator's link)" : "");
        // Where the write is held to is where the system resolves the target.
        if (place) {
            EXPECT_TRUE(platform::SamePathText(*place, links.resolve(t.Path(c.target)))) << *place;
        }
    }
}

// The links Windows has that neither Wine nor the native tests can make, as Windows
// answers for them: a junction (a folder's reparse point, resolved by
// GetFinalPathNameByHandleW) and a symbolic link to a file (a reparse point too on
// Windows; Wine shows a Unix link to a file as a plain file). Each row: the links
// below C:\FSX\Addons (where each leads), the target, who made the links, and the
// outcome.
TEST(LinkRule, WindowsJunctionsAndFileLinksAreCheckedAsFolderLinksAre) {
    using Links = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        Links links;
        const char* target;
        bool madeByAdministrator;
        bool allowed;
    } cases[] = {
        {{{"Beta", "D:\\Users\\Public"}}, "Beta\\Texture\\treesSU.bmp", false, false},
        {{{"Beta", "D:\\Users\\Public"}}, "Beta\\Texture\\treesSU.bmp", true, true},
        {{{"Beta", "C:\\FSX\\Addons\\Shared"}}, "Beta\\Texture\\treesSU.bmp", false, true},
        {{{"Alpha\\Texture\\treesSU.bmp", "C:\\Windows\\System32\\drivers\\x.sys"}},
         "Alpha\\Texture\\treesSU.bmp",
         false,
         false},
        {{{"Alpha\\Texture\\treesSU.bmp", "C:\\FSX\\Addons\\Alpha\\Texture\\Default\\a.bmp"}},
         "Alpha\\Texture\\treesSU.bmp",
         false,
         true},
        {{{"Beta", "D:\\Users\\Public"}}, "Alpha\\Texture\\treesSU.bmp", false, true},
    };
    const std::string base = "C:\\FSX\\Addons\\";
    for (const Case& c : cases) {
        season::LinkQueries links;
        // Each link is replaced by where it leads; the rest of the path stays.
        links.resolve = [&](const std::string& path) {
            for (const auto& [link, target] : c.links) {
                const std::string at = base + link;
                if (path.compare(0, at.size(), at) == 0)
                    return target + path.substr(at.size());
            }
            return path;
        };
        links.isLink = [&](const std::string& path) {
            return std::any_of(c.links.begin(), c.links.end(),
                               [&](const auto& l) { return base + l.first == path; });
        };
        links.exists = [](const std::string&) {
            return true;
        };
        links.madeByAdministrator = [&](const std::string&) {
            return c.madeByAdministrator;
        };
        EXPECT_EQ(season::CheckedWritePlace(base, base, base + c.target, links).has_value(),
                  c.allowed)
            << c.links[0].first << " -> " << c.links[0].second << ": " << c.target;
    }
}

TEST(LinkRule, AnElevatedSwitchSkipsAndNamesATargetALinkLeadsOutOf) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base() + "Addons\\", "Alpha");
    testing_support::LayOutGenericAddon(t.Base() + "Addons\\", "Delta");
    t.Write("Elsewhere\\treesSU.bmp", "a file the user may not write");
    t.Write("Elsewhere\\Default\\treeshw.bmp", "the user's file");
    t.Write("Elsewhere\\Default\\treesSU.bmp", "summer");
    t.Write("Swapped\\treesSU.bmp", "another file the user may not write");
    t.Write("Swapped\\Default\\treeshw.bmp", "the user's file");
    t.MakeFolder("Addons\\Beta");
    if (!testing_support::MakeFolderLink(Native(t.Path("Elsewhere")),
                                         t.Path("Addons\\Beta\\Texture")))
        GTEST_SKIP() << "this system makes no symbolic links";
    season::SwitcherState state;
    state.BaseFolder = t.Path("Addons\\");
    season::ScanSubFolders(state);
    ASSERT_EQ(state.AddonList.size(), 3u);
    state.seasons.SeasonIndex = season::kWinter;
    // Delta's Texture folder is swapped for a user's link right after the rule has
    // looked at the last step of its target, before the copy.
    season::LinkQueries links = Links(false);
    const std::string swapped = state.BaseFolder + "Delta\\Texture\\treesSU.bmp";
    links.isLink = [&, isLink = links.isLink](const std::string& path) {
        const bool answer = isLink(path);
        if (path == swapped) {
            EXPECT_FALSE(platform::RenameNoReplace(t.Path("Addons\\Delta\\Texture"),
                                                   t.Path("Addons\\Delta\\Moved")));
            EXPECT_TRUE(testing_support::MakeFolderLink(Native(t.Path("Swapped")),
                                                        t.Path("Addons\\Delta\\Texture")));
        }
        return answer;
    };
    season::LinkCheckingFileSystem fs(season::RealFileSystem(), state.BaseFolder, links);
    const season::ApplyResult result = season::ApplySeason(state, {}, fs);
    const std::vector<std::string> refused = {state.BaseFolder + "Beta\\Texture\\treesSU.bmp",
                                              swapped};
    EXPECT_EQ(result.failedTargets, refused);
    EXPECT_EQ(result.linkRefused, refused);
    EXPECT_EQ(t.Read("Elsewhere\\treesSU.bmp"), "a file the user may not write");
    EXPECT_EQ(t.Read("Swapped\\treesSU.bmp"), "another file the user may not write");
    EXPECT_EQ(t.Read("Addons\\Alpha\\Texture\\treesSU.bmp"),
              "Alpha\\Texture\\Default\\treeshw.bmp");
}

TEST(LinkRule, OwnersAreToldByTheirSids) {
    using platform::OwnerKind;
    EXPECT_EQ(platform::OwnerKindOfSid("S-1-5-32-544"), OwnerKind::Administrators);
    EXPECT_EQ(platform::OwnerKindOfSid("S-1-5-18"), OwnerKind::System);
    EXPECT_EQ(
        platform::OwnerKindOfSid("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"),
        OwnerKind::TrustedInstaller);
    for (const char* other : {"S-1-5-21-1004336348-1177238915-682003330-1001", "S-1-1-0",
                              "S-1-5-32-545", "S-1-5-32-5440", ""})
        EXPECT_EQ(platform::OwnerKindOfSid(other), OwnerKind::Other) << other;
    // A file this test made is owned by the test's account (Windows gives an
    // elevated administrator's files to Administrators; Wine keeps the account):
    // never by the system or the installer service.
    TestFolder t;
    t.Write("mine.txt", "x");
    OwnerKind owner = OwnerKind::TrustedInstaller;
    ASSERT_FALSE(platform::LinkOwner(t.Path("mine.txt"), owner));
    EXPECT_NE(owner, OwnerKind::TrustedInstaller);
    EXPECT_NE(owner, OwnerKind::System);
}

} // namespace
