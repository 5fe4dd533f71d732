// An owner-drawn push button that shows one of four bitmaps: pressed while
// pushed, else focused while it has the focus, else disabled while disabled,
// else normal, stretched smoothly when the button is not the bitmap's size.
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

  void Draw(const DRAWITEMSTRUCT& item) const;

  HWND Hwnd() const { return hwnd_; }
  // The button was destroyed with its parent: forget the window, keep
  // nothing loaded.
  void Detach() {
    hwnd_ = nullptr;
    Release();
  }

 private:
  void Release();

  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
  int offset_ = 0;
  int ids_[4] = {};
  HBITMAP normal_ = nullptr;
  HBITMAP pressed_ = nullptr;
  HBITMAP focused_ = nullptr;
  HBITMAP disabled_ = nullptr;
};

}  // namespace k7
