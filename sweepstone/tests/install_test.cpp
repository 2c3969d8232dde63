#include "install.h"

#include "platform/files.h"
#include "test_folder.h"

#include <gtest/gtest.h>

using sweepstone::Form2Window;
using sweepstone::TForm2;
using testing_support::TestFolder;

namespace {

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

// The self-deletion's process operations, recorded instead of carried out.
struct FakeProcess {
    static inline std::vector<std::string> calls;
    static inline std::string temp;
    static inline bool currentFolderFails = false;

    static sweepstone::SelfDeleteOperations Operations() {
        calls.clear();
        currentFolderFails = false;
        return {[] { return temp; },
                [](const std::string& folder, const std::string& prefix) {
                    calls.push_back("unique:" + prefix);
                    return folder + prefix + "1A2B.tmp";
                },
                [](const std::string& p) {
                    calls.push_back("clear:" + p);
                    return std::error_code{};
                },
                [](const std::string& p, const std::string& bytes) {
                    calls.push_back("write:" + p);
                    return platform::WriteWholeFile(p, bytes);
                },
                [](const std::string& f) {
                    calls.push_back("cd:" + f);
                    return currentFolderFails ? std::make_error_code(std::errc::permission_denied)
                                              : std::error_code{};
                },
                [](const std::string& arguments, const platform::EnvironmentValues& environment) {
                    std::string call = "start:" + arguments;
                    for (const auto& [name, value] : environment)
                        call += "|" + name + "=" + value;
                    calls.push_back(call);
                    return std::error_code{};
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
    } cases[] = {
        {"C:\\Sim\\Sample\\Uninstall.exe", "C:\\Sim\\Sample\\", "Uninstall.log", "Uninstall.jpg"},
        {"C:\\Sim\\remove.me.exe", "C:\\Sim\\", "remove.log", "remove.jpg"},
        {"C:\\Sim\\noextension", "C:\\Sim\\", "log", "jpg"},
        {"D:\\Uninstall.exe", "D:\\", "Uninstall.log", "Uninstall.jpg"},
        {"C:\\Program Files (x86)\\A.B\\un.exe", "C:\\Program Files (x86)\\A.B\\", "un.log",
         "un.jpg"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sweepstone::BaseFolderOf(c.program), c.base);
        EXPECT_EQ(sweepstone::LogFileNameFor(c.program), c.log);
        EXPECT_EQ(sweepstone::PictureFileNameFor(c.program), c.picture);
    }
}

// The batch's exact bytes: a try every second (ping waits one second between its
// two echoes; "timeout" fails without a console) for at most 60 tries, the folder
// only once the program is gone, then the batch itself.
const std::string kBatch = "@echo off\r\n"
                           "set /a tries=0\r\n"
                           ":retry\r\n"
                           "del /f \"!SWEEPSTONE_PROGRAM!\" >nul 2>&1\r\n"
                           "if not exist \"!SWEEPSTONE_PROGRAM!\" goto removed\r\n"
                           "set /a tries+=1\r\n"
                           "if !tries! geq 60 goto done\r\n"
                           "ping -n 2 127.0.0.1 >nul 2>&1\r\n"
                           "goto retry\r\n"
                           ":removed\r\n"
                           "rmdir \"!SWEEPSTONE_FOLDER!\" >nul 2>&1\r\n"
                           ":done\r\n"
                           "del \"!SWEEPSTONE_BATCH!\" >nul 2>&1\r\n";
std::string ArgumentsFor(const std::string& batchName) {
    return "/d /e:on /v:on /s /c \"\"" + batchName + "\"\"";
}

TEST(SelfDeleteBatch, RetriesTheProgramThenRemovesItsFolderAndItself) {
    const sweepstone::SelfDeleteCommand command = sweepstone::SelfDeleteBatch(
        "C:\\Sim\\My Product\\Uninstall.exe", "C:\\Users\\Jo Pilot\\Temp\\uis1A2B.bat");
    EXPECT_EQ(command.batch, kBatch);
    EXPECT_EQ(command.arguments, ArgumentsFor("uis1A2B.bat"));
    EXPECT_EQ(command.environment,
              (platform::EnvironmentValues{
                  {"SWEEPSTONE_PROGRAM", "C:\\Sim\\My Product\\Uninstall.exe"},
                  {"SWEEPSTONE_FOLDER", "C:\\Sim\\My Product"},
                  {"SWEEPSTONE_BATCH", "C:\\Users\\Jo Pilot\\Temp\\uis1A2B.bat"}}));
}

// Names that the interpreter would expand (%), take for syntax (& ( ) ^ @ outside
// quotes), split (blanks) or misread in the OEM code page (umlauts, and letters no
// OEM code page has) never reach the batch's text or the command line: the batch
// stays byte for byte the same, the command line names only the batch's own ASCII
// file name, and the names travel unchanged in the environment. A drive root keeps
// its separator.
TEST(SelfDeleteBatch, NoNameReachesTheBatchOrTheCommandLine) {
    const struct {
        const char* program;
        const char* folder;
        std::string batch;
    } cases[] = {
        {"C:\\100% Sure Field\\Uninstall.exe", "C:\\100% Sure Field", "C:\\Temp & Co\\uis1.bat"},
        {"C:\\%PATH% (x86)\\un^do.exe", "C:\\%PATH% (x86)", "C:\\T\\@(^)&%%\\uisF.bat"},
        {"D:\\M\xc3\xbcller Flughafen\\Uninstall.exe", "D:\\M\xc3\xbcller Flughafen",
         "C:\\Users\\J\xc3\xbcrgen M\xc3\xbcller\\AppData\\Local\\Temp\\uis2.bat"},
        {"C:\\\xc5\x81\xc3\xb3"
         "d\xc5\xba \xe6\x9d\xb1\xe4\xba\xac\\Uninstall.exe",
         "C:\\\xc5\x81\xc3\xb3"
         "d\xc5\xba \xe6\x9d\xb1\xe4\xba\xac",
         "C:\\Temp\\\xd0\x96\\uis3.bat"},
        {"E:\\Uninstall.exe", "E:\\", "E:\\uis4.bat"},
    };
    // A temporary folder on a network share: the batch's path comes from the
    // environment on the command line too.
    EXPECT_EQ(
        sweepstone::SelfDeleteBatch("C:\\P\\Uninstall.exe", "\\\\host\\T & Co\\uis5.bat").arguments,
        ArgumentsFor("!SWEEPSTONE_BATCH!"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        const sweepstone::SelfDeleteCommand command =
            sweepstone::SelfDeleteBatch(c.program, c.batch);
        EXPECT_EQ(command.batch, kBatch);
        EXPECT_EQ(command.arguments, ArgumentsFor(c.batch.substr(c.batch.rfind('\\') + 1)));
        EXPECT_EQ(command.environment,
                  (platform::EnvironmentValues{{"SWEEPSTONE_PROGRAM", c.program},
                                               {"SWEEPSTONE_FOLDER", c.folder},
                                               {"SWEEPSTONE_BATCH", c.batch}}));
    }
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
                  {Outcome::Removed, t.Path("Effects\\x.fx"), ""},
                  {Outcome::Removed, t.Path("Product\\") + "Uninstall.log", ""}}));
    form.Timer1Timer(); // a late tick does not run the removal again
    EXPECT_EQ(std::count(window.events.begin(), window.events.end(), "stop-timer"), 1);

    form.BitBtn2Click();
    const std::string batch = t.Path("Temp\\uis1A2B.bat");
    EXPECT_EQ(FakeProcess::calls,
              (std::vector<std::string>{
                  "unique:uis", "clear:" + t.Path("Product\\Uninstall.exe"), "write:" + batch,
                  "cd:" + t.Path("Temp\\"),
                  "start:" + ArgumentsFor("uis1A2B.bat") +
                      "|SWEEPSTONE_PROGRAM=" + t.Path("Product\\Uninstall.exe") +
                      "|SWEEPSTONE_FOLDER=" + t.Path("Product") + "|SWEEPSTONE_BATCH=" + batch,
                  "end:0"}));
    EXPECT_EQ(t.Read("Temp\\uis1A2B.bat"), kBatch);
}

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
    FakeProcess::currentFolderFails = true;
    form.BitBtn2Click();
    EXPECT_FALSE(Has(FakeProcess::calls, "end:0"));
    EXPECT_EQ(window.events.back().rfind("info:Uninstaller - Brightmere GmbH|Cannot change to ", 0),
              0u);
    EXPECT_TRUE(t.Has("Temp\\uis1A2B.bat")); // written, not started
}

TEST(TForm2, TheBackgroundMovesTheWindowOnlyWhileThePrimaryButtonIsHeld) {
    RecordingForm2 window;
    TForm2 form(window, "C:\\x\\Uninstall.exe", FakeProcess::Operations());
    form.Image_backgroundMouseMove(false);
    EXPECT_TRUE(window.events.empty());
    form.Image_backgroundMouseMove(true);
    EXPECT_EQ(window.events, std::vector<std::string>{"move"});
}
