; Brimvale's installer: one setup program for 32-bit and 64-bit Windows.
; It installs the program built for the Windows it runs on (the 64-bit one
; on 64-bit Windows, in the 64-bit Program Files folder and the 64-bit
; registry view), for all users, with a Start menu shortcut and an entry in
; "Apps & features". An upgrade installs over the folder of the installed
; copy; a running copy is ended with "/exit" first and started again (tray
; only) afterwards, so that the taskbar keeps the icon where the user put it
; (Windows ties that choice to the program's path).
;
; Made by scripts/package.sh, which passes:
;   VERSION   the project's version (1.2.3), VERSION4 its four-part form
;   EXE32     the 32-bit brimvale.exe, EXE64 the 64-bit one
;   GUIDE     the user guide as README.txt (Windows line ends)
;   OUTFILE   where the setup program goes
; Silent install: setup.exe /S, another folder: /D=C:\Path (last, unquoted).

!ifndef VERSION | VERSION4 | EXE32 | EXE64 | GUIDE | OUTFILE
  !error "makensis needs -DVERSION= -DVERSION4= -DEXE32= -DEXE64= -DGUIDE= -DOUTFILE= (see scripts/package.sh)"
!endif

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brimvale"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The running copy's single-instance mutex: the program's file name, upper-cased.
!define INSTANCE_NAME "BRIMVALE.EXE"
!define SYNCHRONIZE 0x00100000

Name "Brimvale ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Brimvale ${VERSION}"
; Empty here: .onInit chooses it unless /D= gave one.
InstallDir ""

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "../src/app/res/brimvale.ico"
!define MUI_UNICON "../src/app/res/brimvale.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The same version as the program's own version resource.
VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Brimvale"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Palvo"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Brimvale setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Palvo"

Var WasRunning

; The program built for this Windows, unpacked under the given name in the
; output folder. Sets the error flag when the file could not be written
; (with SetOverwrite try: a running program's file is locked).
!macro ProgramForThisWindows NAME
  ${If} ${RunningX64}
    File "/oname=${NAME}" "${EXE64}"
  ${Else}
    File "/oname=${NAME}" "${EXE32}"
  ${EndIf}
!macroend

; Both the installer and the uninstaller work in the registry view of the
; program they install, and on the shortcut for all users.
!macro ChooseViews
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  !insertmacro ChooseViews
  ; /D= first, then the folder of the installed copy, then Program Files.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINST_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\Brimvale"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\Brimvale"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Brimvale"
  ; A copy of the same file name that runs in this session (from this
  ; folder or any other) holds the instance mutex. The new program asks it
  ; to end and waits for it: an older copy's file may not know "/exit".
  StrCpy $WasRunning 0
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_NAME}") p.r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $WasRunning 1
    InitPluginsDir
    SetOutPath $PLUGINSDIR
    !insertmacro ProgramForThisWindows "brimvale.exe"
    ExecWait '"$PLUGINSDIR\brimvale.exe" /exit' $0
    DetailPrint "Running copy asked to end (exit code $0)."
  ${EndIf}

  SetOutPath $INSTDIR
  ; Tries again for ten seconds while the file is still locked, then asks.
  SetOverwrite try
  StrCpy $1 0
  program:
    ClearErrors
    !insertmacro ProgramForThisWindows "brimvale.exe"
    ${If} ${Errors}
      IntOp $1 $1 + 1
      ${If} $1 < 20
        Sleep 500
        Goto program
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Brimvale is still running and cannot be replaced.$\r$\nChoose $\"Exit$\" in its tray menu, then Retry." \
        /SD IDCANCEL IDRETRY program
      SetErrorLevel 2
      Abort "Brimvale is still running."
    ${EndIf}
  SetOverwrite on
  File "/oname=README.txt" "${GUIDE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Brimvale.lnk" "$INSTDIR\brimvale.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Brimvale"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Palvo"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\brimvale.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" "$0"

  ; Started again as autostart starts it: tray icon only.
  ${If} $WasRunning = 1
    Exec '"$INSTDIR\brimvale.exe" /m'
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro ChooseViews
FunctionEnd

Section "Uninstall"
  ${If} ${FileExists} "$INSTDIR\brimvale.exe"
    ExecWait '"$INSTDIR\brimvale.exe" /exit'
  ${EndIf}

  ; The autostart value, when it starts this program ("...\brimvale.exe" /m,
  ; as the settings dialog writes it). StrCmp ignores the letter case.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Brimvale"
  StrCpy $1 '"$INSTDIR\brimvale.exe"'
  StrLen $2 $1
  StrCpy $3 $0 $2
  ${If} $3 == $1
    DeleteRegValue HKCU "${RUN_KEY}" "Brimvale"
  ${EndIf}

  ; Only what the installer put there: files the user added (a language
  ; folder) keep the folder.
  Delete "$INSTDIR\brimvale.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Brimvale.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"

  ; The settings are the user's: kept unless asked (and always when silent).
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Remove your Brimvale settings too?$\r$\n(the folder %APPDATA%\Palvo\Brimvale)" /SD IDNO IDNO keep
    SetShellVarContext current
    RMDir /r "$APPDATA\Palvo\Brimvale"
    RMDir "$APPDATA\Palvo"
    SetShellVarContext all
  keep:
SectionEnd
