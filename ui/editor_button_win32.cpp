#include "ui/editor_button_win32.h"

#include <algorithm>
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
  // Composed off screen and copied in one go: the screen never shows the
  // image without its mark.
  const RECT& r = item.rcItem;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  HDC buffer = CreateCompatibleDC(item.hDC);
  HBITMAP canvas = CreateCompatibleBitmap(item.hDC, w, h);
  if (buffer == nullptr || canvas == nullptr) {
    Compose(item.hDC, r, image);
  } else {
    HGDIOBJ old = SelectObject(buffer, canvas);
    Compose(buffer, RECT{0, 0, w, h}, image);
    BitBlt(item.hDC, r.left, r.top, w, h, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, old);
  }
  if (canvas != nullptr) DeleteObject(canvas);
  if (buffer != nullptr) DeleteDC(buffer);
}

void CBitmapButton::Compose(HDC dc, const RECT& r, HBITMAP image) const {
  if (image == nullptr) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    DrawImage(dc, r, image);
  }
  if (marked_) DrawMark(dc, r);
}

void CBitmapButton::SetMarked(bool marked) {
  if (marked_ == marked) return;
  marked_ = marked;
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void CBitmapButton::DrawMark(HDC dc, const RECT& r) {
  // A corner triangle of about two fifths of the button's shorter side,
  // edged in black: cyan stands out from every face the buttons have (pale,
  // red, blue, the dark body, and the orange of the selected one's blink),
  // also to eyes that confuse red and green.
  const int side = std::min(r.right - r.left, r.bottom - r.top);
  const int size = std::max(4, side * 2 / 5 + 1);
  const POINT corner[] = {{r.right - size, r.top}, {r.right, r.top}, {r.right, r.top + size}};
  HBRUSH fill = CreateSolidBrush(kMarkColour);
  HPEN edge = CreatePen(PS_SOLID, std::max(1, side / 13), RGB(0, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  Polygon(dc, corner, 3);
  SelectObject(dc, edge);
  MoveToEx(dc, corner[0].x - 1, corner[0].y, nullptr);
  LineTo(dc, corner[2].x, corner[2].y + 1);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(edge);
  DeleteObject(fill);
}

void CBitmapButton::DrawImage(HDC dc, const RECT& r, HBITMAP image) {
  BITMAP bm = {};
  GetObjectA(image, sizeof bm, &bm);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, image);
  if (bm.bmWidth == w && bm.bmHeight == h) {
    BitBlt(dc, r.left, r.top, w, h, memory, 0, 0, SRCCOPY);
  } else {
    const int mode = SetStretchBltMode(dc, HALFTONE);
    POINT brush;
    SetBrushOrgEx(dc, 0, 0, &brush);
    StretchBlt(dc, r.left, r.top, w, h, memory, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    SetBrushOrgEx(dc, brush.x, brush.y, nullptr);
    SetStretchBltMode(dc, mode);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
}

}  // namespace k7
