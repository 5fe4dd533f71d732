// A dialog made from a template, moved to another DPI: the window takes the
// rectangle Windows suggests, each control its place and the dialog's font
// its size for the new DPI. Everything is scaled from the layout the dialog
// was made with, never from the last one, so no rounding piles up. The
// dialog manager's own rescale (per-monitor v2 only) is turned off: one way
// on every Windows, and a dialog that places some controls itself re-places
// them after this, without the system scaling them once more.
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
  // WM_DPICHANGED: the new DPI and the rectangle Windows suggests.
  void OnDpiChanged(UINT dpi, const RECT& suggested);

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
