; The Windows installer: per user, no elevation, so that the INI files beside
; the program stay writable. Built by scripts/release.sh, which passes
; VERSION, PUBLISHER, COPYRIGHT, SRCROOT, STAGE (the files to ship) and OUTFILE.
Unicode true
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!ifdef VERSION & PUBLISHER & COPYRIGHT & SRCROOT & STAGE & OUTFILE
!else
  !error "build the installer with scripts/release.sh"
!endif

!define PRODUCT "Quorvan K7F3"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\K7F3"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Quorvan K7F3"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define SYNCHRONIZE 0x00100000

; How the running program is found and told to end, read from its own
; sources so that the installer cannot drift from them.
!searchparse /file "${SRCROOT}/app/tray_win32.h" 'constexpr char kProgramTitle[] = "' PROGRAM_TITLE '";'
!searchparse /file "${SRCROOT}/app/tray_menu.h" 'constexpr int ID_TRAY_EXIT = ' EXIT_COMMAND ';'
!searchparse /file "${SRCROOT}/app/main_win32.cpp" 'CreateMutexA(nullptr, TRUE, "' MUTEX_IN_C '");'
!searchreplace MUTEX_NAME "${MUTEX_IN_C}" "\\" "\"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\K7F3"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}.0"
VIAddVersionKey FileDescription "${PRODUCT} ${VERSION} setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "${COPYRIGHT}"

!define MUI_ICON "${SRCROOT}\res\icons\app.ico"
!define MUI_UNICON "${SRCROOT}\res\icons\app.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\K7F3.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\USER-GUIDE.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends a running copy the way its tray menu's Exit does, and returns once its
; process has ended (its session mutex is gone, and the process handle, when
; the window gave one, is signalled). Never kills it: a copy that does not
; end leaves the choice to the user, or fails a silent run with error 3.
!macro END_PROGRAM un
Function ${un}EndProgram
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX_NAME}") p .R0'
  ${If} $R0 P= 0
    Return
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p R0)'
  MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${PRODUCT} is running and will be closed first, as its tray menu's Exit does.$\r$\nChanges not yet saved in an open hotkey editor are lost." /SD IDOK IDOK ending
  Quit
ending:
  StrCpy $R2 0   ; process handle
  StrCpy $R5 0   ; window last told to exit
retry:
  StrCpy $R3 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX_NAME}") p .R0'
    ${If} $R0 P= 0
      ${If} $R2 P= 0
        Return
      ${EndIf}
      System::Call 'kernel32::WaitForSingleObject(p R2, i 0) i .R4'
      ${If} $R4 = 0
        System::Call 'kernel32::CloseHandle(p R2)'
        Return
      ${EndIf}
    ${Else}
      System::Call 'kernel32::CloseHandle(p R0)'
    ${EndIf}
    System::Call 'user32::FindWindowW(p 0, w "${PROGRAM_TITLE}") p .R1'
    ${If} $R1 P<> 0
    ${AndIf} $R1 P<> $R5
      StrCpy $R5 $R1
      ${If} $R2 P= 0
        System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R4)'
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R4) p .R2'
      ${EndIf}
      System::Call 'user32::PostMessageW(p R1, i ${WM_COMMAND}, p ${EXIT_COMMAND}, p 0)'
    ${EndIf}
    ${If} $R2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p R2, i 100)'
    ${Else}
      Sleep 100
    ${EndIf}
    IntOp $R3 $R3 + 1
  ${LoopUntil} $R3 >= 300
  ${If} ${Silent}
    SetErrorLevel 3
    Quit
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} has not ended. Close it from its tray menu, then choose Retry." IDRETRY retry
  Quit
FunctionEnd
!macroend
!insertmacro END_PROGRAM ""
!insertmacro END_PROGRAM "un."

Section "-${PRODUCT}"
  SetShellVarContext current
  Call EndProgram
  SetOutPath "$INSTDIR"
  ; The INI files are the user's: never shipped, never touched here.
  File "${STAGE}\K7F3.exe"
  File "${STAGE}\USER-GUIDE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\K7F3.exe"
  ; The option below writes it again when it stays ticked.
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\K7F3.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Start with Windows"
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\K7F3.exe"'
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.EndProgram
  Delete "$INSTDIR\K7F3.exe"
  Delete "$INSTDIR\USER-GUIDE.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKCU "${UNINST_KEY}"
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove your settings too (QVCtrl.ini, UserDef.ini and UserDefInf.ini in $INSTDIR)?" /SD IDNO IDNO keep
  Delete "$INSTDIR\QVCtrl.ini"
  Delete "$INSTDIR\UserDef.ini"
  Delete "$INSTDIR\UserDefInf.ini"
keep:
  ; Only when empty: whatever else the user put there stays.
  RMDir "$INSTDIR"
SectionEnd
