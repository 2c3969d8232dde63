; The sample product of sweepstone.nsh: a scenery add-on, "Brightmere Sample Field",
; installed into the simulator's Addon Scenery folder below the maker's folder, with
; every kind of item the uninstall log knows. Build it with
;
;   makensis -DWIZARD=sweepstone.exe -DLIBRARY=sample_cleanup.dll -DOUTFILE=setup.exe sample-product.nsi
;
; (-DTARGET=amd64-unicode for 64-bit Windows with the 64-bit wizard and library).
; Run it as an administrator; /S installs silently. MARK names the file the sample's
; library writes its line to at removal (default: beside the Scenery.cfg backup).

Unicode true
!ifdef TARGET
Target ${TARGET}
!endif
!ifndef WIZARD
!define WIZARD "sweepstone.exe"
!endif
!ifndef LIBRARY
!define LIBRARY "sample_cleanup.dll"
!endif
!ifndef OUTFILE
!define OUTFILE "brightmere-sample-field-setup.exe"
!endif

!define PRODUCT "Brightmere Sample Field"
!define SIM_KEY "SOFTWARE\Microsoft\Microsoft Games\Flight Simulator\10.0"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES\${PRODUCT}"
ShowInstDetails show
Page instfiles

!include "sweepstone.nsh"

Section "Install"
    SetShellVarContext all
    ; The simulator's folder from its registry entry, which the 32-bit simulator
    ; keeps in the 32-bit view (also read so by the amd64 stub).
    SetRegView 32
    ReadRegStr $R0 HKLM "${SIM_KEY}" "SetupPath"
    ${If} $R0 == ""
        MessageBox MB_ICONSTOP "The flight simulator is not installed." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    StrCpy $R1 $R0 1 -1
    ${If} $R1 == "\"
        StrCpy $R0 $R0 -1
    ${EndIf}
    ; Its scenery library lies in the common application data folder.
    StrCpy $R2 "$APPDATA\Microsoft\FSX\Scenery.cfg"
    ${IfNot} ${FileExists} "$R2"
        MessageBox MB_ICONSTOP "The simulator's scenery library is missing: $R2" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    !ifdef MARK
        StrCpy $R3 "${MARK}"
    !else
        StrCpy $R3 "$APPDATA\Microsoft\FSX\${PRODUCT} removed.txt"
    !endif

    !insertmacro SweepstoneBegin "$INSTDIR" "${WIZARD}" "${PRODUCT}"
    !insertmacro SweepstoneUninstallEntry "BrightmereSampleField" "${PRODUCT}"
    !insertmacro SweepstoneFolder "product" "$R0\Addon Scenery\Brightmere\Sample Field"
    !insertmacro SweepstoneSceneryArea "$R2" "${PRODUCT}" "$R0\Addon Scenery\Brightmere\Sample Field"
    !insertmacro SweepstoneFile "BSF_lights.fx" "$R0\Effects" "BSF_lights.fx"
    !insertmacro SweepstoneRegistry "SOFTWARE\Brightmere\Sample Field" "InstallPath" "$R0\Addon Scenery\Brightmere\Sample Field"
    WriteRegStr HKLM "SOFTWARE\Brightmere\Sample Field\Settings" "Season" "auto"
    !insertmacro SweepstoneShortcut "$SMPROGRAMS\Brightmere\Sample Field" "Uninstall ${PRODUCT}" "$INSTDIR\Uninstall.exe"
    !insertmacro SweepstoneLibraryCall "${LIBRARY}" "$R0\Addon Scenery\Brightmere\Sample Field" "sample_cleanup.dll" "RemoveSettings" "$R3" "${PRODUCT}" ""
    !insertmacro SweepstoneSwitchOff "$R0\Scenery\World\scenery\BSF_default_apron"
    !insertmacro SweepstoneSharedOption "$R0\Addon Scenery\Brightmere\Sample Field Pro"
    !insertmacro SweepstoneSharedFolder "shared" "$R0\Addon Scenery\Brightmere\Shared Objects"
SectionEnd
