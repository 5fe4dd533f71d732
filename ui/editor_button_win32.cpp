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
  auto load = [this](int id) { return LoadBitmapA(instance_, MAKEINTRESOURCEA(id)); };
  normal_ = load(normal);
  pressed_ = load(pressed);
  focused_ = load(focused);
  disabled_ = load(disabled);
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
  HDC memory = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(memory, image);
  BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

}  // namespace k7
