; sweepstone.nsh: NSIS macros that install an item and write its uninstall-log line
; in one step, so that the log always names what the installer put on the machine.
; The log's line is written before the item is installed: an installation that
; stops half-way still leaves a log that removes what it got to.
;
;   !include "sweepstone.nsh"
;   !insertmacro SweepstoneBegin "$PROGRAMFILES\Maker Product" "path\to\sweepstone.exe" "Product"
;   !insertmacro SweepstoneFolder "product" "$R0\Addon Scenery\Maker\Product"
;   ...
;
; Every path a macro logs is a full path as the installer resolved it. The log is
; UTF-16 with a byte-order mark, so that names in any script survive; the wizard
; reads it as it reads every log. See "Writing the log with NSIS" in the installer
; author's guide (uninstall-log-format.md).

!ifndef SWEEPSTONE_NSH
!define SWEEPSTONE_NSH

!include "LogicLib.nsh"

Var SweepstoneFolder  ; the folder of Uninstall.exe and Uninstall.log
Var SweepstoneLog     ; the log's full path
Var SweepstoneCount   ; numbers the log's keys, so that no key repeats in a section
Var SweepstoneScenery ; the Scenery.cfg the log's [Scenery.cfg] Path entry names

; One log line: KEY<n>=VALUE in [SECTION].
!macro _SweepstoneLine SECTION PREFIX VALUE
    IntOp $SweepstoneCount $SweepstoneCount + 1
    WriteINIStr "$SweepstoneLog" "${SECTION}" "${PREFIX}$SweepstoneCount" "${VALUE}"
!macroend

; Places the wizard (WIZARD, on the build machine) as FOLDER\Uninstall.exe and starts
; the log beside it with the product's name. Keep FOLDER out of [Path]: the wizard
; deletes itself and then FOLDER when it is empty. Its parent should be a folder
; that stays (Program Files): the self-deletion does not climb further.
; The wizard reaches the registry's 32-bit view, where 32-bit installers write, also
; in its 64-bit build: from here on the script writes that view too (SetRegView 32,
; the same as the default for the 32-bit stub), so [Registry] names what was written.
!macro SweepstoneBegin FOLDER WIZARD PRODUCT
    SetRegView 32
    StrCpy $SweepstoneFolder "${FOLDER}"
    StrCpy $SweepstoneLog "${FOLDER}\Uninstall.log"
    StrCpy $SweepstoneCount 0
    StrCpy $SweepstoneScenery ""
    SetOutPath "${FOLDER}"
    File "/oname=Uninstall.exe" "${WIZARD}"
    ; The byte-order mark first: the profile functions then write the file in UTF-16.
    Push $0
    FileOpen $0 "$SweepstoneLog" w
    FileWriteByte $0 255
    FileWriteByte $0 254
    FileClose $0
    Pop $0
    WriteINIStr "$SweepstoneLog" "General" "Name" "${PRODUCT}"
!macroend

; The Add/Remove Programs entry ID (below ...\CurrentVersion\Uninstall) for the wizard,
; with its quiet form; logged in [Registry], so the removal takes the entry too.
!macro SweepstoneUninstallEntry ID DISPLAYNAME
    !define _SWEEPSTONE_ENTRY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\${ID}"
    !insertmacro _SweepstoneLine "Registry" "R" "${_SWEEPSTONE_ENTRY}"
    WriteRegStr HKLM "${_SWEEPSTONE_ENTRY}" "DisplayName" "${DISPLAYNAME}"
    WriteRegStr HKLM "${_SWEEPSTONE_ENTRY}" "UninstallString" '"$SweepstoneFolder\Uninstall.exe"'
    WriteRegStr HKLM "${_SWEEPSTONE_ENTRY}" "QuietUninstallString" '"$SweepstoneFolder\Uninstall.exe" /VERYSILENT'
    WriteRegStr HKLM "${_SWEEPSTONE_ENTRY}" "InstallLocation" "$SweepstoneFolder"
    WriteRegDWORD HKLM "${_SWEEPSTONE_ENTRY}" "NoModify" 1
    WriteRegDWORD HKLM "${_SWEEPSTONE_ENTRY}" "NoRepair" 1
    !undef _SWEEPSTONE_ENTRY
!macroend

; A folder tree: everything below SOURCE (on the build machine) into FOLDER; [Path]
; removes FOLDER with everything in it, and then the maker's folders above it that
; are left empty.
!macro SweepstoneFolder SOURCE FOLDER
    !insertmacro _SweepstoneLine "Path" "P" "${FOLDER}"
    SetOutPath "${FOLDER}"
    File /r "${SOURCE}\*.*"
!macroend

; One file: SOURCE (on the build machine) as FOLDER\NAME, in a folder that others
; share (the simulator's Effects folder); [File] removes only that file.
!macro SweepstoneFile SOURCE FOLDER NAME
    !insertmacro _SweepstoneLine "File" "F" "${FOLDER}\${NAME}"
    SetOutPath "${FOLDER}"
    File "/oname=${NAME}" "${SOURCE}"
!macroend

; A registry key tree below HKEY_LOCAL_MACHINE with its first string value; write
; further values with WriteRegStr. [Registry] removes the whole tree, then the
; maker's keys above it that are left empty. Log each tree once.
!macro SweepstoneRegistry KEY NAME VALUE
    !insertmacro _SweepstoneLine "Registry" "R" "${KEY}"
    WriteRegStr HKLM "${KEY}" "${NAME}" "${VALUE}"
!macroend

; A Start menu folder (FOLDER, for instance "$SMPROGRAMS\Maker\Product") with one
; shortcut LINK.lnk to TARGET; [ShortCut] removes the folder.
!macro SweepstoneShortcut FOLDER LINK TARGET
    !insertmacro _SweepstoneLine "ShortCut" "S" "${FOLDER}"
    CreateDirectory "${FOLDER}"
    CreateShortCut "${FOLDER}\${LINK}.lnk" "${TARGET}"
!macroend

; A library SOURCE installed as FOLDER\NAME whose ENTRY the wizard calls at removal
; with up to three texts (empty ones are passed as null pointers). ENTRY must be
; exported under its plain name: void __stdcall ENTRY(const char*, const char*,
; const char*). The library is logged in [File] too, so it goes after the call.
!macro SweepstoneLibraryCall SOURCE FOLDER NAME ENTRY TEXT1 TEXT2 TEXT3
    !insertmacro _SweepstoneLine "DLL_RUN" "D" "${FOLDER}\${NAME}@${ENTRY}@${TEXT1}@${TEXT2}@${TEXT3}"
    !insertmacro SweepstoneFile "${SOURCE}" "${FOLDER}" "${NAME}"
!macroend

; A simulator scenery file STEM.bgl switched off: renamed to STEM.off, and renamed
; back at removal ([Rename_File]) unless STEM.bgl is taken by then.
!macro SweepstoneSwitchOff STEM
    !insertmacro _SweepstoneLine "Rename_File" "N" "${STEM}"
    Rename "${STEM}.bgl" "${STEM}.off"
!macroend

; Folders shared by the maker's products: SOURCE into FOLDER, logged in
; [Shared-Folder]; the wizard leaves them (and the [DLL_RUN_SHARED] calls and the
; [Shared_Scenery.cfg] areas) while a folder named by SweepstoneSharedOption exists.
!macro SweepstoneSharedFolder SOURCE FOLDER
    !insertmacro _SweepstoneLine "Shared-Folder" "S" "${FOLDER}"
    SetOutPath "${FOLDER}"
    File /r "${SOURCE}\*.*"
!macroend

; The folder of another of the maker's products that uses the shared folders.
!macro SweepstoneSharedOption FOLDER
    !insertmacro _SweepstoneLine "Shared-Folder-Option" "O" "${FOLDER}"
!macroend

; A scenery area for the folder LOCAL titled TITLE in the simulator's scenery library
; CFG: the first free area number, one layer above the highest. The log gets the
; library's Path entry (before any title, once) and the title. The area is appended
; to the end of the file with nothing around it, in the file's own encoding (UTF-16
; when it starts with its byte-order mark, else the ANSI code page), so that the
; removal, which takes the area's lines out, gives back the file byte for byte. Pick
; a title that no other area's title is part of: the removal takes every area whose
; title occurs in the logged one.
!macro SweepstoneSceneryArea CFG TITLE LOCAL
    Push "${LOCAL}"
    Push "${TITLE}"
    Push "${CFG}"
    Call SweepstoneSceneryArea
!macroend

Function SweepstoneSceneryArea
    Exch $0 ; the library
    Exch
    Exch $1 ; the title
    Exch 2
    Exch $2 ; the area's folder
    Push $3
    Push $4
    Push $5
    Push $6
    Push $7
    Push $8
    ${If} $SweepstoneScenery == ""
        StrCpy $SweepstoneScenery $0
        WriteINIStr "$SweepstoneLog" "Scenery.cfg" "Path" "$0"
    ${EndIf}
    !insertmacro _SweepstoneLine "Scenery.cfg" "T" "$1"
    ; The first number without an area, and the highest layer.
    StrCpy $4 ""
    StrCpy $5 0
    ${For} $3 1 999
        IntFmt $6 "%03d" $3
        ReadINIStr $7 "$0" "Area.$6" "Layer"
        ReadINIStr $8 "$0" "Area.$6" "Title"
        ${If} $7 == ""
        ${AndIf} $8 == ""
        ${AndIf} $4 == ""
            StrCpy $4 $6
        ${EndIf}
        ${If} $7 != ""
        ${AndIf} $7 > $5
            StrCpy $5 $7
        ${EndIf}
    ${Next}
    IntOp $5 $5 + 1
    ; The file's encoding from its first two bytes.
    StrCpy $8 ""
    FileOpen $3 "$0" r
    FileReadByte $3 $6
    FileReadByte $3 $7
    FileClose $3
    ${If} $6 == 255
    ${AndIf} $7 == 254
        StrCpy $8 "utf16"
    ${EndIf}
    StrCpy $6 "[Area.$4]$\r$\nTitle=$1$\r$\nLocal=$2$\r$\nLayer=$5$\r$\nActive=TRUE$\r$\nRequired=FALSE$\r$\n"
    FileOpen $3 "$0" a
    FileSeek $3 0 END
    ${If} $8 == "utf16"
        FileWriteUTF16LE $3 $6
    ${Else}
        FileWrite $3 $6
    ${EndIf}
    FileClose $3
    Pop $8
    Pop $7
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2 ; the Exch above left the callers' $2, $0, $1 in this order
    Pop $0
    Pop $1
FunctionEnd

!endif
