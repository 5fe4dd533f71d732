#include "receiver/notice_win32.h"

#include "res/resource.h"

namespace k7 {

INT_PTR CALLBACK DeviceMissingDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      SetTimer(hwnd, IDT_AUTOCLOSE, 3000, nullptr);
      return FALSE;
    case WM_TIMER:
      if (wp == IDT_AUTOCLOSE) {
        KillTimer(hwnd, IDT_AUTOCLOSE);
        EndDialog(hwnd, IDT_AUTOCLOSE);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void ShowReceiverMissingNotice(HINSTANCE instance) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_NODEVICE), nullptr, DeviceMissingDlgProc, 0);
}

}  // namespace k7
