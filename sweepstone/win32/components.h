// The components of the wizard window and the control identifiers under which the
// Win32 window carries them, so that tools and tests outside the program can find
// each control.
#pragma once

namespace sweepstone::win32 {

// In the order of their declaration (the timer has no window).
enum class Component {
    Image_background,
    Label_Message,
    BitBtn1, // "Next >"
    BitBtn2, // "Cancel", after the removal "Finish"
    StatusBar1,
    ProgressBar1,
    Label_Uninstall,
    Label_status,
};
inline constexpr int kComponentCount = static_cast<int>(Component::Label_status) + 1;

// Control identifier of a component's child window (GetDlgCtrlID). They stay clear
// of IDOK and IDCANCEL, which the dialog keyboard interface sends on Enter and Esc.
constexpr int ControlId(Component c) {
    return 2001 + static_cast<int>(c);
}

// Window class and caption of the wizard window.
inline constexpr const wchar_t* kFormClassName = L"TForm2";
inline constexpr const wchar_t* kFormCaption = L"Uninstaller by brightmere";
inline constexpr int kFormWidth = 690;
inline constexpr int kFormHeight = 498;

} // namespace sweepstone::win32
