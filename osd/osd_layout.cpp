#include "osd/osd_layout.h"

#include <algorithm>

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

namespace {

long long OverlapArea(const OsdRect& a, const OsdRect& b) {
  const long long w = static_cast<long long>(std::min(a.right, b.right)) - std::max(a.left, b.left);
  const long long h = static_cast<long long>(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

int OsdMonitorIndex(std::span<const OsdRect> monitors, const OsdRect& foreground) {
  if (monitors.empty()) return -1;
  int best = -1;
  long long bestArea = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const long long area = OverlapArea(monitors[i], foreground);
    if (area > bestArea) {
      bestArea = area;
      best = static_cast<int>(i);
    }
  }
  if (best >= 0) return best;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].left == 0 && monitors[i].top == 0) return static_cast<int>(i);
  }
  return 0;
}

OsdLayout ComputeOsdLayout(std::span<const OsdRect> monitors, const OsdRect& foreground) {
  const int index = OsdMonitorIndex(monitors, foreground);
  if (index < 0) return OsdLayout{};
  const OsdRect& m = monitors[static_cast<std::size_t>(index)];
  // Today's layout moved onto the monitor, so that a lone primary screen
  // gets exactly the figures it always had.
  OsdLayout layout = ComputeOsdLayout(m.right - m.left, m.bottom - m.top);
  layout.x += m.left;
  layout.y += m.top;
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
