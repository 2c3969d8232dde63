// The components of the switcher's main window and the control identifiers under
// which the Win32 window carries them, so that tools and tests outside the program
// can find each control.
#pragma once

namespace season {

// In the order of their declaration.
enum class Component {
    Image1,  // background, drags the window
    Image2,  // close icon
    Image3,  // chosen season, big
    Image4,  // right arrow
    Image5,  // left arrow
    BitBtn2, // close button
    Image6,  // next season, small
    Image7,  // previous season, small
    Label1,  // base folder
    Button1, // apply
    ListBox1,
    DirectoryListBox1,
    Label2, // "Support for ..."
    Label3, // "Brightmere's"
    Image8, // German flag
    Image9, // English flag
    Panel_Help,
    Label_Help,
    Image10, // help icon
    BitBtn1, // hides the help panel
    Label_Version,
    Label_Quorrin_warning,
    Label_Active, // which season the add-ons hold now
};
inline constexpr int kComponentCount = static_cast<int>(Component::Label_Active) + 1;

// Control identifier of a component's child window (GetDlgCtrlID). They stay clear
// of IDOK and IDCANCEL, which the dialog keyboard interface sends on Enter and Esc.
constexpr int ControlId(Component c) {
    return 1001 + static_cast<int>(c);
}

// Window class of the main window; its window text is the application title.
inline constexpr const wchar_t* kFormClassName = L"TForm1";
inline constexpr const wchar_t* kFormWindowText = L"Brightmere Turnleaf";

} // namespace season
