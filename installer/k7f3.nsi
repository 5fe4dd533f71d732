; The Windows installer: per user, no elevation, so that the INI files beside
; the program stay writable. Built by scripts/release.sh, which passes
; VERSION, PUBLISHER, COPYRIGHT, SRCROOT, STAGE (the files to ship) and OUTFILE.
;
; A silent run that cannot finish changes nothing the system reports and
; exits with a code of its own: 3 a running copy that does not end or cannot
; be ended from here, 4 K7F3.exe cannot be replaced or removed, 5 the chosen
; folder holds other files (also in its K7F3 subfolder).
Unicode true
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
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
; A file that cannot be written fails the install (Retry/Cancel), silently too.
AllowSkipFiles off

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
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var OldDir        ; folder of the installed copy, "" when there is none
Var OldUninst     ; its Apps entry's UninstallString
Var StartState    ; "on", "off" or "off-tm" (turned off in Task Manager)

; Fails the run, after the user's Cancel or at once when silent, with the
; exit code given.
!macro FAIL code
  SetErrorLevel ${code}
  Quit
!macroend

; Ends a running copy the way its tray menu's Exit does, and returns once its
; process has ended (its session mutex is gone, and the process handle, when
; the window gave one, is signalled). Never kills it: a copy that does not
; end, or that runs with more rights than we have (its mutex refuses us),
; leaves the choice to the user, or fails a silent run.
!macro END_PROGRAM un
Function ${un}EndProgram
found:
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX_NAME}") p .R0 ?e'
  Pop $R1
  ${If} $R0 P= 0
    ${If} $R1 <> ${ERROR_ACCESS_DENIED}
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running with more rights than this setup (for example as administrator), so setup cannot end it. Close it first from its tray menu (Exit), then choose Retry." /SD IDCANCEL IDRETRY found
    !insertmacro FAIL 3
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
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} has not ended. Close it from its tray menu, then choose Retry." /SD IDCANCEL IDRETRY retry
  !insertmacro FAIL 3
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
      !insertmacro FAIL 4
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

Function DirectoryLeave
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

Section "Start with Windows" SEC_RUN
  ; Applied by the main section, once the program is in place.
SectionEnd

Section "-${PRODUCT}"
  SetShellVarContext current
  Call ChooseFolder
  ${If} $R0 == "no"
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR holds other files, and so does its K7F3 folder." /SD IDOK
    !insertmacro FAIL 5
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
  ${If} ${SectionIsSelected} ${SEC_RUN}
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
  ${If} $OldDir != ""
  ${AndIf} $StartState != "on"
    !insertmacro UnselectSection ${SEC_RUN}
  ${EndIf}
FunctionEnd

; Removes what setup installed, by name, and only once K7F3.exe is gone;
; the Apps entry, Run value and shortcut only when they are this copy's.
Section "Uninstall"
  SetShellVarContext current
  !insertmacro REQUIRE_FREE "un." "$INSTDIR\K7F3.exe" ${GENERIC_READ}
  Call un.EndProgram
removing:
  !insertmacro REQUIRE_FREE "un." "$INSTDIR\K7F3.exe" ${WRITE_AND_DELETE}
  ClearErrors
  Delete "$INSTDIR\K7F3.exe"
  ${If} ${Errors}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$INSTDIR\K7F3.exe cannot be removed. Close the program that holds it, then choose Retry." /SD IDCANCEL IDRETRY removing
    !insertmacro FAIL 4
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
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove your settings too (QVCtrl.ini, UserDef.ini and UserDefInf.ini in $INSTDIR)?" /SD IDNO IDNO keep
  Delete "$INSTDIR\QVCtrl.ini"
  Delete "$INSTDIR\UserDef.ini"
  Delete "$INSTDIR\UserDefInf.ini"
keep:
  ; Only when empty: whatever else the user put there stays.
  RMDir "$INSTDIR"
SectionEnd
