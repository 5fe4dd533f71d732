// The receiver-missing notice: a small window that closes itself.
#pragma once

#include <windows.h>

namespace k7 {

INT_PTR CALLBACK DeviceMissingDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Runs the notice modally (no owner, so the main window's timers and tray
// callbacks go on being handled) until it closes after three seconds.
void ShowReceiverMissingNotice(HINSTANCE instance);

}  // namespace k7
