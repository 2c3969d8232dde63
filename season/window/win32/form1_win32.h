// Form1, the switcher's main window on Win32: every component a real child window
// of a standard class (STATIC for pictures and labels, LISTBOX, BUTTON) at its
// place, messages turned into the handlers of TForm1, and TForm1's window
// operations carried out on the controls.
#pragma once

#include "caption_fit.h"
#include "gui/picture.h"
#include "gui/window_binding.h"
#include "instance_win32.h"
#include "link_rule.h"
#include "unit1.h"
#include "windows_gui.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace season::win32 {

using platform::gui::Picture;

class Form1Window final : public FormOperations, private platform::gui::MessageTarget {
public:
    // `lock` is the switcher's hold on its folder, handed over to a new instance
    // started with administrator rights while that runs.
    Form1Window(HINSTANCE instance, InstanceLock& lock);
    ~Form1Window() override;
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    // Creates the window and its controls, runs the start-up sequence and shows
    // the window. False when the window could not be created.
    bool Create();
    HWND Handle() const { return hwnd_; }

    void SetText(Component c, const std::string& text) override;
    void SetVisible(Component c, bool visible) override;
    void DrawSeasonPicture(Component picture, int entry) override;
    void AppendListEntry(const std::string& entry) override;
    void ClearListSelection() override;
    void Focus(Component c) override;
    void BeginWindowMove() override;
    void CloseWindow() override;
    void SetBusy(bool busy) override;
    int AskYesNo(const std::string& text, const std::string& caption) override;
    void ShowInformation(const std::string& text) override;
    int AskRetryCancel(const std::string& text, const std::string& caption) override;
    void ShowShield(bool shown) override;
    void ShowProgress(int percent) override;
    void RunInBackground(std::function<void()> work, std::function<void()> then) override;
    void RunAside(std::function<void()> work, std::function<void()> then) override;
    void SetHint(Component c, const std::string& text) override;

private:
    static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCommand(int id, int code) override;
    void CreateControls();
    // Labels and buttons on the form: the background beneath them; in the help
    // panel: the panel's colour.
    LRESULT OnCtlColor(HDC dc, HWND control);
    void DrawPicture(const DRAWITEMSTRUCT& item);
    bool SetPointer(HWND under);
    const Picture* PictureOf(Component c) const;
    HWND Control(Component c) const { return controls_[static_cast<size_t>(c)]; }
    int Scale(int pixels) const { return dpi_.Scale(pixels); }
    void SizeLabelToText(Component c);
    // Sets the largest font step at which the control's caption fits it.
    void FitCaption(Component c);
    // Tahoma (0), Tahoma bold (1) or Arial (2) at a step of FontHeightAtStep.
    HFONT FontFor(int family, int step);
    static int FamilyOf(Component c);
    static platform::win32::ScopedGdiObject<HFONT> MakeFamilyFont(int family, int height);

    SystemOperations RealSystem();
    FileSystem& FileSystemForRun();

    HINSTANCE instance_;
    InstanceLock& lock_;
    std::unique_ptr<LinkCheckingFileSystem> linkChecking_; // before form_, which uses it
    SwitcherState state_;
    TForm1 form_;
    platform::gui::Tooltips tooltips_;
    std::array<HWND, kComponentCount> controls_{};
    std::array<int, kComponentCount> seasonEntry_{};
    platform::gui::Dpi dpi_;
    bool busy_ = false;

    std::unique_ptr<Picture> background_;
    std::array<std::unique_ptr<Picture>, 4> seasons_;
    std::unique_ptr<Picture> close_, arrowLeft_, arrowRight_, help_, flagDe_, flagEn_;
    // The background at the window's size, and as the brush painted behind
    // transparent labels.
    platform::win32::ScopedGdiObject<HBITMAP> backgroundBitmap_;
    platform::win32::ScopedGdiObject<HBRUSH> backgroundBrush_;
    platform::win32::ScopedGdiObject<HBRUSH> panelBrush_;
    int fontHeight_ = -11;
    // The fonts by family and step: the design size (step 0) made with the window,
    // the smaller ones when first needed.
    std::array<std::array<platform::win32::ScopedGdiObject<HFONT>, kSmallerFontSteps + 1>, 3>
        fonts_;
    bool shield_ = false;
    platform::win32::ScopedIcon glyphClose_, glyphOk_;
    platform::gui::ProgramIcons icons_;
    platform::win32::ScopedCursor dragCursor_;
    // The work of RunInBackground and what follows it on the window's thread.
    std::thread worker_;
    std::function<void()> afterWork_;
    std::thread asideWorker_;
    std::function<void()> afterAside_;
    // The last percentage posted by the worker, so that each is posted once.
    std::atomic<int> postedPercent_{-1};
    // The task-bar button's progress (absent before Windows 7 and under Wine).
    ITaskbarList3* taskbar_ = nullptr;
    UINT taskbarButtonCreated_ = 0;
};

} // namespace season::win32
