// Lengths and rectangles from one display scale to another. A DPI of 96 is
// 100 %; a window laid out at one DPI is placed at another by these, always
// from the layout it was made with, so that going there and back again
// returns every pixel to its place.
#pragma once

namespace k7 {

constexpr int kBaseDpi = 96;

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// value × toDpi / fromDpi, rounded half away from zero as MulDiv does; the
// value unchanged when either DPI is not positive.
int ScaleToDpi(int value, int fromDpi, int toDpi);

// Each edge scaled, so that controls that touch keep touching.
PixelRect ScaleToDpi(const PixelRect& rect, int fromDpi, int toDpi);

}  // namespace k7
