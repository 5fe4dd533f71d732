; The Windows installer: per user, no elevation, so that the INI files beside
; the program stay writable. Built by scripts/release.sh, which passes
; VERSION, PUBLISHER, COPYRIGHT, SRCROOT, STAGE (the files to ship) and OUTFILE.
;
; A silent run that cannot finish changes nothing the system reports and
; exits with a code of its own: 3 a running copy that does not end or cannot
; be ended from here, 4 K7F3.exe cannot be replaced or removed, 5 the chosen
; folder holds other files (also in its K7F3 subfolder).
;
; A copy that runs when setup starts is ended first and, once setup has
; finished, started again from the installed folder, also by a silent run.
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
; Where Task Manager keeps a start it turned off: the Run value stays, and
; this binary value of the same name starts with 03 (02: on).
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; A name no other program's uninstaller has. Earlier installers wrote the
; generic "uninstall.exe": see RemoveOldNames.
!define UNINSTALLER "Uninstall K7F3.exe"
!define SYNCHRONIZE 0x00100000
!define ERROR_ACCESS_DENIED 5
!define ERROR_SHARING_VIOLATION 32
!define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
!define CHECKBOX_STYLE 0x50010003   ; WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_AUTOCHECKBOX

; How the running program is found and told to end, read from its own
; sources so that the installer cannot drift from them.
!searchparse /file "${SRCROOT}/app/tray_win32.h" 'constexpr char kProgramTitle[] = "' PROGRAM_TITLE '";'
!searchparse /file "${SRCROOT}/app/tray_menu.h" 'constexpr int ID_TRAY_EXIT = ' EXIT_COMMAND ';'
!searchparse /file "${SRCROOT}/app/single_instance_win32.h" 'constexpr char kSessionMutexName[] = "' MUTEX_IN_C '";'
!searchreplace MUTEX_NAME "${MUTEX_IN_C}" "\\" "\"
; The first release whose program takes switches, as GetDLLVersion gives
; major and minor (2.2). An older one ignores "/exit" (it would start, or
; end at once with 0), so it is told through its window as before.
!define SWITCHES_SINCE 0x00020002

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\K7F3"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"
; A file that cannot be written fails the install (Retry/Cancel), silently too.
AllowSkipFiles off

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}.0"
VIAddVersionKey FileDescription "${PRODUCT} ${VERSION} setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "${COPYRIGHT}"

Var OldDir        ; folder of the installed copy, "" when there is none
Var OldUninst     ; its Apps entry's UninstallString
Var StartState    ; "on", "off" or "off-tm" (turned off in Task Manager)
Var StartChoice   ; 1: Start with Windows ticked
Var StartBox      ; its check box on the folder page
Var KeepIni       ; 1: the uninstaller keeps the three INI files
Var KeepBox       ; its check box on the uninstaller's first page
Var Agreed        ; 1: the user agreed that the running copy is closed
Var WasRunning    ; the ended copy's K7F3.exe ("?" when not known), or ""
Var SwitchExe     ; an installed K7F3.exe that takes "/exit", or ""
Var FinishText

!define MUI_ICON "${SRCROOT}\res\icons\app.ico"
!define MUI_UNICON "${SRCROOT}\res\icons\app.ico"
; The remote as the editor draws it (res/tools/make_installer_art.py).
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SRCROOT}\installer\wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SRCROOT}\installer\wizard.bmp"
!define MUI_ABORTWARNING
!define MUI_ABORTWARNING_TEXT "Quit ${PRODUCT} setup? Nothing has been changed."
!define MUI_UNABORTWARNING
!define MUI_UNABORTWARNING_TEXT "Quit without uninstalling ${PRODUCT}? Nothing has been removed."

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} for your Windows account only. It needs no administrator rights and no restart.$\r$\n$\r$\nIf ${PRODUCT} is installed already, setup upgrades it and keeps your profiles and settings. If it is running, setup closes it and starts it again when it has finished.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_SHOW DirectoryShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_FINISHPAGE_RUN "$INSTDIR\K7F3.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\USER-GUIDE.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.ConfirmShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE un.ConfirmLeave
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_TEXT "$FinishText"
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

; Fails the run with the exit code given, after the user's Cancel or at once
; when silent, saying that nothing changed; a copy it ended runs again.
!macro FAIL un code
  Push ${code}
  Call ${un}Fail
!macroend

; Ends a running copy the way its tray menu's Exit does (through "/exit" when
; $SwitchExe names an installed program that takes it), and returns once its
; process has ended (its session mutex is gone, and the process handle, when
; the window gave one, is signalled). Never kills it: a copy that does not
; end, or that runs with more rights than we have (its mutex refuses us),
; leaves the choice to the user, or fails a silent run.
!macro END_PROGRAM un
Function ${un}Fail
  Exch $0
  ${If} ${FileExists} $WasRunning
    Exec '"$WasRunning"'
  ${EndIf}
  !if "${un}" == ""
    MessageBox MB_OK|MB_ICONINFORMATION "Setup has stopped. Nothing was changed." /SD IDOK
  !else
    MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} was not uninstalled. Nothing was removed." /SD IDOK
  !endif
  SetErrorLevel $0
  Quit
FunctionEnd

; Before the user's last click: a running copy will be ended (setup asks
; again in its section only when one started since).
Function ${un}AskToEnd
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX_NAME}") p .R0'
  ${If} $R0 P<> 0
    System::Call 'kernel32::CloseHandle(p R0)'
    !if "${un}" == ""
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${PRODUCT} is running and will be closed, then started again when setup has finished.$\r$\nChanges not yet saved in an open hotkey editor are lost." IDOK agreed
    !else
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${PRODUCT} is running and will be closed first.$\r$\nChanges not yet saved in an open hotkey editor are lost." IDOK agreed
    !endif
    !insertmacro FAIL "${un}" 3
agreed:
    StrCpy $Agreed 1
  ${EndIf}
FunctionEnd

; A check box below a control of the page shown, as wide as the control.
; Stack: the page's control id to go below, the box's text, its state (1
; ticked); returns the box.
Function ${un}AddCheckBox
  Exch $R2   ; state
  Exch
  Exch $R1   ; text
  Exch 2
  Exch $R0   ; id
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  FindWindow $R3 "#32770" "" $HWNDPARENT
  GetDlgItem $R4 $R3 $R0
  System::Call '*(i 0, i 0, i 0, i 10) p .R7'
  System::Call 'user32::MapDialogRect(p R3, p R7)'
  System::Call '*$R7(i, i, i, i .R6)'
  System::Call 'user32::GetWindowRect(p R4, p R7)'
  System::Call 'user32::MapWindowPoints(p 0, p R3, p R7, i 2)'
  System::Call '*$R7(i .R0, i, i .R4, i .R5)'
  System::Free $R7
  IntOp $R4 $R4 - $R0
  IntOp $R5 $R5 + $R6
  System::Call 'user32::CreateWindowExW(i 0, w "BUTTON", w R1, i ${CHECKBOX_STYLE}, i R0, i R5, i R4, i R6, p R3, p 0, p 0, p 0) p .R0'
  SendMessage $R3 ${WM_GETFONT} 0 0 $R4
  SendMessage $R0 ${WM_SETFONT} $R4 1
  SendMessage $R0 ${BM_SETCHECK} $R2 0
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Exch $R0
  Exch 2
  Pop $R1
  Pop $R2
FunctionEnd

; $SwitchExe becomes the K7F3.exe given on the stack when none was chosen
; yet and its version takes switches.
Function ${un}FindSwitchExe
  Exch $R0
  Push $R1
  Push $R2
  ${If} $SwitchExe == ""
  ${AndIf} ${FileExists} $R0
    ClearErrors
    GetDLLVersion $R0 $R1 $R2
    ${IfNot} ${Errors}
    ${AndIf} $R1 >= ${SWITCHES_SINCE}
      StrCpy $SwitchExe $R0
    ${EndIf}
  ${EndIf}
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

Function ${un}EndProgram
found:
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX_NAME}") p .R0 ?e'
  Pop $R1
  ${If} $R0 P= 0
    ${If} $R1 <> ${ERROR_ACCESS_DENIED}
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running with more rights than this setup (for example as administrator), so setup cannot end it. Close it first from its tray menu (Exit), then choose Retry." /SD IDCANCEL IDRETRY found
    !insertmacro FAIL "${un}" 3
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p R0)'
  ${If} $Agreed != 1
    !if "${un}" == ""
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${PRODUCT} is running and will be closed, then started again when setup has finished.$\r$\nChanges not yet saved in an open hotkey editor are lost." /SD IDOK IDOK ending
    !else
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${PRODUCT} is running and will be closed first.$\r$\nChanges not yet saved in an open hotkey editor are lost." /SD IDOK IDOK ending
    !endif
    !insertmacro FAIL "${un}" 3
  ${EndIf}
ending:
  StrCpy $WasRunning "?"
  ${If} $SwitchExe != ""
    ; The running copy's program, to start again should setup fail; then
    ; "/exit", which finds the copy by more than its title and returns once
    ; it has ended. The way below then finds the mutex gone and returns at
    ; once; should the copy still run (it has more rights, it is an older
    ; build after all, it did not answer), it is told as before.
    System::Call 'user32::FindWindowW(w "#32770", w "${PROGRAM_TITLE}") p .R1'
    ${If} $R1 P<> 0
      System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R4)'
      System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_LIMITED_INFORMATION}, i 0, i R4) p .R2'
      ${If} $R2 P<> 0
        System::Call 'kernel32::QueryFullProcessImageNameW(p R2, i 0, w .R4, *i ${NSIS_MAX_STRLEN}) i .R6'
        ${GetFileName} $R4 $R3
        ${If} $R6 <> 0
        ${AndIf} $R3 == "K7F3.exe"
          StrCpy $WasRunning $R4
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p R2)'
      ${EndIf}
    ${EndIf}
    DetailPrint "Closing ${PRODUCT} and waiting for it to end..."
    ExecWait '"$SwitchExe" /exit'
  ${EndIf}
  DetailPrint "Closing ${PRODUCT} and waiting for it to end (at most 30 seconds)..."
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
    ; A dialog: a folder of that name open in Explorer is not the program.
    System::Call 'user32::FindWindowW(w "#32770", w "${PROGRAM_TITLE}") p .R1'
    ${If} $R1 P<> 0
    ${AndIf} $R1 P<> $R5
      StrCpy $R5 $R1
      ${If} $R2 P= 0
        System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R4)'
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}|${PROCESS_QUERY_LIMITED_INFORMATION}, i 0, i R4) p .R2'
        ${If} $R2 P<> 0
          System::Call 'kernel32::QueryFullProcessImageNameW(p R2, i 0, w .R4, *i ${NSIS_MAX_STRLEN}) i .R6'
          ${If} $R6 <> 0
            StrCpy $WasRunning $R4
          ${EndIf}
        ${EndIf}
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
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} has not ended. Close it from its tray menu, then choose Retry." /SD IDCANCEL IDRETRY retry
  !insertmacro FAIL "${un}" 3
FunctionEnd

; Fails the run unless the file given on the stack is missing or can be
; opened with the access given (GENERIC_READ, before the program is told to
; end: a file held by a scanner then leaves the program running; GENERIC_WRITE
; and DELETE once it has ended).
Function ${un}RequireFree
  Exch $R6   ; access
  Exch
  Exch $R7   ; path
  Push $R8
  Push $R9
again:
  ${If} ${FileExists} $R7
    System::Call 'kernel32::CreateFileW(w R7, i R6, i 7, p 0, i 3, i 0, p 0) p .R8 ?e'
    Pop $R9
    ${If} $R8 P= -1
      ${If} $R9 = ${ERROR_SHARING_VIOLATION}
        StrCpy $R9 "another program has it open (a virus scanner, or a copy of ${PRODUCT} that setup cannot see)"
      ${ElseIf} $R9 = ${ERROR_ACCESS_DENIED}
        StrCpy $R9 "access is denied"
      ${Else}
        StrCpy $R9 "Windows error $R9"
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Setup cannot change $R7: $R9.$\r$\nClose the program that holds it, then choose Retry. Cancel leaves everything as it was." /SD IDCANCEL IDRETRY again
      !insertmacro FAIL "${un}" 4
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R8)'
  ${EndIf}
  Pop $R9
  Pop $R8
  Pop $R7
  Pop $R6
FunctionEnd

!macroend
!insertmacro END_PROGRAM ""
!insertmacro END_PROGRAM "un."

; The Run value's state: "on", "off", or "off-tm" when Task Manager turned
; it off.
Function ReadStartState
  StrCpy $StartState "off"
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 != ""
    StrCpy $StartState "on"
    System::Call '*(&i64) p .r1'
    System::Call 'advapi32::RegGetValueW(p 0x80000001, w "${APPROVED_KEY}", w "${RUN_VALUE}", i 8, p 0, p r1, *i 64) i .r2'
    ${If} $2 = 0
      System::Call '*$1(&i1 .r2)'
      ${If} $2 = 3
        StrCpy $StartState "off-tm"
      ${EndIf}
    ${EndIf}
    System::Free $1
  ${EndIf}
FunctionEnd
!macro REQUIRE_FREE un path access
  Push "${path}"
  Push ${access}
  Call ${un}RequireFree
!macroend
!define GENERIC_READ 0x80000000
!define WRITE_AND_DELETE 0x40010000   ; GENERIC_WRITE | DELETE

; Empty (or missing), or holding nothing but the INI files an uninstall
; left: a folder setup may install into. Sets $R0 to 1 when so.
Function FolderIsFree
  Exch $R1
  Push $R2
  Push $R3
  StrCpy $R0 1
  FindFirst $R2 $R3 "$R1\*"
  ${DoWhile} $R3 != ""
    ${If} $R3 != "."
    ${AndIf} $R3 != ".."
    ${AndIf} $R3 != "QVCtrl.ini"
    ${AndIf} $R3 != "UserDef.ini"
    ${AndIf} $R3 != "UserDefInf.ini"
      StrCpy $R0 0
    ${EndIf}
    FindNext $R2 $R3
  ${Loop}
  FindClose $R2
  Pop $R3
  Pop $R2
  Pop $R1
FunctionEnd

; Setup writes only into a folder of its own: one that holds K7F3.exe (an
; earlier install or an unpacked portable copy, upgraded in place) or
; nothing else. Any other folder gets a K7F3 folder of its own inside.
; $R0: "" when $INSTDIR is usable as it is, "sub" when $INSTDIR\K7F3 was
; taken instead, "no" when neither is.
Function ChooseFolder
  StrCpy $R0 ""
  ${IfNot} ${FileExists} "$INSTDIR\K7F3.exe"
    Push $INSTDIR
    Call FolderIsFree
    ${If} $R0 = 1
      StrCpy $R0 ""
    ${ElseIf} ${FileExists} "$INSTDIR\K7F3\K7F3.exe"
      StrCpy $INSTDIR "$INSTDIR\K7F3"
      StrCpy $R0 "sub"
    ${Else}
      Push "$INSTDIR\K7F3"
      Call FolderIsFree
      ${If} $R0 = 1
        StrCpy $INSTDIR "$INSTDIR\K7F3"
        StrCpy $R0 "sub"
      ${Else}
        StrCpy $R0 "no"
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

; Moves a control of the folder page up by $R1 pixels, or when $R2 is 1
; makes it that much less tall. Changes $R5 to $R8.
Function LiftControl
  Exch $R0   ; control id
  Push $R3
  Push $R4
  FindWindow $R3 "#32770" "" $HWNDPARENT
  GetDlgItem $R4 $R3 $R0
  System::Call '*(i 0, i 0, i 0, i 0) p .R0'
  System::Call 'user32::GetWindowRect(p R4, p R0)'
  System::Call 'user32::MapWindowPoints(p 0, p R3, p R0, i 2)'
  System::Call '*$R0(i .R5, i .R6, i .R7, i .R8)'
  System::Free $R0
  IntOp $R7 $R7 - $R5
  IntOp $R8 $R8 - $R6
  ${If} $R2 = 1
    IntOp $R8 $R8 - $R1
  ${Else}
    IntOp $R6 $R6 - $R1
  ${EndIf}
  System::Call 'user32::SetWindowPos(p R4, p 0, i R5, i R6, i R7, i R8, i 0x14)'   ; SWP_NOZORDER|SWP_NOACTIVATE
  Pop $R4
  Pop $R3
  Pop $R0
FunctionEnd

; Start with Windows, on the folder page below the folder's box, which moves
; up into the room the page's text leaves: the choice applied once the
; program is in place.
Function DirectoryShow
  FindWindow $R0 "#32770" "" $HWNDPARENT
  System::Call '*(i 0, i 0, i 0, i 14) p .R1'
  System::Call 'user32::MapDialogRect(p R0, p R1)'
  System::Call '*$R1(i, i, i, i .R2)'
  System::Free $R1
  StrCpy $R1 $R2
  StrCpy $R2 1
  Push 1006   ; the text
  Call LiftControl
  StrCpy $R2 0
  Push 1020   ; the folder's box, its field and button
  Call LiftControl
  Push 1019
  Call LiftControl
  Push 1001
  Call LiftControl
  Push 1020   ; below the folder's box
  Push "Start ${PRODUCT} with &Windows"
  Push $StartChoice
  Call AddCheckBox
  Pop $StartBox
FunctionEnd

Function DirectoryLeave
  SendMessage $StartBox ${BM_GETCHECK} 0 0 $StartChoice
  StrCpy $R9 $INSTDIR
  Call ChooseFolder
  ${If} $R0 == "no"
    StrCpy $INSTDIR $R9
    MessageBox MB_OK|MB_ICONEXCLAMATION "$R9 holds other files, and so does its K7F3 folder. Choose an empty folder, or the folder of an installed or unpacked ${PRODUCT}."
    Abort
  ${ElseIf} $R0 == "sub"
    ${If} ${Cmd} `MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$R9 holds other files, so ${PRODUCT} goes into a folder of its own in it:$\r$\n$INSTDIR" IDCANCEL`
      StrCpy $INSTDIR $R9
      Abort
    ${EndIf}
  ${EndIf}
  ; The program's INI paths are ANSI: a name the system's code page cannot
  ; hold round-trips into another name.
  System::Call 'kernel32::WideCharToMultiByte(i 0, i 0, w "$INSTDIR", i -1, m .R1, i ${NSIS_MAX_STRLEN}, p 0, p 0) i .R2'
  ${If} $R2 <> 0
  ${AndIf} $R1 S!= $INSTDIR
    ${If} ${Cmd} `MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "The folder's name has characters that this system's language settings cannot represent:$\r$\n$INSTDIR$\r$\n${PRODUCT} then works through the folder's short name, where Windows keeps one; where it does not, the program cannot start. A folder such as C:\K7F3 always works.$\r$\nInstall here anyway?" IDCANCEL`
      StrCpy $INSTDIR $R9
      Abort
    ${EndIf}
  ${EndIf}
  Call AskToEnd
FunctionEnd

; A copy that setup restarted needs no "Start now": the guide's box takes
; its place.
Function FinishShow
  ${If} $WasRunning != ""
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    System::Call '*(i 0, i 0, i 0, i 0) p .r0'
    System::Call 'user32::GetWindowRect(p $mui.FinishPage.Run, p r0)'
    System::Call 'user32::MapWindowPoints(p 0, p $mui.FinishPage, p r0, i 2)'
    System::Call '*$0(i .r1, i .r2)'
    System::Free $0
    System::Call 'user32::SetWindowPos(p $mui.FinishPage.ShowReadme, p 0, i r1, i r2, i 0, i 0, i 0x15)'   ; SWP_NOSIZE|SWP_NOZORDER|SWP_NOACTIVATE
  ${EndIf}
FunctionEnd

; Files of ours that releases used to install under another name: removed
; from a folder only when the Apps entry says our setup put them there.
Function RemoveOldNames
  Exch $R1
  ${If} $OldUninst == '"$R1\uninstall.exe"'
    Delete "$R1\uninstall.exe"
  ${EndIf}
  Pop $R1
FunctionEnd

!macro MOVE_INI name
  ${If} ${FileExists} "$R8\${name}"
    ClearErrors
    CopyFiles /SILENT "$R8\${name}" "$INSTDIR"
    ${IfNot} ${Errors}
      Delete "$R8\${name}"
    ${EndIf}
  ${EndIf}
!macroend

Section "-${PRODUCT}"
  SetShellVarContext current
  Call ChooseFolder
  ${If} $R0 == "no"
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR holds other files, and so does its K7F3 folder." /SD IDOK
    !insertmacro FAIL "" 5
  ${EndIf}
  ; An installed copy elsewhere is moved here below. The same folder may be
  ; spelled another way: compare the short forms of two folders that exist.
  StrCpy $R8 $OldDir
  ${If} $OldDir == $INSTDIR
    StrCpy $R8 ""
  ${ElseIf} $OldDir != ""
  ${AndIf} ${FileExists} "$INSTDIR\*"
    GetFullPathName /SHORT $R6 $INSTDIR
    GetFullPathName /SHORT $R7 $OldDir
    ${If} $R6 == $R7
      StrCpy $R8 ""
    ${EndIf}
  ${EndIf}

  !insertmacro REQUIRE_FREE "" "$INSTDIR\K7F3.exe" ${GENERIC_READ}
  ${If} $R8 != ""
    !insertmacro REQUIRE_FREE "" "$R8\K7F3.exe" ${GENERIC_READ}
  ${EndIf}
  Push "$INSTDIR\K7F3.exe"
  Call FindSwitchExe
  ${If} $R8 != ""
    Push "$R8\K7F3.exe"
    Call FindSwitchExe
  ${EndIf}
  Call EndProgram
  !insertmacro REQUIRE_FREE "" "$INSTDIR\K7F3.exe" ${WRITE_AND_DELETE}
  ${If} $R8 != ""
    !insertmacro REQUIRE_FREE "" "$R8\K7F3.exe" ${WRITE_AND_DELETE}
  ${EndIf}

  SetOutPath "$INSTDIR"
  ; The INI files are the user's: never shipped, never overwritten.
  File "${STAGE}\K7F3.exe"
  File "${STAGE}\USER-GUIDE.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  Push $INSTDIR
  Call RemoveOldNames

  ; One installed copy: the one in the old folder goes, its profiles come
  ; along unless this folder has profiles of its own.
  ${If} $R8 != ""
    ${IfNot} ${FileExists} "$INSTDIR\QVCtrl.ini"
    ${AndIfNot} ${FileExists} "$INSTDIR\UserDef.ini"
    ${AndIfNot} ${FileExists} "$INSTDIR\UserDefInf.ini"
      !insertmacro MOVE_INI QVCtrl.ini
      !insertmacro MOVE_INI UserDef.ini
      !insertmacro MOVE_INI UserDefInf.ini
    ${EndIf}
    Delete "$R8\K7F3.exe"
    Delete "$R8\USER-GUIDE.txt"
    Delete "$R8\${UNINSTALLER}"
    Push $R8
    Call RemoveOldNames
    RMDir "$R8"
  ${EndIf}

  CreateShortCut "${SHORTCUT}" "$INSTDIR\K7F3.exe"
  ; Start with Windows as chosen; a start Task Manager turned off stays off
  ; (its Run value stays for Task Manager to list) unless ticked again.
  ${If} $StartChoice = ${BST_CHECKED}
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\K7F3.exe"'
    ${If} $StartState != "on"
      DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
    ${EndIf}
  ${ElseIf} $StartState == "off-tm"
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\K7F3.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\K7F3.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" "$0"

  StrCpy $FinishText "${PRODUCT} ${VERSION} is installed."
  ${If} $WasRunning != ""
    DetailPrint "Starting ${PRODUCT} again"
    Exec '"$INSTDIR\K7F3.exe"'
    StrCpy $FinishText "${PRODUCT} ${VERSION} is installed and running again."
  ${EndIf}
  StrCpy $FinishText "$FinishText$\r$\n$\r$\nIt has no window of its own: it lives in the notification area, next to the clock, as a small remote control (Windows may first put it behind the arrow there). Double-click it for the settings, right-click it for its menu."
SectionEnd

; An upgrade shows, and a silent one keeps, the current Start with Windows
; choice; a first install starts with it ticked.
Function .onInit
  ReadRegStr $OldDir HKCU "${UNINST_KEY}" "InstallLocation"
  ReadRegStr $OldUninst HKCU "${UNINST_KEY}" "UninstallString"
  ${If} $OldDir == ""
  ${OrIfNot} ${FileExists} "$OldDir\K7F3.exe"
    StrCpy $OldDir ""
  ${EndIf}
  Call ReadStartState
  StrCpy $StartChoice ${BST_CHECKED}
  ${If} $OldDir != ""
  ${AndIf} $StartState != "on"
    StrCpy $StartChoice ${BST_UNCHECKED}
  ${EndIf}
FunctionEnd

; The user's files stay unless the user asks, on the first page, to remove
; them; a silent uninstall keeps them.
Function un.onInit
  StrCpy $KeepIni ${BST_CHECKED}
FunctionEnd

Function un.ConfirmShow
  ${If} ${FileExists} "$INSTDIR\QVCtrl.ini"
  ${OrIf} ${FileExists} "$INSTDIR\UserDef.ini"
  ${OrIf} ${FileExists} "$INSTDIR\UserDefInf.ini"
    Push 1000   ; below the folder
    Push "&Keep your profiles and settings (the three INI files)"
    Push $KeepIni
    Call un.AddCheckBox
    Pop $KeepBox
  ${EndIf}
FunctionEnd

Function un.ConfirmLeave
  ${If} $KeepBox P<> 0
    SendMessage $KeepBox ${BM_GETCHECK} 0 0 $KeepIni
  ${EndIf}
  Call un.AskToEnd
FunctionEnd

; Removes what setup installed, by name, and only once K7F3.exe is gone;
; the Apps entry, Run value and shortcut only when they are this copy's.
Section "Uninstall"
  SetShellVarContext current
  !insertmacro REQUIRE_FREE "un." "$INSTDIR\K7F3.exe" ${GENERIC_READ}
  Push "$INSTDIR\K7F3.exe"
  Call un.FindSwitchExe
  Call un.EndProgram
removing:
  !insertmacro REQUIRE_FREE "un." "$INSTDIR\K7F3.exe" ${WRITE_AND_DELETE}
  ClearErrors
  Delete "$INSTDIR\K7F3.exe"
  ${If} ${Errors}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$INSTDIR\K7F3.exe cannot be removed. Close the program that holds it, then choose Retry." /SD IDCANCEL IDRETRY removing
    !insertmacro FAIL "un." 4
  ${EndIf}
  Delete "$INSTDIR\USER-GUIDE.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    GetFullPathName /SHORT $0 $0
    GetFullPathName /SHORT $1 $INSTDIR
    ${If} $0 == $1
      StrCpy $0 $INSTDIR
    ${EndIf}
  ${EndIf}
  ${If} $0 == $INSTDIR
    Delete "${SHORTCUT}"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKCU "${UNINST_KEY}"
  ${EndIf}
  ${If} $KeepIni = ${BST_UNCHECKED}
    Delete "$INSTDIR\QVCtrl.ini"
    Delete "$INSTDIR\UserDef.ini"
    Delete "$INSTDIR\UserDefInf.ini"
  ${EndIf}
  ; Only when empty: whatever else the user put there stays.
  RMDir "$INSTDIR"

  StrCpy $FinishText "${PRODUCT} has been removed."
  ${If} ${FileExists} "$INSTDIR\QVCtrl.ini"
  ${OrIf} ${FileExists} "$INSTDIR\UserDef.ini"
  ${OrIf} ${FileExists} "$INSTDIR\UserDefInf.ini"
    StrCpy $FinishText "$FinishText$\r$\n$\r$\nYour profiles and settings (QVCtrl.ini, UserDef.ini and UserDefInf.ini) were kept in:$\r$\n$INSTDIR$\r$\nInstall ${PRODUCT} into this folder again to use them, or delete the folder."
  ${ElseIf} ${FileExists} "$INSTDIR\*"
    StrCpy $FinishText "$FinishText$\r$\n$\r$\nThe folder $INSTDIR stays: it holds files that setup did not install."
  ${EndIf}
SectionEnd
