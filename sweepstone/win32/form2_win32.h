// Form2, the wizard window on Win32: every component a real child window of a
// standard class (STATIC for the picture and the labels, BUTTON, msctls_progress32)
// at its place, messages turned into the handlers of TForm2, and TForm2's window
// operations carried out on the controls.
#pragma once

#include "components.h"
#include "install.h"

#include "gui/picture.h"
#include "gui/window_binding.h"

#include <array>
#include <string>

namespace sweepstone::win32 {

class Form2 final : public Form2Window, private platform::gui::MessageTarget {
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
    void ShowInformation(const std::string& caption, const std::string& text) override;

private:
    LRESULT OnMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCommand(int id, int code) override;
    void CreateControls();
    LRESULT OnCtlColor(HDC dc, HWND control);
    void DrawBackground(const DRAWITEMSTRUCT& item);
    void MakeBackgroundBrush();
    void FitToControls();
    HWND Control(Component c) const { return controls_[static_cast<size_t>(c)]; }
    static Component Of(Label label);
    static Component Of(Button button);
    int Scale(int pixels) const { return dpi_.Scale(pixels); }

    HINSTANCE instance_;
    bool silent_;
    TForm2 form_;
    platform::gui::Tooltips tooltips_;
    std::array<HWND, kComponentCount> controls_{};
    platform::gui::Dpi dpi_;
    bool busy_ = false;
    bool timerRunning_ = false;

    platform::gui::Picture background_;
    platform::win32::ScopedGdiObject<HBITMAP>
        backgroundBitmap_; // the picture at the control's size
    platform::win32::ScopedGdiObject<HBRUSH>
        backgroundBrush_; // painted behind the transparent labels
    platform::win32::ScopedGdiObject<HFONT> labelFont_, buttonFont_;
    platform::gui::ProgramIcons icons_;
};

} // namespace sweepstone::win32
