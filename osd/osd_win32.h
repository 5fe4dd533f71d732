// The on-screen display: a borderless, topmost window in the top right corner
// of the primary screen that shows the caption of the action a remote button
// just triggered, for about a second. It runs modally on a thread of its own
// and never takes the activation or the keyboard focus, since keys are being
// injected into the foreground application at the same time.
#pragma once

#include <windows.h>

#include "osd/osd_layout.h"
#include "ui/dialog_win32.h"

namespace k7 {

// The display window once it exists; null before and after its run. The
// reader sends it WM_OSD_SHOW with the caption's text in lParam.
extern HWND g_hOsdWnd;

// Caption fonts the display has created and deleted since the process
// started; the difference is the fonts alive. (Fonts made only to measure a
// caption are gone before its show returns.)
struct OsdFontCounts {
  long created = 0;
  long deleted = 0;
};
OsdFontCounts GetOsdFontCounts();

class COsdWnd : public ui::CDialog {
 public:
  static constexpr UINT_PTR kHideTimer = 1000;
  static constexpr UINT kShowMs = 1000;

  // ready (may be null) is signalled once the window exists.
  explicit COsdWnd(HANDLE ready = nullptr) : m_hReady(ready) { StayHiddenOnFirstShow(); }

  // Lays the text out for a display of dpi dots per inch: the text control's
  // place, and the caption on screen fitted anew. On the display thread
  // (from a message of its own); initialisation calls it with the
  // window's own DPI.
  void RelayoutForDpi(int dpi);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  BOOL OnInitDialog() override;
  bool PreTranslateMessage(MSG& msg) override;

 private:
  // caption: kOsdTextLen bytes at most, read up to the first terminator.
  void OnShowCaption(const char* caption);
  void OnTimer(UINT_PTR id);
  void OnPaint();
  void OnDestroy();
  // SetWindowPos with the stored layout, topmost, never activating.
  void ApplyLayout(UINT flags) const;
  // The text control inside the stored layout, at m_dpi.
  void PlaceText() const;
  // m_caption fitted to the text control: its font replaced, its text set.
  void SetFittedCaption();

  HANDLE m_hReady;
  OsdLayout m_layout;
  HFONT m_hFont = nullptr;
  size_t m_nTextLen = 0;
  char m_caption[kOsdMaxTextLen + 1] = "";
  int m_dpi = 96;
  // The text control as the template places it, in pixels at 96 DPI.
  OsdRect m_textAt96;
};

// Body of the display thread: runs the window until it ends.
DWORD WINAPI OSDThread(LPVOID ready);

// Starts the display thread unless it already runs, and waits (at most
// waitMs) until its window exists; true when it does.
bool StartOsdThread(DWORD waitMs = 5000);

// Closes the display and waits (at most waitMs) until its thread has ended;
// true when it has or never ran. Before the process ends: a thread ended by
// the exit could be cut off in the middle of a paint.
bool StopOsdThread(DWORD waitMs = 5000);

}  // namespace k7
