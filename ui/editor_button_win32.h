// An owner-drawn push button that shows one of four bitmaps: pressed while
// pushed, else focused while it has the focus, else disabled while disabled,
// else normal, stretched smoothly when the button is not the bitmap's size,
// with a mark drawn over it on demand.
// Its parent hands it WM_DRAWITEM.
#pragma once

#include <windows.h>

namespace k7 {

class CBitmapButton {
 public:
  CBitmapButton() = default;
  ~CBitmapButton() { Release(); }
  CBitmapButton(const CBitmapButton&) = delete;
  CBitmapButton& operator=(const CBitmapButton&) = delete;

  // A visible child button without text at rect (client pixels of parent).
  bool Create(HWND parent, const RECT& rect, int id, HINSTANCE instance);

  // Replaces the four images by the given bitmap resources (a missing one
  // draws as an empty face); the previous ones are released.
  void LoadBitmaps(int normal, int pressed, int focused, int disabled);
  // The same bitmap for all four states.
  void LoadBitmaps(int all) { LoadBitmaps(all, all, all, all); }
  // Added to every id given to LoadBitmaps (a set of images drawn for
  // another DPI); the images shown now are reloaded from the new set.
  void SetBitmapOffset(int offset);

  // A mark in the top right corner, over whichever image shows and sized
  // from the button's own size, so it keeps to the picture at any scale.
  void SetMarked(bool marked);
  static constexpr COLORREF kMarkColour = RGB(0, 224, 255);
  bool Marked() const { return marked_; }

  void Draw(const DRAWITEMSTRUCT& item) const;

  HWND Hwnd() const { return hwnd_; }
  // The button was destroyed with its parent: forget the window, keep
  // nothing loaded.
  void Detach() {
    hwnd_ = nullptr;
    marked_ = false;
    Release();
  }

 private:
  void Release();
  // The image (or the face colour without one) and the mark, in r of dc.
  void Compose(HDC dc, const RECT& r, HBITMAP image) const;
  static void DrawImage(HDC dc, const RECT& r, HBITMAP image);
  static void DrawMark(HDC dc, const RECT& r);

  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
  int offset_ = 0;
  bool marked_ = false;
  int ids_[4] = {};
  HBITMAP normal_ = nullptr;
  HBITMAP pressed_ = nullptr;
  HBITMAP focused_ = nullptr;
  HBITMAP disabled_ = nullptr;
};

}  // namespace k7
