// The program's entry: one copy at a time, the main window for the whole run.
#include <windows.h>
#include <commctrl.h>

#include "app/main_dlg_win32.h"
#include "app/single_instance_win32.h"

#ifndef K7_RECEIVER_KIND
#define K7_RECEIVER_KIND kHid
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // First of all, one copy per session: copies started together at logon
  // (a Run value and a Startup shortcut) cannot see each other's window yet.
  // The mutex stays ours until the process ends; a copy that finds it taken,
  // or cannot make it, ends silently.
  HANDLE single = CreateMutexA(nullptr, TRUE, "Local\\Quorvan-K7F3-running");
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
