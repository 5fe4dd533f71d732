// The program's entry: one copy at a time, the main window for the whole run.
#include <windows.h>
#include <commctrl.h>

#include "app/main_dlg_win32.h"
#include "app/single_instance_win32.h"
#include "app/switches_win32.h"

#ifndef K7_RECEIVER_KIND
#define K7_RECEIVER_KIND kHid
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // A start with a switch only tells the running copy what to do: it never
  // becomes one, and its exit code is the answer.
  const k7::Switch command = k7::ParseSwitch(commandLine);
  if (command != k7::Switch::kNone) return k7::RunSwitch(command);
  // Before anything else, one copy per session: copies started together at logon
  // (a Run value and a Startup shortcut) cannot see each other's window yet.
  // The mutex stays ours until the process ends; a copy that finds it taken,
  // or cannot make it, ends silently.
  HANDLE single = CreateMutexA(nullptr, TRUE, k7::kSessionMutexName);
  if (single == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  // A running copy is known by its (hidden) main window: end silently. Any
  // other window with that title does not count.
  if (k7::FindRunningCopy(k7::kProgramTitle) != nullptr) return 0;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&icc);
  k7::CMainDlg dialog(k7::ReceiverKind::K7_RECEIVER_KIND);
  dialog.Run(instance);
  return 0;
}
