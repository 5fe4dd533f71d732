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

namespace {

// a x b / c, rounded half away from zero, as MulDiv does.
int ScaleRounded(int a, int b, int c) {
  if (c == 0) return 0;
  const long long n = static_cast<long long>(a) * b;
  const long long half = (c > 0 ? c : -c) / 2;
  return static_cast<int>(((n >= 0) == (c > 0) ? n + half : n - half) / c);
}

constexpr int kFloorAt96 = 12;

}  // namespace

int OsdFloorFontHeight(int dpi) {
  return ScaleRounded(kFloorAt96, dpi, 96);
}

int OsdStartFontHeight(int windowHeight, std::size_t textLen, int dpi) {
  return std::max(OsdFontHeight(windowHeight, textLen), OsdFloorFontHeight(dpi));
}

OsdRect OsdTextRect(const OsdRect& atDpi96, int boxWidth, int boxHeight, int dpi) {
  OsdRect r;
  r.left = ScaleRounded(atDpi96.left, dpi, 96);
  r.top = ScaleRounded(atDpi96.top, dpi, 96);
  // Width and height scaled on their own, so that both edges move alike.
  r.right = std::min(r.left + ScaleRounded(atDpi96.right - atDpi96.left, dpi, 96), boxWidth);
  r.bottom = std::min(r.top + ScaleRounded(atDpi96.bottom - atDpi96.top, dpi, 96), boxHeight);
  // A box smaller than the margins leaves an empty rectangle, not a
  // reversed one.
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

namespace {

bool Fits(IOsdTextMeasure& measure, std::string_view text, int fontHeight, OsdSize area) {
  const OsdSize size = measure.Measure(text, fontHeight, area.width);
  return size.width <= area.width && size.height <= area.height;
}

// The caption's first `bytes` bytes, without the blanks and stops before the
// cut (no "disc...."), and the ellipsis.
std::string CutText(std::string_view caption, std::size_t bytes) {
  std::string_view kept = caption.substr(0, bytes);
  while (!kept.empty() && std::string_view(" \t.,").find(kept.back()) != std::string_view::npos) {
    kept.remove_suffix(1);
  }
  std::string text(kept);
  text += kOsdEllipsis;
  return text;
}

}  // namespace

OsdCaptionFit FitOsdCaption(std::string_view caption, int windowHeight, OsdSize area, int dpi,
                            IOsdTextMeasure& measure, const CodePage& codePage) {
  caption = caption.substr(0, kOsdMaxTextLen);
  const int floor = OsdFloorFontHeight(dpi);
  OsdCaptionFit fit;
  fit.fontHeight = OsdStartFontHeight(windowHeight, caption.size(), dpi);
  // An empty caption fits at any height.
  if (caption.empty()) return fit;
  for (; fit.fontHeight >= floor; --fit.fontHeight) {
    if (Fits(measure, caption, fit.fontHeight, area)) {
      fit.text = caption;
      return fit;
    }
  }
  fit.fontHeight = floor;
  fit.cut = true;

  // Where each character ends: a cut falls between characters, never
  // inside a two-byte one.
  std::size_t ends[kOsdMaxTextLen + 1];
  std::size_t count = 0;
  for (std::size_t at = 0; at < caption.size();) {
    at += at + 1 < caption.size() && codePage.IsLeadByte(caption[at]) ? 2 : 1;
    ends[count++] = at;
  }
  // The most characters that still fit with the ellipsis: a longer
  // beginning never takes less room. The whole caption did not fit, so the
  // last end is not tried; none fitting leaves the ellipsis alone.
  std::size_t fitting = 0;  // characters known to fit
  std::size_t tooMany = count;
  while (tooMany - fitting > 1) {
    const std::size_t mid = fitting + (tooMany - fitting) / 2;
    if (Fits(measure, CutText(caption, ends[mid - 1]), floor, area)) {
      fitting = mid;
    } else {
      tooMany = mid;
    }
  }
  fit.text = CutText(caption, fitting == 0 ? 0 : ends[fitting - 1]);
  return fit;
}

std::size_t OsdTextLength(const char* text) {
  if (text == nullptr) return 0;
  std::size_t n = 0;
  while (n < kOsdMaxTextLen && text[n] != '\0') ++n;
  return n;
}

}  // namespace k7
