#include "check.h"

#include "check_logs.h"

#include "decisions.h"
#include "profile_file.h"
#include "removal.h"
#include "safety.h"

#include "platform/files.h"
#include "platform/registry.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <set>

using check_logs::Expand;
using check_logs::KeyFor;
using check_logs::kLogs;
using check_logs::LogCase;
using check_logs::MakeTree;
using check_logs::OwnMachine;
using check_logs::StandIns;
using check_logs::TinyLibrary;
using sweepstone::CheckOptions;
using sweepstone::Finding;
using testing_support::TestFolder;

namespace {

std::vector<std::string> Lines(const std::string& report) {
    std::vector<std::string> lines;
    std::string text = report.rfind("\xEF\xBB\xBF", 0) == 0 ? report.substr(3) : report;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

CheckOptions OptionsFor(const TestFolder& t) {
    CheckOptions options = CheckOptions::ForThisSystem();
    // The system's own folders, and one of the test's that stands for them.
    const sweepstone::RemovalSafety system = sweepstone::RemovalSafety::ForThisSystem();
    options.safety = system;
    options.safety.folders.Add(sweepstone::SimulatorFolders({t.Path("Sim")}));
    options.safety.folders.Add(
        {t.Path("Protected"), sweepstone::Reach::Everything, "the Windows folder"});
    options.safety.simulatorRoots = {t.Path("Sim")};
    options.systemFolder = t.Path("sys/");
    return options;
}

class Check : public ::testing::Test {
protected:
    void SetUp() override { MakeTree(t); }
    void TearDown() override { (void)platform::DeleteMachineKeyTree(KeyFor(t.Base())); }

    std::vector<std::string> Report(const std::string& log) {
        const std::vector<Finding> findings = sweepstone::CheckLog(
            sweepstone::ProfileDocument(Expand(log, StandIns(t.Base()))), options);
        return Lines(sweepstone::CheckReportText("Uninstall.log", findings));
    }

    TestFolder t;
    CheckOptions options = OptionsFor(t);
};

} // namespace

TEST_F(Check, ReportsEveryKindOfFindingWithItsLineAndExitCode) {
    for (const LogCase& c : kLogs) {
        std::vector<std::string> expected;
        for (const std::string& line : c.report)
            expected.push_back(Expand(line, StandIns(t.Base())));
        // As the program checks the log: beside the wizard, or as another machine's.
        options.otherMachine = !c.thisMachine;
        EXPECT_EQ(Report(c.log), expected) << c.log;
        const std::vector<Finding> findings = sweepstone::CheckLog(
            sweepstone::ProfileDocument(Expand(c.log, StandIns(t.Base()))), options);
        EXPECT_EQ(sweepstone::CheckExitCode(findings), c.exitCode) << c.log;
    }
}

TEST(ReadPeExports, ReadsTheNamesOfEitherKindOfImageAndRefusesOtherBytes) {
    const std::string x86 = TinyLibrary(sweepstone::kMachineX86, {"Cleanup", "_Remove@12"});
    const std::optional<sweepstone::PeExports> read = sweepstone::ReadPeExports(x86);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->machine, sweepstone::kMachineX86);
    EXPECT_EQ(read->names, (std::vector<std::string>{"Cleanup", "_Remove@12"}));
    const auto wide = sweepstone::ReadPeExports(TinyLibrary(sweepstone::kMachineX64, {"A"}));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->machine, sweepstone::kMachineX64);
    EXPECT_EQ(wide->names, std::vector<std::string>{"A"});
    const auto none = sweepstone::ReadPeExports(TinyLibrary(sweepstone::kMachineX86, {}));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->names.empty());
    // Cut anywhere inside its headers or tables, or not a library at all: no answer,
    // and no read beyond the bytes.
    for (size_t size : {size_t{0}, size_t{2}, size_t{0x40}, size_t{0x60}, size_t{0x150},
                        size_t{0x210}, x86.size() - 3})
        EXPECT_FALSE(sweepstone::ReadPeExports(x86.substr(0, size))) << size;
    EXPECT_FALSE(sweepstone::ReadPeExports("MZ not a library"));
#ifdef _WIN32
    // The library the removal tests call, as the linker made it.
    const std::string exe = platform::ProgramPath();
    std::string bytes;
    ASSERT_FALSE(platform::ReadWholeFile(
        exe.substr(0, exe.find_last_of("\\/") + 1) + "data\\sweepstone_test_entry.dll", bytes));
    const auto real = sweepstone::ReadPeExports(bytes);
    ASSERT_TRUE(real);
    EXPECT_EQ(real->machine, OwnMachine());
    for (const char* name : {"Unregister", "Cleanup"})
        EXPECT_NE(std::find(real->names.begin(), real->names.end(), name), real->names.end());
#endif
}

namespace {

// Every file below a folder with its bytes, and every folder.
void Snapshot(const std::string& folder, std::map<std::string, std::string>& out) {
    std::error_code error;
    for (const platform::FolderEntry& entry : platform::ListFolder(folder, error)) {
        const std::string path = folder + "/" + entry.name;
        if (entry.directory) {
            out[path] = "<folder>";
            Snapshot(path, out);
        } else {
            std::string bytes;
            (void)platform::ReadWholeFile(path, bytes);
            out[path] = bytes;
        }
    }
}

sweepstone::Arguments CheckArguments(const std::vector<std::string>& args) {
    const sweepstone::ParsedArguments parsed = sweepstone::ParseArguments(args);
    EXPECT_TRUE(parsed.Accepted()) << parsed.error;
    EXPECT_TRUE(parsed.arguments.check);
    return parsed.arguments;
}

} // namespace

// The program's run: the log beside the wizard, or another one; the report beside
// the wizard, or at /LOG; what the window shows; exit codes, and no change at all.
TEST_F(Check, RunsFromTheCommandLineAndChangesNothing) {
    const std::string program = t.Path("Product/Uninstall.exe");
    // A log that names the test's own system folder, the tree's root and the system's.
    t.Write("Product/Uninstall.log",
            Expand("[Path]\r\nP1=$Protected\r\nP2=$\r\nP3=C:\\Windows\r\nP4=/\r\n[File]\r\n"
                   "F1=$Product/readme.txt\r\n[Registry]\r\nR1=#\r\n"
                   "[Scenery.cfg]\r\nPath=$Sim/Scenery.cfg\r\nT1=Sample Airport X\r\n",
                   StandIns(t.Base())));
    std::map<std::string, std::string> before;
    Snapshot(t.Path(""), before);
    const sweepstone::CheckRun own =
        sweepstone::RunCheck(CheckArguments({"/CHECK"}), program, options);
    EXPECT_EQ(own.exitCode, sweepstone::kCheckErrors);
    EXPECT_EQ(own.reportFile, t.Path("Product/Uninstall-check.txt"));
    const std::vector<std::string> lines = Lines(t.Read("Product/Uninstall-check.txt"));
    ASSERT_FALSE(lines.empty());
#ifdef _WIN32
    EXPECT_EQ(lines.back(), "Uninstall.log: 4 errors, 0 warnings, 1 note");
#else
    // No C:\Windows here.
    // A POSIX side refuses C:\\Windows as a relative path, as an error.
    EXPECT_EQ(lines.back(), "Uninstall.log: 4 errors, 0 warnings, 1 note");
#endif
    EXPECT_EQ(own.message.substr(0, own.message.find("\r\n")), lines.back());
    EXPECT_NE(own.message.find("\r\n" + lines[0] + "\r\n"), std::string::npos) << own.message;
    EXPECT_EQ(own.message.substr(own.message.rfind("\r\n") + 2), "The report: " + own.reportFile);
    EXPECT_EQ(t.Read("Product/Uninstall-check.txt").rfind("\xEF\xBB\xBF", 0), 0u);
    (void)platform::RemoveFile(own.reportFile);
    std::map<std::string, std::string> after;
    Snapshot(t.Path(""), after);
    EXPECT_EQ(after, before) << "the check changed the tree";
    EXPECT_TRUE(platform::MachineKeyExists(KeyFor(t.Base()) + "\\Product"));

    // Another log, for another machine: what depends on this one only warns.
    t.Write("build/Other.log",
            Expand("[DLL_RUN]\r\nD1=$lib/text.dll@Cleanup\r\n", StandIns(t.Base())));
    const sweepstone::CheckRun other =
        sweepstone::RunCheck(CheckArguments({"/CHECK=" + t.Path("build/Other.log"), "/VERYSILENT",
                                             "/LOG=" + t.Path("build/report.txt")}),
                             program, options);
    EXPECT_EQ(other.exitCode, sweepstone::kCheckWarnings);
    EXPECT_EQ(
        Lines(t.Read("build/report.txt")),
        (std::vector<std::string>{t.Path("build/Other.log") +
                                      ":2: warning: [DLL_RUN] D1=" + t.Path("lib/text.dll") +
                                      "@Cleanup: not a Windows library: the call is skipped",
                                  t.Path("build/Other.log") + ": 0 errors, 1 warning, 0 notes"}));

    // No log, and a report that cannot be written.
    const sweepstone::CheckRun missing = sweepstone::RunCheck(
        CheckArguments({"/CHECK=" + t.Path("nothing.log"), "/LOG=" + t.Path("r.txt")}), program,
        options);
    EXPECT_EQ(missing.exitCode, sweepstone::kCheckErrors);
    EXPECT_EQ(Lines(t.Read("r.txt")).front(),
              t.Path("nothing.log") + ": error: no uninstall log at " + t.Path("nothing.log"));
    const sweepstone::CheckRun unwritable = sweepstone::RunCheck(
        CheckArguments({"/CHECK", "/LOG=" + t.Path("no/such/folder/r.txt")}), program, options);
    EXPECT_EQ(unwritable.exitCode, sweepstone::kExitCancelled);
    EXPECT_NE(unwritable.message.find("The report cannot be written: "), std::string::npos);
}

namespace {

class QuietWindow : public sweepstone::RemovalWindow {
public:
    void SetMessageText(const std::string&) override {}
    void HideMessage() override {}
    void SetStatusText(const std::string&) override {}
    void ShowProgress() override {}
    void SetProgress(int) override {}
    void HideProgress() override {}
    void StopTimer() override {}
    void SetFinishButtonCaption(const std::string&) override {}
    void RestoreCursor() override {}
    void ShowInformation(const std::string&, const std::string&) override {}
};

// Logs put together at random from values of every verdict, spelt in several ways,
// under keys that repeat and in sections that repeat.
std::vector<std::string> GeneratedLogs(size_t count) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> pools = {
        {"Path",
         {"$Product", "$Gone", "$Protected", "$Sim", "$Sim/Addon Scenery/Sample", "\"$Product\"",
          " ", "$", "$Sim/Addon Scenery/Sample/", "$lib"}},
        {"File",
         {"$Product/readme.txt", "$Protected/system.sys", "$Sim/Scenery.cfg", "$gone.txt",
          "$run.txt", "'$run.txt'", "$Sim/Scenery/switched.bgl.off"}},
        {"ShortCut", {"$sys", "$Gone", "$Protected"}},
        {"Shared-Folder", {"$lib", "$Gone", "$Sim"}},
        {"Registry",
         {"SOFTWARE", "#\\Product", "\\#", "#\\Gone", "SOFTWARE\\Microsoft", "HKLM\\#\\Product",
          "HKCU\\Software\\Sample", "SOFTWARE\\Classes\\CLSID"}},
        {"Scenery.cfg",
         {"Sample Airport X", "Other", "Nothing", "$Sim/Scenery.cfg", "Default Terrain X",
          "Reno Field X"}},
        {"Shared-Folder-Option", {"$Gone", "$Product"}},
    };
    std::mt19937 random(20261209);
    std::vector<std::string> logs;
    for (size_t n = 0; n < count; ++n) {
        std::string log;
        const size_t sections = 1 + random() % 6;
        for (size_t s = 0; s < sections; ++s) {
            const auto& [name, values] = pools[random() % pools.size()];
            log += std::string("[") + name + "]\r\n";
            const size_t entries = 1 + random() % 4;
            for (size_t e = 0; e < entries; ++e) {
                const std::string value = values[random() % values.size()];
                std::string key = "K" + std::to_string(random() % 3);
                if (std::string(name) == "Scenery.cfg" && value[0] == '$')
                    key = random() % 4 == 0 ? "path" : "Path";
                log += key + "=" + value + "\r\n";
            }
        }
        logs.push_back(log);
    }
    return logs;
}

// A finding's value and verdict: "[Path] P1=<value>: refused: <rule>".
struct Verdicts {
    std::set<std::string> refused; // "item\trule"
    std::set<std::string> absent;
    std::set<std::string> areas; // areas predicted to go
    bool sharedStay = false;
};

std::string ItemOf(const std::string& section, const std::string& value) {
    if (section == "Rename_File" || section == "Rename_File_DEX") // the switched-off file
        return value + (section == "Rename_File" ? ".off" : ".bgl.off_dex");
    return section == "Registry" ? sweepstone::RegistryItemOf(value) : value;
}

// `library` is the scenery library as the logs name it.
Verdicts Predicted(const std::vector<Finding>& findings, const std::string& library) {
    const std::string kept = " of " + library + ": default area of the simulator";
    Verdicts v;
    for (const Finding& f : findings) {
        const std::string& text = f.text;
        const size_t close = text.find("] ");
        const std::string section = text.rfind("[", 0) == 0 ? text.substr(1, close - 1) : "";
        const size_t equals = text.find('=', close);
        const auto value = [&](size_t end) {
            return ItemOf(section, std::string(sweepstone::ProfileDocument::LookupValue(
                                       text.substr(equals + 1, end - equals - 1))));
        };
        if (const size_t at = text.rfind(": refused: "); at != std::string::npos)
            v.refused.insert(value(at) + "\t" + text.substr(at + 11));
        else if (const size_t left = text.find(": leaves [");
                 left != std::string::npos && text.ends_with(kept)) {
            const size_t title = text.find("] Title=", left) + 8;
            v.refused.insert(library + ": " +
                             text.substr(title, text.size() - kept.size() - title) +
                             "\tdefault area of the simulator");
        } else if (const size_t gone = text.rfind(": does not exist here");
                   gone != std::string::npos && gone + 21 == text.size())
            v.absent.insert(value(gone));
        else if (const size_t area = text.rfind(": removes ["); area != std::string::npos)
            v.areas.insert(text.substr(area + 11, text.find(']', area) - area - 11));
        v.sharedStay = v.sharedStay || text.find("another product uses") != std::string::npos;
    }
    return v;
}

std::set<std::string> SectionsOf(const std::string& path) {
    const sweepstone::ProfileDocument document = sweepstone::ProfileFile(path).Load();
    std::set<std::string> names;
    for (size_t i = 0; i < document.SectionCount(); ++i)
        names.emplace(document.SectionName(i));
    return names;
}

} // namespace

// What the check predicts is what the removal then does: every refusal with its rule,
// every item that is not there, every item removed, every area of the scenery library.
TEST(CheckAndRemoval, AgreeOnEveryValueOfTheFaultyAndTheGeneratedLogs) {
    std::vector<std::string> corpus;
    for (const LogCase& c : kLogs) {
        if (std::string(c.log).find("[Run]") == std::string::npos) // nothing is opened
            corpus.push_back(c.log);
    }
    for (const std::string& log : GeneratedLogs(40))
        corpus.push_back(log);
    for (const std::string& raw : corpus) {
        const TestFolder t;
        MakeTree(t);
        const CheckOptions options = OptionsFor(t);
        const std::string log = Expand(raw, StandIns(t.Base()));
        const sweepstone::ProfileDocument document(log);
        const Verdicts predicted = Predicted(sweepstone::CheckLog(document, options),
                                             Expand("$Sim/Scenery.cfg", StandIns(t.Base())));
        const std::set<std::string> areasBefore = SectionsOf(t.Path("Sim/Scenery.cfg"));

        t.Write("wizard/Uninstall.log", log);
        sweepstone::WizardState state;
        state.BaseFolder = t.Path("wizard/");
        state.LogFileName = "Uninstall.log";
        QuietWindow window;
        const sweepstone::RemovalReport report =
            sweepstone::Timer1Timer(state, window, options.safety);

        std::set<std::string> refused;
        std::set<std::string> touched;
        for (const sweepstone::ReportItem& item : report.items) {
            touched.insert(item.item);
            if (item.outcome == sweepstone::Outcome::Refused)
                refused.insert(item.item + "\t" + item.reason);
        }
        EXPECT_EQ(refused, predicted.refused) << raw;
        for (const std::string& item : predicted.absent)
            EXPECT_EQ(touched.count(item), 0u) << item << "\n" << raw;
        // Every value the check passes without a finding is removed.
        for (const sweepstone::DeleteSection& step : sweepstone::DeleteSections()) {
            if (step.shared && predicted.sharedStay)
                continue;
            for (const std::string& entry : document.EntryTexts(step.section)) {
                const std::string value = entry.substr(entry.find('=') + 1);
                const std::string item = ItemOf(step.section, value);
                if (value.find_first_not_of(" \t") == std::string::npos ||
                    predicted.absent.count(item) ||
                    std::any_of(
                        predicted.refused.begin(), predicted.refused.end(),
                        [&item](const std::string& r) { return r.rfind(item + "\t", 0) == 0; }))
                    continue;
                // Unless a folder removed before took it with it.
                const std::string comparable = sweepstone::ComparablePath(item);
                const bool takenAlong =
                    std::any_of(report.items.begin(), report.items.end(), [&](const auto& removed) {
                        const std::string folder = sweepstone::ComparablePath(removed.item);
                        return removed.outcome == sweepstone::Outcome::Removed &&
                               (comparable == folder || comparable.rfind(folder + "\\", 0) == 0);
                    });
                EXPECT_TRUE(touched.count(item) || takenAlong) << item << "\n" << log;
            }
        }
        if (!platform::FilePresent(t.Path("Sim/Scenery.cfg")))
            continue; // a [File] value deleted the whole library, as predicted above
        std::set<std::string> gone;
        const std::set<std::string> areasAfter = SectionsOf(t.Path("Sim/Scenery.cfg"));
        for (const std::string& area : areasBefore) {
            if (!areasAfter.count(area))
                gone.insert(area);
        }
        EXPECT_EQ(gone, predicted.areas) << raw;
        (void)platform::DeleteMachineKeyTree(KeyFor(t.Base()));
    }
}
