// Form2, the wizard window on Win32: every component a real child window of a
// standard class (STATIC for the picture and the labels, BUTTON, msctls_progress32)
// at its place, messages turned into the handlers of TForm2, and TForm2's window
// operations carried out on the controls.
#pragma once

#include "components.h"
#include "install.h"

#include "gui/picture.h"
#include "scoped_win32.h"
#include "windows_support.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <utility>

namespace sweepstone::win32 {

class Form2 final : public Form2Window {
public:
    Form2(HINSTANCE instance, const Arguments& arguments);
    ~Form2() override;
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    // Creates the window and its controls, runs FormShow and shows the window; a
    // /SILENT run then starts the removal without asking. False when the window
    // could not be created.
    bool Create();
    HWND Handle() const { return hwnd_; }
    TForm2& Logic() { return form_; }

    // Form2Window
    bool LoadBackground(const std::string& file) override;
    void SetLabelText(Label label, const std::string& text) override;
    void ShowLabel(Label label, bool visible) override;
    void SetButtonCaption(Button button, const std::string& text) override;
    void EnableButton(Button button, bool enabled) override;
    void SetButtonTooltip(Button button, const std::string& text) override;
    void StartTimer() override;
    void SetBusyCursor() override;
    bool AskOkCancel(const std::string& text, const std::string& caption) override;
    void BeginMove() override;
    void Close() override;
    // RemovalWindow
    void ShowProgress() override;
    void SetProgress(int position) override;
    void HideProgress() override;
    void StopTimer() override;
    void RestoreCursor() override;
    void* OwnerWindow() override { return hwnd_; }
    void ShowInformation(const std::string& caption, const std::string& text) override;

private:
    static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void OnCommand(int id, int code);
    LRESULT OnCtlColor(HDC dc, HWND control);
    void DrawBackground(const DRAWITEMSTRUCT& item);
    void MakeBackgroundBrush();
    void FitToControls();
    POINT PositionInForm(HWND control) const;
    HWND Control(Component c) const { return controls_[static_cast<size_t>(c)]; }
    static Component Of(Label label);
    static Component Of(Button button);
    int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    HINSTANCE instance_;
    bool silent_;
    TForm2 form_;
    HWND hwnd_ = nullptr;
    HWND tooltips_ = nullptr;
    std::array<HWND, kComponentCount> controls_{};
    std::array<std::wstring, 2> tooltipTexts_;
    int dpi_ = 96;
    bool busy_ = false;
    bool timerRunning_ = false;

    platform::gui::Picture background_;
    platform::win32::ScopedGdiObject<HBITMAP>
        backgroundBitmap_; // the picture at the control's size
    platform::win32::ScopedGdiObject<HBRUSH>
        backgroundBrush_; // painted behind the transparent labels
    platform::win32::ScopedGdiObject<HFONT> labelFont_, buttonFont_;
    platform::win32::ScopedIcon iconBig_, iconSmall_;
};

} // namespace sweepstone::win32
