#include "osd/osd_layout.h"

namespace k7 {

OsdLayout ComputeOsdLayout(int screenWidth, int screenHeight) {
  // Each product on its own, truncated: the window may end a pixel short of
  // the right edge, as it always has.
  OsdLayout layout;
  layout.x = static_cast<int>(screenWidth * 0.8);
  layout.y = 0;
  layout.width = static_cast<int>(screenWidth * 0.2);
  layout.height = static_cast<int>(screenHeight * 0.1);
  return layout;
}

double OsdFontFactor(std::size_t textLen) {
  return 0.6 - 0.015 * static_cast<double>(textLen);
}

int OsdFontHeight(int windowHeight, std::size_t textLen) {
  return static_cast<int>(windowHeight * OsdFontFactor(textLen));
}

std::size_t OsdTextLength(const char* text) {
  if (text == nullptr) return 0;
  std::size_t n = 0;
  while (n < kOsdMaxTextLen && text[n] != '\0') ++n;
  return n;
}

}  // namespace k7
