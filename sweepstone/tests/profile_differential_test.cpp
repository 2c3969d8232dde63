// ProfileFile against the system's own profile functions (Windows build only). A
// corpus of hand-written and generated files is read through both, and sections are
// removed through both; the answers must agree. Where the system under test is Wine
// and Wine is known to differ from Windows, ProfileFile follows Windows and the
// case is listed in KnownWineDifferences with both answers.
#include "platform/files.h"
#include "profile_reader.h"
#include "scenery_library.h"
#include "test_data.h"
#include "test_folder.h"
#include "win32_profile_reference.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

using namespace sweepstone_testing;
using testing_support::ProfileReader;
using testing_support::ReadProfile;
using testing_support::RemoveSections;
using Texts = std::vector<std::string>;

namespace {

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

std::string Join(const Texts& items) {
    std::string out;
    for (const std::string& s : items)
        out += "<" + s + ">";
    return out;
}

// Everything a reader can tell about a file, as one text: the section list, and for
// each section name (first copies, and one that is missing) its lines, its keys, and
// the lookup of each key as written, in upper case and with spaces around it. The
// questions come from `questions` (ProfileFile's reading of the file), so that both
// readers answer the same ones.
template <typename Names, typename Lines, typename Keys, typename Read>
std::string Describe(const ProfileReader& questions, Names names, Lines lines, Keys keys,
                     Read read) {
    std::string out = "names " + Join(names()) + "\n";
    std::set<std::string> seen;
    Texts sections = questions.SectionNames();
    sections.push_back("No Such Section");
    for (const std::string& section : sections) {
        if (!seen.insert(Upper(section)).second)
            continue;
        out += "[" + section + "] lines " + Join(lines(section)) + "\n";
        const Texts asked = questions.KeyNames(section);
        // The key list comes as NUL-ended texts ending in an extra NUL, so an empty
        // first key makes the list look empty; only the lookups are compared then.
        if (asked.empty() || !asked.front().empty())
            out += "  keys " + Join(keys(section)) + "\n";
        for (const std::string& key : asked) {
            out += "  " + key + " -> " + read(section, key) + " | " +
                   read(Upper(section), Upper(key)) + " | " +
                   read(" " + section + " ", " " + key + " ") + "\n";
        }
        out += "  missing key -> " + read(section, "no such key") + "\n";
    }
    return out;
}

std::string DescribeOwn(const std::string& path, const ProfileReader& questions) {
    const ProfileReader doc = ReadProfile(path);
    return Describe(
        questions, [&] { return doc.SectionNames(); },
        [&](const std::string& s) { return doc.SectionLines(s); },
        [&](const std::string& s) { return doc.KeyNames(s); },
        [&](const std::string& s, const std::string& k) {
            return doc.ReadString(s, k, "<default>");
        });
}

std::string DescribeSystem(const std::string& path, const ProfileReader& questions) {
    return Describe(
        questions, [&] { return SystemSectionNames(path); },
        [&](const std::string& s) { return SystemSectionLines(path, s); },
        [&](const std::string& s) { return SystemKeyNames(path, s); },
        [&](const std::string& s, const std::string& k) {
            return SystemReadString(path, s, k, "<default>");
        });
}

// Each file gets a name of its own: the system caches files by name.
class Corpus {
public:
    std::string Write(const std::string& bytes) {
        const std::string name = "case" + std::to_string(next_++) + ".ini";
        folder_.Write(name, bytes);
        return folder_.Path(name);
    }

private:
    testing_support::TestFolder folder_;
    int next_ = 0;
};

// Reads one file both ways and removes `remove` from two copies of it both ways;
// the system then reads both results, which must agree.
void CheckAgreement(Corpus& corpus, const std::string& bytes, const Texts& remove,
                    const std::string& label) {
    const std::string path = corpus.Write(bytes);
    const ProfileReader questions(bytes);
    ASSERT_EQ(DescribeOwn(path, questions), DescribeSystem(path, questions)) << label;
    if (remove.empty())
        return;
    const std::string own = corpus.Write(bytes);
    const std::string system = corpus.Write(bytes);
    ASSERT_FALSE(RemoveSections(own, remove)) << label;
    for (const std::string& section : remove)
        ASSERT_TRUE(SystemRemoveSection(system, section)) << label;
    const ProfileReader after = ReadProfile(own);
    EXPECT_EQ(DescribeSystem(own, after), DescribeSystem(system, after))
        << label << " removing " << Join(remove);
    EXPECT_EQ(DescribeOwn(own, after), DescribeSystem(own, after)) << label << " after removal";
}

std::string Utf16(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

struct HandCase {
    const char* label;
    std::string bytes;
    Texts remove;
};

const HandCase kHandWritten[] = {
    {"plain", "[General]\r\nName=Sample Airport X\r\n[Run]\r\nRun-File=C:\\x.exe\r\n", {"run"}},
    {"first equals sign", "[s]\nk=a=b=c\n=only value\nempty=\n", {"s"}},
    {"blanks", "  [ s 1 ]  \n \t k \t = \t v w \t \n", {"S 1"}},
    {"quotes",
     "[q]\na=\"x\"\nb='x'\nc=\"x'\nd=''x''\ne=\"\nf=\"\"\ng= \" x \" \nh=x \"y\" z\n\"k\"=v\n",
     {}},
    {"repeated keys", "[File]\nF1=first\nF2=x\nf1=second\nF1=third\n", {}},
    {"repeated sections", "[s]\na=1\n[t]\nx=1\n[S]\na=2\nb=3\n[s]\n", {"s"}},
    {"repeated sections, two removals", "[s]\na=1\n[t]\nx=1\n[S]\na=2\nb=3\n", {"s", "S"}},
    {"empty first copy", "[s]\n[s]\nk=v\n", {"s"}},
    {"lines without equals sign", "[s]\nloose text\nk=v\nmore loose\n[t]\n", {"s"}},
    {"hash and semicolons inside", "[s]\n#k=v\na;b=c;d\n", {}},
    {"line ends", "[a]\rk=1\r[b]\nk=2\n[c]\r\nk=3\r\n\r\n[d]\rk=4", {"b", "c"}},
    {"text after the bracket", "[s] trailing words\nk=v\n", {"s"}},
    {"dots and case in names", "[Scenery.cfg]\nPath=C:\\p\\Scenery.cfg\npath=title\n", {}},
    {"Windows-1252 text", "[\xC4rea]\n\xC4nderung=\xE4\xF6\xFC\x80\n[b]\nk=\xFF\n", {"Ärea"}},
    {"Windows-1252 gaps", "[s]\nk=\x81\x8D\x8F\x90\x9D\n[t]\n", {"t"}},
    {"no sections at all", "", {"s"}},
    {"section without entries at the end", "[a]\nk=v\n[b]", {"b"}},
    {"UTF-16LE",
     Utf16(u"[General]\r\nName=M\u00FCnchen \u20AC\r\n[\u00C4rea]\r\nk=1\r\n"),
     {"general"}},
    // A UTF-8 mark: Windows would take it for part of line 1; ProfileFile and Wine
    // both skip it (a deliberate choice, see profile_file.h).
    {"UTF-8 mark", "\xEF\xBB\xBF[General]\r\nName=x\r\n[b]\r\n", {"b"}},
    {"UTF-8 names beyond Windows-1252",
     "\xEF\xBB\xBF[Łódź Lublinek]\r\nPath=C:\\Łódź\r\n[Жуковский]\r\nИмя=Жуковский\r\n"
     "[東京]\r\n成田=羽田\r\n",
     {"東京", "Łódź Lublinek"}},
    {"UTF-16LE names beyond Windows-1252",
     Utf16(u"[\u0141\u00F3d\u017A]\r\nk=\u0416\r\n[\u6771\u4EAC]\r\n\u6210=\U0001F600\r\n"),
     {"\u6771\u4EAC"}},
};

// A small deterministic generator of profile files made of the constructs on which
// Windows and Wine agree: section lines, entries, loose lines, blank lines, quotes,
// blanks, repeated names in other letter cases, and the three kinds of line end.
// Empty keys only appear in the hand-written files: Wine drops one that follows
// another (see KnownWineDifferencesInSectionLines).
class Generator {
public:
    explicit Generator(uint32_t seed) : state_(seed * 2654435761u + 1) {}

    std::string File(Texts& sectionNames) {
        static const char* const ends[] = {"\r\n", "\n", "\r"};
        const int endKind = Below(4); // 3 means mixed
        std::string out;
        const int sections = 1 + Below(6);
        for (int s = 0; s < sections; ++s) {
            const std::string name = Pick(kSectionNames);
            sectionNames.push_back(name);
            out += Blanks() + "[" + Blanks() + name + Blanks() + "]" +
                   (Below(5) == 0 ? " after" : "") + Blanks();
            out += ends[endKind == 3 ? Below(3) : endKind];
            const int lines = Below(7);
            for (int l = 0; l < lines; ++l) {
                const int kind = Below(10);
                if (kind < 7)
                    out += Blanks() + Pick(kKeys) + Blanks() + "=" + Blanks() + Pick(kValues) +
                           Blanks();
                else if (kind == 7)
                    out += Blanks() + "loose line" + Blanks();
                else
                    out += Blanks();
                if (s + 1 < sections || l + 1 < lines || Below(2) == 0)
                    out += ends[endKind == 3 ? Below(3) : endKind];
            }
        }
        return out;
    }

    int Below(int n) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 8) % static_cast<uint32_t>(n));
    }

private:
    template <size_t N> std::string Pick(const char* const (&items)[N]) {
        return items[Below(static_cast<int>(N))];
    }
    std::string Blanks() {
        static const char* const blanks[] = {"", "", "", " ", "\t", "  ", " \t "};
        return Pick(blanks);
    }

    static constexpr const char* kSectionNames[] = {
        "s", "S", "Area.001", "AREA.001", "Area.002", "General", "x y", "Scenery.cfg", "t"};
    static constexpr const char* kKeys[] = {"k", "K", "Title", "title", "Path", "a b", "k2"};
    static constexpr const char* kValues[] = {
        "v",  "\"q\"", "'q'",   "\"mis'", "a=b=c", "",         "x;y",
        "\"", "''x''", "MiXeD", "#h",     "[b]",   " \"in\" ", "C:\\P Q\\r.dll@F@a@@"};
    uint32_t state_;
};

} // namespace

TEST(ProfileDifferential, HandWrittenFilesReadAndEditAlike) {
    Corpus corpus;
    for (const HandCase& c : kHandWritten)
        CheckAgreement(corpus, c.bytes, c.remove, c.label);
}

TEST(ProfileDifferential, GeneratedFilesReadAndEditAlike) {
    Corpus corpus;
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        Generator generator(seed);
        Texts names;
        const std::string bytes = generator.File(names);
        Texts remove;
        if (!names.empty()) {
            remove.push_back(
                names[static_cast<size_t>(generator.Below(static_cast<int>(names.size())))]);
            if (generator.Below(3) == 0)
                remove.push_back(Upper(names.front()));
        }
        CheckAgreement(corpus, bytes, remove, "seed " + std::to_string(seed));
        if (HasFatalFailure())
            return;
    }
}

TEST(ProfileDifferential, RealSceneryFilesReadAlike) {
    Corpus corpus;
    for (const char* name :
         {"fsx-default-120-areas.cfg", "sim-124-areas-resource-titles-crlf.cfg"}) {
        const std::string bytes = ReadTestData(name);
        CheckAgreement(corpus, bytes, {"Area.010", "area.100", "General"}, name);
    }
}

TEST(ProfileDifferential, SceneryAreaRemovalAgrees) {
    struct Case {
        const char* file;
        const char* logText;
    } cases[] = {
        {"fsx-default-120-areas.cfg", "St. Maarten"},
        {"fsx-default-120-areas.cfg", "0000 Base 0001 Base Rio de Janeiro"},
        {"fsx-default-120-areas.cfg", "Base"}, // most of the file
        {"fsx-default-120-areas.cfg", "nothing at all"},
        {"sim-124-areas-resource-titles-crlf.cfg", "@IDS_AREA_KOBLENZ @IDS_AREA120_PRESCOTT"},
        {"sim-124-areas-resource-titles-crlf.cfg", "@IDS_AREA0"},
    };
    // The simulator's own areas are never removed; made a product's (their Local
    // folders moved out of "Scenery" and "Addon Scenery"), every area of the real
    // files takes part in the comparison of the removal itself.
    const auto asProducts = [](std::string bytes) {
        for (const char* own : {"Local=Scenery", "Local=Addon Scenery"}) {
            const std::string from = own;
            const std::string to = "Local=Product " + from.substr(6);
            for (size_t at = bytes.find(from); at != std::string::npos;
                 at = bytes.find(from, at + to.size()))
                bytes.replace(at, from.size(), to);
        }
        return bytes;
    };
    Corpus corpus;
    for (const Case& c : cases) {
        const std::string bytes = asProducts(ReadTestData(c.file));
        const std::string own = corpus.Write(bytes);
        const std::string system = corpus.Write(bytes);
        ASSERT_FALSE(sweepstone::RemoveSceneryAreas(own, c.logText));
        ASSERT_TRUE(SystemRemoveSceneryAreas(system, c.logText));
        const ProfileReader after = ReadProfile(own);
        EXPECT_EQ(DescribeSystem(own, after), DescribeSystem(system, after))
            << c.file << ": " << c.logText;
    }
}

// Where Wine's profile functions differ from Windows'. ProfileFile gives the
// Windows answer; the Wine answer is pinned too, so that a change in Wine shows.
TEST(ProfileDifferential, KnownWineDifferences) {
    struct Case {
        const char* label;
        std::string bytes;
        const char* section;
        const char* key;
        const char* windows; // ReadString with the default "<default>"
        const char* wine;
    } cases[] = {
        {"a section name ends at the first closing bracket", "[a]b]\nk=v\n", "a", "k", "v",
         "<default>"},
        {"a section line without closing bracket starts a section", "[s]\n[open\nk=v\n", "open",
         "k", "v", "<default>"},
        {"a comment line is no key", "[s]\n;k=v\n", "s", ";k", "<default>", "v"},
        {"lines before the first section are unreachable", "k=v\n[s]\n", "", "k", "<default>", "v"},
        // Windows reads a file that starts with FE FF as bytes; Wine as UTF-16BE.
        {"a UTF-16BE mark is not understood", std::string("\xFE\xFF\0[\0s\0]\0\n\0k\0=\0v\0\n", 18),
         "s", "k", "<default>", "v"},
        // Windows compares names as Unicode text without regard to case; Wine 8
        // folds only ASCII letters.
        {"accented section names compare without case", "[\xC4rea]\nk=v\n", "äREA", "k", "v",
         "<default>"},
        {"accented keys compare without case", "[s]\n\xC4nderung=v\n", "s", "änderung", "v",
         "<default>"},
    };
    Corpus corpus;
    for (const Case& c : cases) {
        const std::string path = corpus.Write(c.bytes);
        EXPECT_EQ(ReadProfile(path).ReadString(c.section, c.key, "<default>"), c.windows)
            << c.label;
        EXPECT_EQ(SystemReadString(path, c.section, c.key, "<default>"), c.wine) << c.label;
    }
}

TEST(ProfileDifferential, KnownWineDifferencesInSectionLines) {
    Corpus corpus;
    const std::string path = corpus.Write("[s]\n=a\n=b\n;note\nk=1\n");
    // Windows lists every empty-key line and leaves comments out.
    EXPECT_EQ(ReadProfile(path).SectionLines("s"), (Texts{"=a", "=b", "k=1"}));
    // Wine drops an empty-key line that follows another one while reading.
    EXPECT_EQ(SystemSectionLines(path, "s"), (Texts{"=a", "k=1"}));
}

TEST(ProfileDifferential, CommentLinesInsideARemovedSectionStay) {
    // Windows keeps them; Wine rewrites the whole file without comments.
    Corpus corpus;
    const std::string bytes = "[a]\n; keep me\nk=1\n[b]\nk=2\n";
    const std::string own = corpus.Write(bytes);
    ASSERT_FALSE(RemoveSections(own, {"a"}));
    std::string after;
    ASSERT_FALSE(platform::ReadWholeFile(own, after));
    EXPECT_EQ(after, "; keep me\n[b]\nk=2\n");
}
