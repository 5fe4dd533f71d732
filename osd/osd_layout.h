// Where the caption window goes, where its text goes inside it and how large
// its font is: arithmetic on the screen, the DPI and the caption, with the
// text measured through a seam, kept apart from the window so that it can be
// checked without one.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/text.h"

namespace k7 {

// A window rectangle in screen pixels.
struct OsdLayout {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const OsdLayout&) const = default;
};

// Longest caption the display measures (the buffer holds one more byte).
constexpr std::size_t kOsdMaxTextLen = 255;

// The top right corner of a screen of screenWidth x screenHeight: the last
// fifth of its width and a tenth of its height.
OsdLayout ComputeOsdLayout(int screenWidth, int screenHeight);

// A monitor's or a window's rectangle in screen pixels, right and bottom
// exclusive, as Windows gives them.
struct OsdRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const OsdRect&) const = default;
};

// The monitor holding most of the foreground window; the primary one (its
// top left corner at the origin, else the first) when the window touches
// none. Ties go to the earlier monitor. -1 for an empty list.
int OsdMonitorIndex(std::span<const OsdRect> monitors, const OsdRect& foreground);

// The caption on the monitor the foreground window is on: the same corner
// and size as on a lone screen, taken from that monitor. An empty list gives
// an empty layout.
OsdLayout ComputeOsdLayout(std::span<const OsdRect> monitors, const OsdRect& foreground);

// Share of the window height the font gets: shrinks with every character,
// reaches zero at 40 and goes negative past it.
double OsdFontFactor(std::size_t textLen);

// Window height times that share, truncated: the height a caption is first
// tried at. Zero or less past 40 characters, which OsdStartFontHeight mends.
int OsdFontHeight(int windowHeight, std::size_t textLen);

// The smallest font height a caption is drawn at, before it is cut instead:
// 12 pixels at 96 DPI, scaled with the DPI.
int OsdFloorFontHeight(int dpi);

// The height a caption is first tried at: OsdFontHeight, never below the
// floor (so never the zero or negative heights of long captions).
int OsdStartFontHeight(int windowHeight, std::size_t textLen, int dpi);

// The text control's rectangle in the window's client pixels: its place and
// size at 96 DPI (atDpi96) scaled to dpi, then cut to the window's
// boxWidth x boxHeight, so that everything it draws shows.
OsdRect OsdTextRect(const OsdRect& atDpi96, int boxWidth, int boxHeight, int dpi);

struct OsdSize {
  int width = 0;
  int height = 0;
};

// Measures a caption as the text control draws it: broken into lines
// between words at wrapWidth, in the caption's font of fontHeight. A word
// wider than wrapWidth may make the result wider.
class IOsdTextMeasure {
 public:
  virtual ~IOsdTextMeasure() = default;
  virtual OsdSize Measure(std::string_view text, int fontHeight, int wrapWidth) = 0;
};

// How a caption is drawn: its font height and its text as shown.
struct OsdCaptionFit {
  int fontHeight = 0;
  std::string text;  // the caption, or its beginning followed by kOsdEllipsis
  bool cut = false;
  bool operator==(const OsdCaptionFit&) const = default;
};

inline constexpr char kOsdEllipsis[] = "...";

// The largest height from OsdStartFontHeight down to the floor, one pixel at
// a time, at which the whole caption (its first kOsdMaxTextLen bytes) fits
// the text rectangle (area). Should none, the caption is drawn at the floor,
// cut after as many whole characters of the code page as fit with the
// ellipsis behind them.
OsdCaptionFit FitOsdCaption(std::string_view caption, int windowHeight, OsdSize area, int dpi,
                            IOsdTextMeasure& measure, const CodePage& codePage = AnsiCodePage());

// Length of a caption that may lack its terminator, at most kOsdMaxTextLen.
std::size_t OsdTextLength(const char* text);

}  // namespace k7
