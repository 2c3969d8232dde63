#include "install.h"

#include "platform/deletion.h"
#include "platform/files.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "scoped_win32.h"
#endif

using sweepstone::Form2Window;
using sweepstone::TForm2;
using testing_support::TestFolder;

namespace {

// Rules that protect one folder of the test.
sweepstone::RemovalSafety SafetyOf(const std::string& folder) {
    sweepstone::RemovalSafety safety;
    safety.folders.Add({folder, sweepstone::Reach::ItselfAndAbove, "a system folder"});
    return safety;
}

class RecordingForm2 : public Form2Window {
public:
    std::vector<std::string> events;
    bool answer = true;
    bool pictureLoads = true;

    static const char* Name(Label l) {
        return l == Label::Message ? "Message" : l == Label::Uninstall ? "Uninstall" : "Status";
    }
    static const char* Name(Button b) { return b == Button::Next ? "Next" : "Cancel"; }

    bool LoadBackground(const std::string& file) override {
        events.push_back("picture:" + file);
        return pictureLoads;
    }
    void SetLabelText(Label l, const std::string& t) override {
        events.push_back(std::string("text ") + Name(l) + ":" + t);
    }
    void ShowLabel(Label l, bool v) override {
        events.push_back(std::string(v ? "show " : "hide ") + Name(l));
    }
    void SetButtonCaption(Button b, const std::string& t) override {
        events.push_back(std::string("caption ") + Name(b) + ":" + t);
    }
    void EnableButton(Button b, bool e) override {
        events.push_back(std::string(e ? "enable " : "disable ") + Name(b));
    }
    void SetButtonTooltip(Button b, const std::string& t) override {
        events.push_back(std::string("tip ") + Name(b) + ":" + t);
    }
    void StartTimer() override { events.push_back("start-timer"); }
    void SetBusyCursor() override { events.push_back("busy"); }
    bool AskOkCancel(const std::string& text, const std::string& caption) override {
        events.push_back("ask:" + caption + "|" + text);
        return answer;
    }
    void BeginMove() override { events.push_back("move"); }
    void Close() override { events.push_back("close"); }
    void ShowProgress() override { events.push_back("show-progress"); }
    void SetProgress(int p) override { events.push_back("progress:" + std::to_string(p)); }
    void HideProgress() override { events.push_back("hide-progress"); }
    void StopTimer() override { events.push_back("stop-timer"); }
    void RestoreCursor() override { events.push_back("cursor"); }
    void* OwnerWindow() override { return nullptr; }
    void ShowInformation(const std::string& caption, const std::string& text) override {
        events.push_back("info:" + caption + "|" + text);
    }
};

// The self-deletion's process operations, recorded instead of carried out; the
// private folder and the batch are made for real.
struct FakeProcess {
    static inline std::vector<std::string> calls;
    static inline std::string temp;
    static inline bool startFails = false;

    static sweepstone::SelfDeleteOperations Operations() {
        calls.clear();
        startFails = false;
        return {[] { return temp; },
                [] { return std::string("C:\\Windows\\System32"); },
                [](const std::string& parent, const std::string& prefix, std::string& folder) {
                    calls.push_back("folder:" + prefix);
                    folder = parent + prefix + "1A2B3C4D";
                    return platform::MakeFolders(folder);
                },
                [](const std::string& p) {
                    calls.push_back("clear:" + p);
                    return std::error_code{};
                },
                [](const std::string& p, const std::string& bytes) {
                    calls.push_back("write:" + p);
                    return platform::WriteNewFile(p, bytes);
                },
                [](const std::string& arguments, const platform::EnvironmentValues& environment,
                   const std::string& folder) {
                    std::string call = "start:" + arguments + "|in " + folder;
                    for (const auto& [name, value] : environment)
                        call += "|" + name + "=" + value;
                    calls.push_back(call);
                    return startFails ? std::make_error_code(std::errc::permission_denied)
                                      : std::error_code{};
                },
                [](const std::string& folder) {
                    calls.push_back("remove:" + folder);
                    platform::DeleteTree(folder);
                },
                [](int code) {
                    calls.push_back("end:" + std::to_string(code));
                }};
    }
};

bool Has(const std::vector<std::string>& events, const std::string& e) {
    return std::find(events.begin(), events.end(), e) != events.end();
}

} // namespace

TEST(WizardNames, FollowTheProgramFilesStem) {
    struct Case {
        const char* program;
        const char* base;
        const char* log;
        const char* picture;
        const char* checkReport;
    } cases[] = {
        {"C:\\Sim\\Sample\\Uninstall.exe", "C:\\Sim\\Sample\\", "Uninstall.log", "Uninstall.jpg",
         "Uninstall-check.txt"},
        {"C:\\Sim\\remove.me.exe", "C:\\Sim\\", "remove.log", "remove.jpg", "remove-check.txt"},
        {"C:\\Sim\\noextension", "C:\\Sim\\", "log", "jpg", "-check.txt"},
        {"D:\\Uninstall.exe", "D:\\", "Uninstall.log", "Uninstall.jpg", "Uninstall-check.txt"},
        {"C:\\Program Files (x86)\\A.B\\un.exe", "C:\\Program Files (x86)\\A.B\\", "un.log",
         "un.jpg", "un-check.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sweepstone::BaseFolderOf(c.program), c.base);
        EXPECT_EQ(sweepstone::LogFileNameFor(c.program), c.log);
        EXPECT_EQ(sweepstone::PictureFileNameFor(c.program), c.picture);
        EXPECT_EQ(sweepstone::CheckReportFileNameFor(c.program), c.checkReport);
    }
}

// The batch's exact bytes: the system folder as the current one first, a try every
// second (PING.EXE from the system folder, named in full, waits one second between
// its two echoes; "timeout" fails without a console) for at most 60 tries, the
// folder only once the program is gone, then back to where the interpreter started.
// No program is named without its full path.
const std::string kBatch = "@echo off\r\n"
                           "pushd \"!SWEEPSTONE_SYSTEM!\"\r\n"
                           "set /a tries=0\r\n"
                           ":retry\r\n"
                           "del /f \"!SWEEPSTONE_PROGRAM!\" >nul 2>&1\r\n"
                           "if not exist \"!SWEEPSTONE_PROGRAM!\" goto removed\r\n"
                           "set /a tries+=1\r\n"
                           "if !tries! geq 60 goto done\r\n"
                           "\"!SWEEPSTONE_SYSTEM!\\PING.EXE\" -n 2 127.0.0.1 >nul 2>&1\r\n"
                           "goto retry\r\n"
                           ":removed\r\n"
                           "rmdir \"!SWEEPSTONE_FOLDER!\" >nul 2>&1\r\n"
                           ":done\r\n"
                           "popd\r\n";
// The command line runs the batch by its name relative to the temporary folder,
// where the interpreter starts, then removes the batch's folder there.
std::string ArgumentsFor(const std::string& folderName) {
    return "/d /e:on /v:on /s /c \"\"" + folderName + "\\remove.bat\" & rmdir /s /q \"" +
           folderName + "\"\"";
}
const char* kSystem = "C:\\Windows\\System32";

TEST(SelfDeleteBatch, RetriesTheProgramThenRemovesItsFolderAndItself) {
    const sweepstone::SelfDeleteCommand command = sweepstone::SelfDeleteBatch(
        "C:\\Sim\\My Product\\Uninstall.exe", "C:\\Users\\Jo Pilot\\Temp\\uis1A2B3C4D", kSystem);
    EXPECT_EQ(command.batch, kBatch);
    EXPECT_EQ(command.batchPath, "C:\\Users\\Jo Pilot\\Temp\\uis1A2B3C4D\\remove.bat");
    EXPECT_EQ(command.arguments, ArgumentsFor("uis1A2B3C4D"));
    EXPECT_EQ(command.currentFolder, "C:\\Users\\Jo Pilot\\Temp\\");
}

// Names that the interpreter would expand (%), take for syntax (& ( ) ^ @ outside
// quotes), split (blanks) or misread in the OEM code page (umlauts, and letters no
// OEM code page has) never reach the batch's text or the command line: the batch
// stays byte for byte the same, the command line names only the batch's own ASCII
// folder, and the names travel unchanged in the environment. A drive root keeps
// its separator.
TEST(SelfDeleteBatch, NoNameReachesTheBatchOrTheCommandLine) {
    const struct {
        const char* program;
        const char* folder;
        std::string temp;
    } cases[] = {
        {"C:\\100% Sure Field\\Uninstall.exe", "C:\\100% Sure Field", "C:\\Temp & Co\\"},
        {"C:\\%PATH% (x86)\\un^do.exe", "C:\\%PATH% (x86)", "C:\\T\\@(^)&%%\\"},
        {"D:\\M\xc3\xbcller Flughafen\\Uninstall.exe", "D:\\M\xc3\xbcller Flughafen",
         "C:\\Users\\J\xc3\xbcrgen M\xc3\xbcller\\AppData\\Local\\Temp\\"},
        {"C:\\\xc5\x81\xc3\xb3"
         "d\xc5\xba \xe6\x9d\xb1\xe4\xba\xac\\Uninstall.exe",
         "C:\\\xc5\x81\xc3\xb3"
         "d\xc5\xba \xe6\x9d\xb1\xe4\xba\xac",
         "C:\\Temp\\\xd0\x96\\"},
        {"E:\\Uninstall.exe", "E:\\", "E:\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        const std::string batchFolder = c.temp + "uis0000BEEF";
        const sweepstone::SelfDeleteCommand command =
            sweepstone::SelfDeleteBatch(c.program, batchFolder, kSystem);
        EXPECT_EQ(command.batch, kBatch);
        EXPECT_EQ(command.batchPath, batchFolder + "\\remove.bat");
        EXPECT_EQ(command.arguments, ArgumentsFor("uis0000BEEF"));
        EXPECT_EQ(command.currentFolder, c.temp);
        EXPECT_EQ(command.environment,
                  (platform::EnvironmentValues{{"SWEEPSTONE_PROGRAM", c.program},
                                               {"SWEEPSTONE_FOLDER", c.folder},
                                               {"SWEEPSTONE_SYSTEM", kSystem},
                                               {"SWEEPSTONE_BATCH", batchFolder + "\\remove.bat"},
                                               {"SWEEPSTONE_BATCH_FOLDER", batchFolder}}));
    }
    // A temporary folder on a network share cannot be the interpreter's current
    // folder: it starts in the system folder and reads both paths from the
    // environment.
    const sweepstone::SelfDeleteCommand network =
        sweepstone::SelfDeleteBatch("C:\\P\\Uninstall.exe", "\\\\host\\T & Co\\uis5", kSystem);
    EXPECT_EQ(network.batch, kBatch);
    EXPECT_EQ(network.arguments, "/d /e:on /v:on /s /c \"\"!SWEEPSTONE_BATCH!\" & rmdir /s /q "
                                 "\"!SWEEPSTONE_BATCH_FOLDER!\"\"");
    EXPECT_EQ(network.currentFolder, kSystem);
}

TEST(TForm2, GreetsWithTheProductOfTheLog) {
    struct Case {
        const char* log; // nullptr: no log
        bool picture;
        const char* uninstall;
        const char* product;
    } cases[] = {
        {"[General]\r\nName=Sample Airport X\r\n", true,
         "Remove all installed features of Sample Airport X now?", "Sample Airport X"},
        {"[Path]\r\nP1=x\r\n", false, "Remove all installed features of Product now?", "Product"},
        {nullptr, false, "ERROR: Missing uninstall log file!!", ""},
    };
    for (const Case& c : cases) {
        TestFolder t;
        if (c.log)
            t.Write("remove.log", c.log);
        if (c.picture)
            t.Write("remove.jpg", "jpeg");
        RecordingForm2 window;
        TForm2 form(window, t.Path("remove.me.exe"), FakeProcess::Operations());
        form.FormShow();
        EXPECT_EQ(form.State().LogFileName, "remove.log");
        EXPECT_FALSE(form.State().RemovalDone);
        EXPECT_EQ(form.State().ProductName, c.product);
        EXPECT_TRUE(Has(window.events, std::string("text Uninstall:") + c.uninstall));
        EXPECT_EQ(Has(window.events, "enable Next"), c.log != nullptr);
        EXPECT_TRUE(Has(window.events,
                        std::string("tip Next:Uninstall the ") + c.product + " from you system!"));
        EXPECT_TRUE(Has(window.events, std::string("tip Cancel:Exit program - whithout "
                                                   "uninstalling ") +
                                           c.product + "!"));
        EXPECT_EQ(Has(window.events, "picture:" + t.Path("remove.jpg")), c.picture);
    }
}

TEST(TForm2, ReadsTheLogNamedAfterTheFirstDotOfTheProgram) {
    TestFolder t;
    t.Write("remove.log", "[General]\r\nName=Right\r\n");
    t.Write("remove.me.log", "[General]\r\nName=Wrong\r\n");
    t.Write("remove.jpg", "jpeg");
    RecordingForm2 window;
    window.pictureLoads = false; // a picture that cannot be loaded is ignored
    TForm2 form(window, t.Path("remove.me.exe"), FakeProcess::Operations());
    form.FormShow();
    EXPECT_EQ(form.State().ProductName, "Right");
    EXPECT_TRUE(Has(window.events, "picture:" + t.Path("remove.jpg")));
}

TEST(TForm2, AsksBeforeStartingTheTimer) {
    TestFolder t;
    t.Write("Uninstall.log", "[General]\r\nName=X\r\n");
    RecordingForm2 window;
    TForm2 form(window, t.Path("Uninstall.exe"), FakeProcess::Operations());
    form.FormShow();
    window.events.clear();
    window.answer = false;
    form.BitBtn1Click();
    EXPECT_EQ(window.events,
              std::vector<std::string>{"ask:Information|Do you want to completely remove the "
                                       "selected application and all of its features?"});
    window.events.clear();
    window.answer = true;
    form.BitBtn1Click();
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"ask:Information|Do you want to completely remove the "
                                        "selected application and all of its features?",
                                        "hide Uninstall", "show Status", "disable Next", "busy",
                                        "start-timer"}));
}

TEST(TForm2, CancelBeforeTheRemovalClosesWithoutDeletingAnything) {
    TestFolder t;
    t.Write("Uninstall.log", "[Path]\r\nP1=" + t.Path("Product") + "\r\n");
    t.Write("Product\\a.bgl", "a");
    RecordingForm2 window;
    TForm2 form(window, t.Path("Uninstall.exe"), FakeProcess::Operations());
    form.FormShow();
    form.BitBtn1Click();
    form.BitBtn2Click(); // while waiting for the timer
    EXPECT_EQ(window.events.back(), "close");
    EXPECT_TRUE(FakeProcess::calls.empty());
    EXPECT_TRUE(t.Has("Product\\a.bgl"));
    EXPECT_TRUE(t.Has("Uninstall.log"));
}

TEST(TForm2, RemovesThenDeletesItselfOnFinish) {
    TestFolder t;
    t.Write("Product\\Uninstall.exe", "program");
    t.Write("Product\\Uninstall.log",
            "[General]\r\nName=Sample\r\n[File]\r\nF1=" + t.Path("Effects\\x.fx") + "\r\n");
    t.Write("Effects\\x.fx", "fx");
    t.MakeFolder("Temp");
    FakeProcess::temp = t.Path("Temp\\");
    RecordingForm2 window;
    TForm2 form(window, t.Path("Product\\Uninstall.exe"), FakeProcess::Operations());
    form.FormShow();
    form.BitBtn1Click();
    form.Timer1Timer();
    EXPECT_TRUE(form.State().RemovalDone);
    EXPECT_FALSE(t.Has("Effects\\x.fx"));
    EXPECT_FALSE(t.Has("Product\\Uninstall.log"));
    EXPECT_TRUE(Has(window.events, "caption Cancel:Finish"));
    using sweepstone::Outcome;
    EXPECT_EQ(form.Report().items,
              (std::vector<sweepstone::ReportItem>{
                  {Outcome::Removed, t.Canonical("Effects\\x.fx"), ""},
                  {Outcome::Removed, t.Canonical("Effects"), "empty parent"},
                  {Outcome::Removed, t.Path("Product\\") + "Uninstall.log", ""}}));
    form.Timer1Timer(); // a late tick does not run the removal again
    EXPECT_EQ(std::count(window.events.begin(), window.events.end(), "stop-timer"), 1);

    form.BitBtn2Click();
    const std::string folder = t.Path("Temp\\uis1A2B3C4D");
    const std::string batch = folder + "\\remove.bat";
    EXPECT_EQ(FakeProcess::calls,
              (std::vector<std::string>{
                  "folder:uis", "clear:" + t.Path("Product\\Uninstall.exe"), "write:" + batch,
                  "start:" + ArgumentsFor("uis1A2B3C4D") + "|in " + t.Path("Temp\\") +
                      "|SWEEPSTONE_PROGRAM=" + t.Path("Product\\Uninstall.exe") +
                      "|SWEEPSTONE_FOLDER=" + t.Path("Product") + "|SWEEPSTONE_SYSTEM=" + kSystem +
                      "|SWEEPSTONE_BATCH=" + batch + "|SWEEPSTONE_BATCH_FOLDER=" + folder,
                  "end:0"}));
    EXPECT_EQ(t.Read("Temp\\uis1A2B3C4D\\remove.bat"), kBatch);
}

// A batch that cannot start leaves no folder behind; "Finish" stays and may try again.
TEST(TForm2, StaysOnFinishWhenTheBatchCannotStart) {
    TestFolder t;
    t.Write("Uninstall.log", "[General]\r\nName=Sample\r\n");
    t.MakeFolder("Temp");
    FakeProcess::temp = t.Path("Temp\\");
    RecordingForm2 window;
    TForm2 form(window, t.Path("Uninstall.exe"), FakeProcess::Operations());
    form.FormShow();
    form.BitBtn1Click();
    form.Timer1Timer();
    FakeProcess::startFails = true;
    form.BitBtn2Click();
    EXPECT_FALSE(Has(FakeProcess::calls, "end:0"));
    EXPECT_EQ(window.events.back().rfind("info:Uninstaller - Brightmere GmbH|Cannot start ", 0),
              0u);
    EXPECT_FALSE(t.Has("Temp\\uis1A2B3C4D\\remove.bat"));
    EXPECT_FALSE(platform::FolderPresent(t.Path("Temp\\uis1A2B3C4D")));
}

TEST(TForm2, TheBackgroundMovesTheWindowOnlyWhileThePrimaryButtonIsHeld) {
    RecordingForm2 window;
    TForm2 form(window, "C:\\x\\Uninstall.exe", FakeProcess::Operations());
    form.Image_backgroundMouseMove(false);
    EXPECT_TRUE(window.events.empty());
    form.Image_backgroundMouseMove(true);
    EXPECT_EQ(window.events, std::vector<std::string>{"move"});
}

#ifdef _WIN32
// A log that is there but cannot be read is told apart from a missing one, and
// offers only Cancel as well.
TEST(TForm2, ALockedLogIsToldApartFromAMissingOne) {
    TestFolder t;
    t.Write("Uninstall.log", "[General]\r\nName=Sample\r\n");
    platform::win32::ScopedFileHandle held(
        CreateFileW(platform::win32::Widen(t.Path("Uninstall.log")).c_str(), GENERIC_READ, 0,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    RecordingForm2 window;
    TForm2 form(window, t.Path("Uninstall.exe"), FakeProcess::Operations());
    form.FormShow();
    held.Reset();
    EXPECT_TRUE(
        Has(window.events, std::string("text Uninstall:") + sweepstone::kUnreadableLogText));
    EXPECT_FALSE(Has(window.events, std::string("text Uninstall:") + sweepstone::kMissingLogText));
    EXPECT_FALSE(Has(window.events, "enable Next"));
}
#endif
// --- Command-line runs ----------------------------------------------------------

namespace {

sweepstone::Arguments ArgumentsOf(std::vector<std::string> args) {
    const sweepstone::ParsedArguments parsed = sweepstone::ParseArguments(args);
    EXPECT_TRUE(parsed.Accepted()) << parsed.error;
    return parsed.arguments;
}

// A product beside the wizard in Product\, with the temporary folder Temp\.
struct SilentProduct {
    TestFolder t;
    std::string program;
    explicit SilentProduct(const std::string& log) {
        t.Write("Product\\Uninstall.exe", "program");
        if (!log.empty())
            t.Write("Product\\Uninstall.log", log);
        t.Write("Effects\\x.fx", "fx");
        t.Write("Scenery\\Sample\\a.bgl", "bgl");
        t.MakeFolder("Temp");
        FakeProcess::temp = t.Path("Temp\\");
        program = t.Path("Product\\Uninstall.exe");
    }
};

} // namespace

// /VERYSILENT and /S: the whole run without a window; the exit code reaches the end
// of the process through the self-deletion, and the report lists every item.
TEST(TForm2Silent, RemovesReportsAndDeletesItselfWithTheExitCode) {
    struct Case {
        bool refusedFolder; // a [Path] value that the safety rules refuse
        int code;
    } cases[] = {{false, 0}, {true, 1}};
    for (const Case& c : cases) {
        SilentProduct p("");
        std::string log =
            "[General]\r\nName=Sample\r\n[Path]\r\nP1=" + p.t.Path("Scenery\\Sample") +
            "\r\n[File]\r\nF1=" + p.t.Path("Effects\\x.fx") + "\r\n";
        if (c.refusedFolder)
            log += "[ShortCut]\r\nS1=" + p.t.Path("Effects") + "\r\n";
        p.t.Write("Product\\Uninstall.log", log);
        RecordingForm2 window; // records what a window would be asked: nothing must ask
        TForm2 form(window, p.program, FakeProcess::Operations(), SafetyOf(p.t.Path("Effects")),
                    ArgumentsOf({"/VERYSILENT", "/LOG=" + p.t.Path("report.txt")}));
        ASSERT_TRUE(form.PrepareReport());
        EXPECT_EQ(form.RunHidden(), c.code);
        for (const std::string& e : window.events)
            EXPECT_TRUE(e.rfind("ask:", 0) != 0 && e.rfind("info:", 0) != 0) << e;
        EXPECT_FALSE(p.t.Has("Scenery\\Sample\\a.bgl"));
        EXPECT_FALSE(p.t.Has("Effects\\x.fx"));
        EXPECT_FALSE(p.t.Has("Product\\Uninstall.log"));
        EXPECT_EQ(FakeProcess::calls.back(), "end:" + std::to_string(c.code));
        const std::string report = p.t.Read("report.txt");
        EXPECT_NE(report.find("Product: Sample\r\n"), std::string::npos) << report;
        EXPECT_NE(report.find("Exit code: " + std::to_string(c.code) + " ("), std::string::npos);
        EXPECT_NE(report.find("removed\t" + p.t.Canonical("Effects\\x.fx") + "\r\n"),
                  std::string::npos)
            << report;
        EXPECT_EQ(report.find("refused\t" + p.t.Path("Effects")) != std::string::npos,
                  c.refusedFolder)
            << report;
    }
}

// Without a log a silent run removes nothing, does not delete itself, and ends with 2.
TEST(TForm2Silent, WithoutALogEndsWithTwoAndChangesNothing) {
    for (const char* mode : {"/SILENT", "/VERYSILENT"}) {
        SilentProduct p("");
        RecordingForm2 window;
        TForm2 form(window, p.program, FakeProcess::Operations(), sweepstone::RemovalSafety{},
                    ArgumentsOf({mode, "/LOG=" + p.t.Path("report.txt")}));
        ASSERT_TRUE(form.PrepareReport());
        if (std::string(mode) == "/SILENT") {
            form.FormShow();
            form.StartSilently();
            EXPECT_EQ(window.events.back(), "close");
            EXPECT_FALSE(Has(window.events, "start-timer"));
        } else {
            form.RunHidden();
        }
        EXPECT_EQ(form.ExitCode(), 2);
        EXPECT_TRUE(FakeProcess::calls.empty()) << "no self-deletion";
        EXPECT_TRUE(p.t.Has("Product\\Uninstall.exe"));
        EXPECT_TRUE(p.t.Has("Effects\\x.fx"));
        EXPECT_NE(p.t.Read("report.txt").find("Note: No uninstall log was found"),
                  std::string::npos);
    }
}

// /SILENT shows the removal's progress but never asks: no question before it, no
// box of left items after it, and the self-deletion follows at once.
TEST(TForm2Silent, TheSilentWindowShowsProgressButAsksNothing) {
    SilentProduct p("");
    // A refused shortcut folder is left: the window would list it in a box.
    p.t.Write("Product\\Uninstall.log",
              "[General]\r\nName=Sample\r\n[ShortCut]\r\nS1=" + p.t.Path("Effects") + "\r\n");
    RecordingForm2 window;
    TForm2 form(window, p.program, FakeProcess::Operations(), SafetyOf(p.t.Path("Effects")),
                ArgumentsOf({"/SILENT"}));
    form.FormShow();
    window.events.clear();
    form.StartSilently();
    EXPECT_EQ(window.events, (std::vector<std::string>{"hide Uninstall", "show Status",
                                                       "disable Next", "busy", "start-timer"}));
    form.Timer1Timer();
    EXPECT_TRUE(Has(window.events, "progress:100"));
    for (const std::string& e : window.events)
        EXPECT_NE(e.rfind("info:", 0), 0u) << e;
    EXPECT_EQ(FakeProcess::calls.back(), "end:1");
    EXPECT_TRUE(p.t.Has("Effects\\x.fx"));
}

// /NOCANCEL: before the removal the window may still be left; once it has begun,
// Cancel is disabled and a click on it (or the close box) does nothing, until the
// removal has ended and the button says "Finish".
TEST(TForm2Silent, NoCancelKeepsTheRemovalFromBeingCancelledOnceBegun) {
    for (const bool silent : {true, false}) {
        SCOPED_TRACE(silent ? "/SILENT" : "window");
        SilentProduct p("");
        p.t.Write("Product\\Uninstall.log",
                  "[General]\r\nName=Sample\r\n[File]\r\nF1=" + p.t.Path("Effects\\x.fx") + "\r\n");
        RecordingForm2 window;
        TForm2 form(window, p.program, FakeProcess::Operations(), sweepstone::RemovalSafety{},
                    ArgumentsOf(silent ? std::vector<std::string>{"/SILENT", "/NOCANCEL"}
                                       : std::vector<std::string>{"/NOCANCEL"}));
        form.FormShow();
        EXPECT_TRUE(form.MayClose());
        if (silent)
            form.StartSilently();
        else
            form.BitBtn1Click();
        EXPECT_TRUE(Has(window.events, "disable Cancel"));
        EXPECT_FALSE(form.MayClose());
        form.BitBtn2Click();
        EXPECT_FALSE(Has(window.events, "close"));
        EXPECT_TRUE(FakeProcess::calls.empty());
        form.Timer1Timer();
        EXPECT_FALSE(p.t.Has("Effects\\x.fx"));
        EXPECT_TRUE(Has(window.events, "enable Cancel"));
        EXPECT_TRUE(form.MayClose());
        if (!silent)
            form.BitBtn2Click(); // "Finish"
        EXPECT_EQ(FakeProcess::calls.back(), "end:0");
    }
}

// The window with arguments (/LOG alone) asks as usual, and its exit code tells how
// it ended; without arguments the exit code stays 0, as it always was.
TEST(TForm2Silent, CancelInTheWindowEndsWithThreeOrTwoOnlyWhenArgumentsWereGiven) {
    struct Case {
        std::vector<std::string> args;
        bool log;
        int code;
    } cases[] = {
        {{}, true, 0},
        {{}, false, 0},
        {{"/LOG=report.txt"}, true, 3},
        {{"/LOG=report.txt"}, false, 2},
    };
    for (const Case& c : cases) {
        SilentProduct p(c.log ? "[General]\r\nName=Sample\r\n" : "");
        sweepstone::Arguments arguments = ArgumentsOf(c.args);
        if (!arguments.reportFile.empty())
            arguments.reportFile = p.t.Path(arguments.reportFile);
        RecordingForm2 window;
        TForm2 form(window, p.program, FakeProcess::Operations(), sweepstone::RemovalSafety{},
                    arguments);
        form.FormShow();
        form.BitBtn2Click();
        EXPECT_EQ(window.events.back(), "close");
        EXPECT_EQ(form.ExitCode(), c.code);
        EXPECT_EQ(p.t.Has("report.txt"), !c.args.empty());
        if (!c.args.empty()) {
            EXPECT_NE(p.t.Read("report.txt").find(c.log ? "Note: Cancelled" : "Note: No uninstall"),
                      std::string::npos);
        }
        EXPECT_TRUE(p.t.Has("Effects\\x.fx"));
    }
}

// A report that cannot be written refuses the run before anything is removed.
TEST(TForm2Silent, AReportFileThatCannotBeWrittenIsFoundBeforeTheRemoval) {
    SilentProduct p("[General]\r\nName=Sample\r\n");
    RecordingForm2 window;
    TForm2 form(window, p.program, FakeProcess::Operations(), sweepstone::RemovalSafety{},
                ArgumentsOf({"/S", "/LOG=" + p.t.Path("no such folder\\report.txt")}));
    EXPECT_FALSE(form.PrepareReport());
    TForm2 fine(window, p.program, FakeProcess::Operations(), sweepstone::RemovalSafety{},
                ArgumentsOf({"/S", "/LOG=" + p.t.Path("report.txt")}));
    EXPECT_TRUE(fine.PrepareReport());
    EXPECT_NE(p.t.Read("report.txt").find("has not finished"), std::string::npos);
}

#ifdef _WIN32
// A log that another program holds ends a silent run with 2 as a missing one does.
TEST(TForm2Silent, AnUnreadableLogEndsWithTwoAndChangesNothing) {
    SilentProduct p("");
    p.t.Write("Product\\Uninstall.log",
              "[General]\r\nName=Sample\r\n[File]\r\nF1=" + p.t.Path("Effects\\x.fx") + "\r\n");
    platform::win32::ScopedFileHandle held(
        CreateFileW(platform::win32::Widen(p.t.Path("Product\\Uninstall.log")).c_str(),
                    GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    RecordingForm2 window;
    TForm2 form(window, p.program, FakeProcess::Operations(), sweepstone::RemovalSafety{},
                ArgumentsOf({"/VERYSILENT", "/LOG=" + p.t.Path("report.txt")}));
    ASSERT_TRUE(form.PrepareReport());
    const int code = form.RunHidden();
    held.Reset();
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(FakeProcess::calls.empty()) << "no self-deletion";
    EXPECT_TRUE(p.t.Has("Effects\\x.fx"));
    EXPECT_TRUE(p.t.Has("Product\\Uninstall.log"));
    EXPECT_NE(p.t.Read("report.txt").find("Note: The uninstall log cannot be read"),
              std::string::npos);
}
#endif
