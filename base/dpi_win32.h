// The display scale as Windows gives it to a window. The calls that tell a
// window's own DPI came after Windows 7 (8.1, 10 1607): they are looked up
// when first needed, never imported, so the program still starts on 7, which
// has one DPI for the whole session, read from the screen.
#pragma once

#include <windows.h>

namespace k7 {

// The DPI the window is drawn for: its monitor's with per-monitor awareness
// (8.1 and later), else the session's.
UINT DpiOfWindow(HWND hwnd);
// The session's DPI, fixed for the process's lifetime: the notification
// area's icons are drawn for it.
UINT SystemDpi();
// GetSystemMetrics(index) as it reads at dpi.
int MetricForDpi(int index, UINT dpi);
// Tells the dialog manager to leave a DPI change of this dialog to the
// dialog (per-monitor v2 rescales dialogs itself, Windows 10 1703 and later;
// no other version does), so that the same code rescales it everywhere and
// nothing is scaled twice.
void LeaveDpiChangesToDialog(HWND dialog);
// An icon resource at the small (16 px at 96 DPI) or large (32 px) size for
// dpi, so the image drawn for that size is chosen rather than one stretched.
// The caller owns it (DestroyIcon).
HICON LoadIconForDpi(HINSTANCE instance, int iconId, bool small, UINT dpi);

}  // namespace k7
