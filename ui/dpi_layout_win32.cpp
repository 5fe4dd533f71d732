#include "ui/dpi_layout_win32.h"

#include "base/dpi_win32.h"

namespace k7::ui {

CDpiLayout::~CDpiLayout() {
  if (m_hScaledFont != nullptr) DeleteObject(m_hScaledFont);
}

void CDpiLayout::Capture(HWND dialog) {
  m_hDialog = dialog;
  LeaveDpiChangesToDialog(dialog);
  m_nDpi = static_cast<int>(DpiOfWindow(dialog));
  m_controls.clear();
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    // A combo box's height counts its list; its window rectangle does not.
    char kind[16] = "";
    GetClassNameA(child, kind, sizeof kind);
    RECT list;
    if (lstrcmpiA(kind, "ComboBox") == 0 &&
        SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list)) &&
        list.bottom > r.bottom) {
      r.bottom = list.bottom;
    }
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    m_controls.push_back({child, {r.left, r.top, r.right, r.bottom}});
  }
  const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  m_bHasFont = font != nullptr && GetObjectA(font, sizeof m_font, &m_font) == sizeof m_font;
}

void CDpiLayout::OnDpiChanged(UINT dpi, const RECT& suggested) {
  if (m_hDialog == nullptr) return;
  const int to = static_cast<int>(dpi);
  SetWindowPos(m_hDialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  HFONT font = nullptr;
  if (m_bHasFont) {
    LOGFONTA scaled = m_font;
    scaled.lfHeight = ScaleToDpi(m_font.lfHeight, m_nDpi, to);
    scaled.lfWidth = ScaleToDpi(m_font.lfWidth, m_nDpi, to);
    font = CreateFontIndirectA(&scaled);
  }
  HDWP moves = BeginDeferWindowPos(static_cast<int>(m_controls.size()));
  for (const Control& c : m_controls) {
    const PixelRect r = ScaleToDpi(c.rect, m_nDpi, to);
    if (font != nullptr) SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (moves != nullptr) {
      moves = DeferWindowPos(moves, c.hwnd, nullptr, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (moves != nullptr) EndDeferWindowPos(moves);
  if (font != nullptr) {
    if (m_hScaledFont != nullptr) DeleteObject(m_hScaledFont);
    m_hScaledFont = font;
  }
  InvalidateRect(m_hDialog, nullptr, TRUE);
}

}  // namespace k7::ui
