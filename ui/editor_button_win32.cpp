#include "ui/editor_button_win32.h"

#include <initializer_list>

namespace k7 {

bool CBitmapButton::Create(HWND parent, const RECT& rect, int id, HINSTANCE instance) {
  instance_ = instance;
  hwnd_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect.left,
                          rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  return hwnd_ != nullptr;
}

void CBitmapButton::LoadBitmaps(int normal, int pressed, int focused, int disabled) {
  Release();
  ids_[0] = normal;
  ids_[1] = pressed;
  ids_[2] = focused;
  ids_[3] = disabled;
  auto load = [this](int id) { return LoadBitmapA(instance_, MAKEINTRESOURCEA(id + offset_)); };
  normal_ = load(normal);
  pressed_ = load(pressed);
  focused_ = load(focused);
  disabled_ = load(disabled);
}

void CBitmapButton::SetBitmapOffset(int offset) {
  offset_ = offset;
  if (normal_ != nullptr || pressed_ != nullptr) LoadBitmaps(ids_[0], ids_[1], ids_[2], ids_[3]);
}

void CBitmapButton::Release() {
  for (HBITMAP* b : {&normal_, &pressed_, &focused_, &disabled_}) {
    if (*b != nullptr) DeleteObject(*b);
    *b = nullptr;
  }
}

void CBitmapButton::Draw(const DRAWITEMSTRUCT& item) const {
  HBITMAP image = normal_;
  if (item.itemState & ODS_SELECTED) {
    image = pressed_;
  } else if (item.itemState & ODS_FOCUS) {
    image = focused_;
  } else if (item.itemState & ODS_DISABLED) {
    image = disabled_;
  }
  const RECT& r = item.rcItem;
  if (image == nullptr) {
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  BITMAP bm = {};
  GetObjectA(image, sizeof bm, &bm);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  HDC memory = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(memory, image);
  if (bm.bmWidth == w && bm.bmHeight == h) {
    BitBlt(item.hDC, r.left, r.top, w, h, memory, 0, 0, SRCCOPY);
  } else {
    const int mode = SetStretchBltMode(item.hDC, HALFTONE);
    POINT brush;
    SetBrushOrgEx(item.hDC, 0, 0, &brush);
    StretchBlt(item.hDC, r.left, r.top, w, h, memory, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    SetBrushOrgEx(item.hDC, brush.x, brush.y, nullptr);
    SetStretchBltMode(item.hDC, mode);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
}

}  // namespace k7
