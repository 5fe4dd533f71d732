// Where the caption window goes and how large its font is: plain arithmetic
// on the screen size and the caption's length, kept apart from the window so
// that it can be checked without one.
#pragma once

#include <cstddef>
#include <span>

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

// Font height for CreateFont. Zero leaves the size to the font mapper and a
// negative value asks for a character height, as CreateFont takes them.
int OsdFontHeight(int windowHeight, std::size_t textLen);

// Length of a caption that may lack its terminator, at most kOsdMaxTextLen.
std::size_t OsdTextLength(const char* text);

}  // namespace k7
