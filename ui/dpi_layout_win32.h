// A dialog made from a template, moved to another DPI where the system does
// not do it (per-monitor awareness before Windows 10 1703): the window takes
// the rectangle Windows suggests, each control its place and the dialog's
// font their size for the new DPI. Everything is scaled from the layout the
// dialog was made with, never from the last one, so no rounding piles up.
#pragma once

#include <windows.h>

#include <vector>

#include "base/dpi.h"

namespace k7::ui {

class CDpiLayout {
 public:
  CDpiLayout() = default;
  ~CDpiLayout();
  CDpiLayout(const CDpiLayout&) = delete;
  CDpiLayout& operator=(const CDpiLayout&) = delete;

  // Once the dialog's controls exist (WM_INITDIALOG): their places, the
  // dialog's font and its DPI.
  void Capture(HWND dialog);
  // WM_DPICHANGED: the new DPI and the rectangle Windows suggests. Returns
  // false when the dialog manager does the work itself (the message is then
  // left to it).
  bool OnDpiChanged(UINT dpi, const RECT& suggested);

 private:
  struct Control {
    HWND hwnd;
    PixelRect rect;  // in the dialog's client area, at the captured DPI
  };
  HWND m_hDialog = nullptr;
  int m_nDpi = kBaseDpi;
  std::vector<Control> m_controls;
  LOGFONTA m_font = {};
  bool m_bHasFont = false;
  // The font made for the current DPI, if any (the template's own belongs to
  // the dialog manager).
  HFONT m_hScaledFont = nullptr;
};

}  // namespace k7::ui
