// The reading rules of ProfileFile, one table per concern. Each row names the
// behaviour that it pins down; the rows follow the Windows profile functions.
#include "profile_reader.h"
#include "test_folder.h"

#include <gtest/gtest.h>

using sweepstone::ProfileFile;
using testing_support::ProfileEntry;
using testing_support::ProfileReader;
using testing_support::ReadProfile;
using Texts = std::vector<std::string>;

namespace {

struct LookupCase {
    const char* behaviour;
    std::string file;
    const char* section;
    const char* key;
    const char* expected; // with the default "<default>"
};

void RunLookups(const std::vector<LookupCase>& cases) {
    for (const LookupCase& c : cases) {
        const ProfileReader doc(c.file);
        EXPECT_EQ(doc.ReadString(c.section, c.key, "<default>"), c.expected) << c.behaviour;
    }
}

} // namespace

TEST(ProfileLookup, KeysAndValues) {
    RunLookups({
        {"a plain entry", "[s]\nk=v\n", "s", "k", "v"},
        {"the key ends at the first equals sign", "[s]\nk=a=b=c\n", "s", "k", "a=b=c"},
        {"blanks around key and value are dropped", "[s]\n  k \t=  v w \t\n", "s", "k", "v w"},
        {"blanks around the whole line are dropped", "[s]\n\t k=v \n", "s", "k", "v"},
        {"an empty value is a value, not the default", "[s]\nk=\n", "s", "k", ""},
        {"blanks alone make an empty value", "[s]\nk=   \n", "s", "k", ""},
        {"an empty key is a key", "[s]\n=v\n", "s", "", "v"},
        {"the first line of a repeated key answers", "[File]\nF1=first\nF1=second\n", "File", "F1",
         "first"},
        {"keys compare without regard to case", "[s]\nRun-File=x\n", "s", "RUN-FILE", "x"},
        {"values keep their case", "[s]\nk=MiXeD\n", "s", "K", "MiXeD"},
        {"a key with blanks inside", "[s]\nmy key=v\n", "s", "my key", "v"},
        {"the caller's key loses its spaces", "[s]\nk=v\n", "s", "  k ", "v"},
        {"but not its tabs", "[s]\nk=v\n", "s", "\tk", "<default>"},
        {"a missing key gives the default", "[s]\nk=v\n", "s", "other", "<default>"},
        {"a line without equals sign is no key", "[s]\nk\n", "s", "k", "<default>"},
        {"a key only matches whole", "[s]\nkey=v\n", "s", "ke", "<default>"},
        {"semicolon inside a value is data", "[s]\nk=a ; b\n", "s", "k", "a ; b"},
        {"semicolon inside a key is data", "[s]\na;b=v\n", "s", "a;b", "v"},
        {"hash does not make a comment", "[s]\n#k=v\n", "s", "#k", "v"},
        {"a comment line is no key", "[s]\n;k=v\n", "s", ";k", "<default>"},
        {"a comment after blanks is no key", "[s]\n  ;k=v\n", "s", ";k", "<default>"},
        {"Windows-1252 letters compare without case", "[s]\n\xC4nderung=v\n", "s", "änderung", "v"},
        {"Polish letters compare without case", "\xEF\xBB\xBF[s]\nŁÓDŹ=v\n", "s", "łódź", "v"},
        {"Cyrillic letters compare without case", "\xEF\xBB\xBF[Жуковский]\nk=v\n", "ЖУКОВСКИЙ",
         "k", "v"},
        {"Greek letters compare without case", "\xEF\xBB\xBF[s]\nΆΘΗΝΑ=v\n", "s", "άθηνα", "v"},
        {"full-width letters compare without case", "\xEF\xBB\xBF[s]\nＡＢ=v\n", "s", "ａｂ", "v"},
        {"Japanese names match exactly", "\xEF\xBB\xBF[東京]\n成田=v\n", "東京", "成田", "v"},
        {"dotless i is no capital of i", "\xEF\xBB\xBF[s]\nı=v\n", "s", "I", "<default>"},
        {"the last line needs no line end", "[s]\nk=v", "s", "k", "v"},
    });
}

TEST(ProfileLookup, QuotationMarks) {
    RunLookups({
        {"double quotes are stripped", "[s]\nk=\"a b\"\n", "s", "k", "a b"},
        {"single quotes are stripped", "[s]\nk='a b'\n", "s", "k", "a b"},
        {"blanks inside quotes stay", "[s]\nk=\" a \"\n", "s", "k", " a "},
        {"blanks outside quotes go first", "[s]\nk=  \"a\"  \n", "s", "k", "a"},
        {"mismatched quotes stay", "[s]\nk=\"a'\n", "s", "k", "\"a'"},
        {"a quote at one end only stays", "[s]\nk=\"a\n", "s", "k", "\"a"},
        {"only one pair goes", "[s]\nk=''x''\n", "s", "k", "'x'"},
        {"a lone quote stays", "[s]\nk=\"\n", "s", "k", "\""},
        {"two quotes give an empty value", "[s]\nk=\"\"\n", "s", "k", ""},
        {"inner quotes stay", "[s]\nk=a \"b\" c\n", "s", "k", "a \"b\" c"},
        {"quotes are not stripped from keys", "[s]\n\"k\"=v\n", "s", "\"k\"", "v"},
        {"quotes are not stripped from section names", "[\"s\"]\nk=v\n", "\"s\"", "k", "v"},
    });
}

TEST(ProfileLookup, SectionLines) {
    RunLookups({
        {"section names compare without regard to case", "[Path]\nk=v\n", "PATH", "k", "v"},
        {"lower case finds it too", "[Path]\nk=v\n", "path", "k", "v"},
        {"blanks inside the brackets are dropped", "[ s1 ]\nk=v\n", "s1", "k", "v"},
        {"blanks before the bracket are dropped", "  [s]\nk=v\n", "s", "k", "v"},
        {"the name ends at the first closing bracket", "[a]b]\nk=v\n", "a", "k", "v"},
        {"text after the bracket is ignored", "[s] ; note\nk=v\n", "s", "k", "v"},
        {"a section line without closing bracket still counts", "[open\nk=v\n", "open", "k", "v"},
        {"the caller's section loses its spaces", "[s]\nk=v\n", " s ", "k", "v"},
        {"a missing section gives the default", "[s]\nk=v\n", "t", "k", "<default>"},
        {"entries end at the next section", "[a]\n[b]\nk=v\n", "a", "k", "<default>"},
        {"lines before the first section are unreachable", "k=v\n[s]\n", "", "k", "<default>"},
        {"the first of two sections answers", "[s]\nk=1\n[s]\nk=2\nj=3\n", "s", "k", "1"},
        {"the second copy is never looked at", "[s]\nk=1\n[S]\nj=3\n", "s", "j", "<default>"},
        {"even an empty first copy hides the second", "[s]\n[s]\nk=2\n", "s", "k", "<default>"},
        {"section names may hold dots and blanks", "[Scenery.cfg]\nPath=p\n", "scenery.cfg", "path",
         "p"},
    });
}

TEST(ProfileLookup, LineEnds) {
    RunLookups({
        {"CR LF ends a line", "[s]\r\na=1\r\nb=2\r\n", "s", "b", "2"},
        {"CR alone ends a line", "[s]\ra=1\rb=2\r", "s", "b", "2"},
        {"LF alone ends a line", "[s]\na=1\nb=2\n", "s", "b", "2"},
        {"mixed line ends", "[s]\r\na=1\rb=2\nc=3", "s", "c", "3"},
        {"no CR stays in a value", "[s]\r\nk=v\r\n", "s", "k", "v"},
    });
}

TEST(ProfileLookup, DefaultsLoseTrailingSpaces) {
    const ProfileReader doc("[s]\n");
    EXPECT_EQ(doc.ReadString("s", "k", "Error  "), "Error");
    EXPECT_EQ(doc.ReadString("s", "k", "  Error"), "  Error");
    EXPECT_EQ(doc.ReadString("s", "k", "Error\t"), "Error\t"); // only spaces go
    EXPECT_EQ(doc.ReadString("s", "k", ""), "");
}

TEST(ProfileLookup, FindStringTellsMissingFromEmpty) {
    const ProfileReader doc("[s]\nempty=\n");
    std::string value = "unchanged";
    EXPECT_TRUE(doc.FindString("s", "empty", value));
    EXPECT_EQ(value, "");
    value = "unchanged";
    EXPECT_FALSE(doc.FindString("s", "missing", value));
    EXPECT_FALSE(doc.FindString("t", "empty", value));
    EXPECT_EQ(value, "unchanged");
}

TEST(ProfileListing, SectionNamesInFileOrder) {
    struct Case {
        const char* behaviour;
        std::string file;
        Texts names;
    } cases[] = {
        {"file order, not sorted", "[b]\n[a]\n[c]\n", {"b", "a", "c"}},
        {"repeated names are listed each time", "[s]\n[t]\n[S]\n", {"s", "t", "S"}},
        {"names as written, blanks dropped", "[ My Area ]\n", {"My Area"}},
        {"a line without closing bracket", "[open\n", {"open"}},
        {"no sections", "k=v\n; just a comment\n", {}},
        {"empty file", "", {}},
        {"comment lines do not start sections", "; [not]\n[s]\n", {"s"}},
        {"a bracket inside a value does not either", "[s]\nk=[x]\n", {"s"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileReader(c.file).SectionNames(), c.names) << c.behaviour;
}

TEST(ProfileListing, SectionLinesAsTheSectionReaderGivesThem) {
    struct Case {
        const char* behaviour;
        std::string file;
        Texts lines;
    } cases[] = {
        {"entries in file order", "[s]\nb=2\na=1\n", {"b=2", "a=1"}},
        {"blanks around key and value dropped", "[s]\n k = v \n", {"k=v"}},
        {"quotes kept", "[s]\nk=\"v\"\n", {"k=\"v\""}},
        {"repeated keys each listed", "[s]\nk=1\nk=2\n", {"k=1", "k=2"}},
        {"a line without equals sign is listed", "[s]\nloose text\nk=v\n", {"loose text", "k=v"}},
        {"an empty key is listed", "[s]\n=v\n", {"=v"}},
        {"comments and blank lines are left out", "[s]\n;c\n\n  \nk=v\n", {"k=v"}},
        {"only the first copy of a repeated section", "[s]\na=1\n[s]\nb=2\n", {"a=1"}},
        {"a missing section is empty", "[t]\nk=v\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileReader(c.file).SectionLines("s"), c.lines) << c.behaviour;
}

TEST(ProfileListing, EntryTextsUseTheLookupValue) {
    struct Case {
        const char* behaviour;
        std::string file;
        Texts texts;
    } cases[] = {
        {"key, equals sign, value",
         "[File]\nF1=C:\\a.fx\nF2=C:\\b.fx\n",
         {"F1=C:\\a.fx", "F2=C:\\b.fx"}},
        {"a repeated key shows the first line's value",
         "[File]\nF1=a\nF2=b\nF1=c\n",
         {"F1=a", "F2=b", "F1=a"}},
        {"case-folded repeats too", "[File]\nF1=a\nf1=c\n", {"F1=a", "f1=a"}},
        {"quotes are stripped, as by a lookup", "[File]\nF1=\"C:\\a b\"\n", {"F1=C:\\a b"}},
        {"the value keeps its equals signs", "[File]\nF1=a=b=c\n", {"F1=a=b=c"}},
        {"lines without equals sign are no entries", "[File]\nloose\nF1=a\n", {"F1=a"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileReader(c.file).EntryTexts("file"), c.texts) << c.behaviour;
}

TEST(ProfileListing, EntriesAndKeyNames) {
    const ProfileReader doc("[s]\n k1 = \"v 1\" \nloose\n;k9=c\nK1=again\n=e\n");
    const std::vector<ProfileEntry> expected = {{"k1", "v 1"}, {"K1", "again"}, {"", "e"}};
    EXPECT_EQ(doc.Entries("S"), expected);
    EXPECT_EQ(doc.KeyNames("S"), (Texts{"k1", "K1", ""}));
    EXPECT_TRUE(doc.Entries("missing").empty());
    EXPECT_TRUE(doc.HasSection(" s"));
    EXPECT_FALSE(doc.HasSection("t"));
}

TEST(ProfileListing, LongValuesAndLongSectionListsAreReadWhole) {
    // The system functions read through fixed buffers (2048 bytes for a value,
    // 16384 for the name list); ProfileFile has none.
    const std::string value(100000, 'x');
    std::string file = "[s]\nk=" + value + "\n";
    for (int i = 0; i < 5000; ++i)
        file += "[Area." + std::to_string(i) + "]\nTitle=t\n";
    const ProfileReader doc(file);
    EXPECT_EQ(doc.ReadString("s", "k", ""), value);
    const Texts names = doc.SectionNames();
    ASSERT_EQ(names.size(), 5001u);
    EXPECT_EQ(names.back(), "Area.4999");
}

TEST(ProfileEncoding, Utf8MarkIsSkippedOnReading) {
    const ProfileReader doc("\xEF\xBB\xBF[General]\r\nName=Sample\r\n");
    EXPECT_EQ(doc.TextEncoding(), ProfileReader::Encoding::Utf8WithMark);
    EXPECT_EQ(doc.SectionNames(), Texts{"General"});
    EXPECT_EQ(doc.ReadString("General", "Name", "Product"), "Sample");
}

namespace {

// UTF-16LE bytes with the byte-order mark for text given as UTF-16 code units.
std::string Utf16(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

} // namespace

TEST(ProfileEncoding, Utf16LEIsDecoded) {
    const ProfileReader doc(
        Utf16(u"[General]\r\nName=Flughafen M\u00FCnchen \u20AC\r\n[\u00C4rea]\r\n"
              u"Title=\u65E5\u672C \U0001F600\r\n[Bad]\r\nk=\xD800x\r\n"));
    EXPECT_EQ(doc.TextEncoding(), ProfileReader::Encoding::Utf16LE);
    EXPECT_EQ(doc.SectionNames(), (Texts{"General", "Ärea", "Bad"}));
    EXPECT_EQ(doc.ReadString("general", "name", ""), "Flughafen München €");
    EXPECT_EQ(doc.ReadString("äREA", "Title", ""), "日本 😀");
    // A lone surrogate is no character.
    EXPECT_EQ(doc.ReadString("Bad", "k", ""), "\uFFFDx");
}

TEST(ProfileEncoding, Utf16BigEndianMarkIsNotUnderstood) {
    // As on Windows, FE FF is text: the first line is then no section line.
    const ProfileReader doc("\xFE\xFF[s]\nk=v\n[t]\nk=w\n");
    EXPECT_EQ(doc.TextEncoding(), ProfileReader::Encoding::Bytes);
    EXPECT_EQ(doc.SectionNames(), Texts{"t"});
    EXPECT_EQ(doc.ReadString("s", "k", "<default>"), "<default>");
}

TEST(ProfileEncoding, TextWithoutMarkIsInTheAnsiCodePage) {
    // The POSIX side stands in for a Western system: Windows-1252.
    const std::string file = "[s]\nk=\xE4\xF6\xFC\x80\xFF\x81\n";
    EXPECT_EQ(ProfileReader(file).ReadString("s", "k", ""), "äöü€ÿ\u0081");
    // UTF-8 without a mark is read in the code page too, as the system reads it.
    EXPECT_EQ(ProfileReader("[s]\nk=M\xC3\xBCnchen\n").ReadString("s", "k", ""), "MÃ¼nchen");
}

TEST(ProfileEncoding, Utf8WithMarkIsDecoded) {
    const ProfileReader doc("\xEF\xBB\xBF[Łódź Lublinek]\r\nPath=C:\\Łódź\\東京\r\n"
                            "[Bad]\r\nk=a\xC3(\xED\xA0\x80\xF4\x90\x80\x80z\r\n");
    EXPECT_EQ(doc.TextEncoding(), ProfileReader::Encoding::Utf8WithMark);
    EXPECT_EQ(doc.SectionNames(), (Texts{"Łódź Lublinek", "Bad"}));
    EXPECT_EQ(doc.ReadString("ŁÓDŹ LUBLINEK", "path", ""), "C:\\Łódź\\東京");
    // Ill-formed parts (a cut sequence, a surrogate, beyond U+10FFFF) become U+FFFD
    // each, as the system's decoder makes them.
    EXPECT_EQ(doc.ReadString("Bad", "k", ""),
              "a\uFFFD(\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDz");
}

TEST(ProfileFileReading, MissingFileReadsEmptyAndIsNotCreated) {
    testing_support::TestFolder t;
    const ProfileFile file(t.Path("Uninstall.log"));
    EXPECT_EQ(file.Load().ReadString("General", "Name", "Product"), "Product");
    EXPECT_EQ(file.Load().SectionCount(), 0u);
    EXPECT_TRUE(file.Load().EntryTexts("File").empty());
    EXPECT_FALSE(testing_support::RemoveSections(file.Path(), {"General"}));
    EXPECT_FALSE(t.Has("Uninstall.log"));
}

TEST(ProfileFileReading, AFolderReadsAsAMissingFile) {
    testing_support::TestFolder t;
    t.MakeFolder("Scenery.cfg");
    EXPECT_EQ(ProfileFile(t.Path("Scenery.cfg")).Load().SectionCount(), 0u);
}

TEST(ProfileFileReading, EveryCallSeesTheFileAsItIsNow) {
    testing_support::TestFolder t;
    const ProfileFile file(t.Path("Uninstall.log"));
    t.Write("Uninstall.log", "[General]\nName=First\n");
    EXPECT_EQ(file.Load().ReadString("General", "Name", "Product"), "First");
    t.Write("Uninstall.log", "[General]\nName=Second\n");
    EXPECT_EQ(file.Load().ReadString("General", "Name", "Product"), "Second");
}

TEST(ProfileFileReading, TheLogExample) {
    testing_support::TestFolder t;
    t.Write("Uninstall.log", "[General]\r\n"
                             "Name=Sample Airport X\r\n"
                             "[Path]\r\n"
                             "P1=C:\\Sim\\Addon Scenery\\Sample Airport\r\n"
                             "[Scenery.cfg]\r\n"
                             "Path=C:\\ProgramData\\Sim\\Scenery.cfg\r\n"
                             "T1=Sample Airport X\r\n"
                             "[DLL_RUN]\r\n"
                             "D1=C:\\Sim\\Modules\\sample.dll@Unregister@Sample Airport X@@\r\n");
    const ProfileReader log = ReadProfile(t.Path("uninstall.LOG")); // names match without case
    EXPECT_EQ(log.ReadString("General", "Name", "Product"), "Sample Airport X");
    EXPECT_EQ(log.ReadString("Run", "Run-File", "Error"), "Error");
    EXPECT_EQ(log.EntryTexts("path"), Texts{"P1=C:\\Sim\\Addon Scenery\\Sample Airport"});
    EXPECT_EQ(log.EntryTexts("Scenery.cfg"),
              (Texts{"Path=C:\\ProgramData\\Sim\\Scenery.cfg", "T1=Sample Airport X"}));
    EXPECT_EQ(log.EntryTexts("DLL_RUN"),
              Texts{"D1=C:\\Sim\\Modules\\sample.dll@Unregister@Sample Airport X@@"});
    EXPECT_EQ(log.SectionNames(), (Texts{"General", "Path", "Scenery.cfg", "DLL_RUN"}));
}
