// The caption window's place and font size, against figures worked out by
// hand for the screens the program meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "osd/osd_layout.h"

namespace k7 {
namespace {

struct ScreenCase {
  int width, height;
  OsdLayout expected;
};

TEST(OsdLayout, TopRightCornerOfCommonScreens) {
  const ScreenCase cases[] = {
      {1024, 768, {819, 0, 204, 76}},    {800, 600, {640, 0, 160, 60}},
      {1280, 1024, {1024, 0, 256, 102}}, {1366, 768, {1092, 0, 273, 76}},
      {1920, 1080, {1536, 0, 384, 108}}, {640, 480, {512, 0, 128, 48}},
      {1023, 767, {818, 0, 204, 76}},    {1, 1, {0, 0, 0, 0}},
  };
  for (const ScreenCase& c : cases) {
    const OsdLayout got = ComputeOsdLayout(c.width, c.height);
    EXPECT_EQ(got.x, c.expected.x) << c.width << "x" << c.height;
    EXPECT_EQ(got.y, c.expected.y) << c.width << "x" << c.height;
    EXPECT_EQ(got.width, c.expected.width) << c.width << "x" << c.height;
    EXPECT_EQ(got.height, c.expected.height) << c.width << "x" << c.height;
  }
}

// Truncated, never rounded: the window stays on the screen and ends at most
// two pixels short of its right edge, whatever the width.
TEST(OsdLayout, StaysInsideTheScreenForEveryWidth) {
  for (int w = 1; w <= 4096; ++w) {
    const OsdLayout got = ComputeOsdLayout(w, w);
    ASSERT_LE(got.x + got.width, w) << w;
    ASSERT_GE(got.x + got.width, w - 2) << w;
    ASSERT_LE(got.height * 10, w) << w;
    ASSERT_GT((got.height + 1) * 10, w) << w;
  }
}

struct MonitorCase {
  const char* name;
  std::vector<OsdRect> monitors;
  OsdRect foreground;
  OsdLayout expected;
};

// Rectangles as Windows reports them: the primary at the origin, the others
// anywhere around it, negative coordinates included.
TEST(OsdLayout, FollowsTheMonitorHoldingMostOfTheForegroundWindow) {
  const OsdRect primary{0, 0, 1920, 1080};
  const OsdRect right{1920, 0, 3200, 1024};
  const OsdRect left{-1366, 0, 0, 768};
  const OsdRect above{0, -1024, 1280, 0};
  const MonitorCase cases[] = {
      {"one monitor", {primary}, {100, 100, 900, 700}, {1536, 0, 384, 108}},
      {"one monitor, window off it",
       {primary},
       {-32000, -32000, -31840, -31970},
       {1536, 0, 384, 108}},
      {"side by side, on the primary", {primary, right}, {100, 100, 900, 700}, {1536, 0, 384, 108}},
      {"side by side, on the second",
       {primary, right},
       {2000, 100, 2600, 700},
       {2944, 0, 256, 102}},
      {"left of the primary", {primary, left}, {-1000, 100, -200, 600}, {-274, 0, 273, 76}},
      {"above the primary", {primary, above}, {100, -900, 900, -100}, {1024, -1024, 256, 102}},
      {"across two, most on the primary",
       {primary, right},
       {1500, 100, 2100, 500},
       {1536, 0, 384, 108}},
      {"across two, most on the second",
       {primary, right},
       {1800, 100, 2500, 500},
       {2944, 0, 256, 102}},
      {"across two, evenly: the earlier",
       {right, primary},
       {1820, 0, 2020, 100},
       {2944, 0, 256, 102}},
      {"off every monitor: the primary",
       {left, primary},
       {-32000, -32000, -31840, -31970},
       {1536, 0, 384, 108}},
      {"no monitors", {}, {0, 0, 100, 100}, {0, 0, 0, 0}},
  };
  for (const MonitorCase& c : cases) {
    EXPECT_EQ(ComputeOsdLayout(c.monitors, c.foreground), c.expected) << c.name;
  }
  // A lone screen's figures are the ones the screen-size layout always gave.
  EXPECT_EQ(ComputeOsdLayout(std::vector<OsdRect>{{0, 0, 1023, 767}}, OsdRect{}),
            ComputeOsdLayout(1023, 767));
}

struct FontCase {
  int windowHeight;
  std::size_t textLen;
  int expected;
};

TEST(OsdFont, HeightShrinksWithTheCaptionAndTruncatesTowardZero) {
  const FontCase cases[] = {
      {76, 0, 45},    // 45.6
      {76, 8, 36},    // 36.48
      {76, 20, 22},   // 22.8
      {76, 40, 0},    // exactly zero: the font mapper's default size
      {76, 41, -1},   // -1.14
      {60, 41, 0},    // -0.9 truncates to zero, not to -1
      {76, 50, -11},  // -11.4: toward zero, not -12
      {60, 8, 28},    // 28.8
      {102, 20, 30},  // 30.6
      {76, 255, -245}, {0, 8, 0},
  };
  for (const FontCase& c : cases) {
    EXPECT_EQ(OsdFontHeight(c.windowHeight, c.textLen), c.expected)
        << c.windowHeight << " high, " << c.textLen << " characters";
  }
}

TEST(OsdFont, FactorIsZeroAtFortyCharacters) {
  EXPECT_DOUBLE_EQ(OsdFontFactor(0), 0.6);
  EXPECT_DOUBLE_EQ(OsdFontFactor(20), 0.3);
  // At 40 the factor must not come out a hair below zero, or tall windows
  // would get a height of -1 instead of the default.
  for (int h = 0; h <= 2000; ++h) ASSERT_EQ(OsdFontHeight(h, 40), 0) << h;
}

// The template's text control at 96 DPI, in pixels, scaled and cut to the
// window: 1024 x 768 gives a 204 x 76 window, 3840 x 2160 one of 768 x 216.
TEST(OsdText, RectangleScalesWithTheDpiAndStaysInsideTheWindow) {
  const OsdRect at96{14, 13, 266, 73};
  const struct {
    int boxWidth, boxHeight, dpi;
    OsdRect expected;
  } cases[] = {
      {204, 76, 96, {14, 13, 204, 73}},  {204, 76, 144, {21, 20, 204, 76}},
      {204, 76, 192, {28, 26, 204, 76}}, {768, 216, 192, {28, 26, 532, 146}},
      {10, 10, 96, {14, 13, 14, 13}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OsdTextRect(at96, c.boxWidth, c.boxHeight, c.dpi), c.expected)
        << c.boxWidth << "x" << c.boxHeight << " at " << c.dpi;
  }
}

// Every character h / 2 wide and every line h high, broken between words as
// the text control breaks them; a word wider than the line widens it.
struct MonospaceMeasure : IOsdTextMeasure {
  OsdSize Measure(std::string_view text, int h, int wrapWidth) override {
    int lines = 1, line = 0, widest = 0;
    for (std::size_t at = 0; at <= text.size();) {
      const std::size_t end = std::min(text.find(' ', at), text.size());
      const int word = static_cast<int>(end - at);
      if (line > 0 && (line + 1 + word) * (h / 2) > wrapWidth) ++lines, line = 0;
      line += (line > 0 ? 1 : 0) + word;
      widest = std::max(widest, line * (h / 2));
      at = end + 1;
    }
    return {widest, lines * h};
  }
};

// A 76-pixel window: its text rectangle is 190 x 60 at 96 DPI (31 characters
// of 12 pixels a line, 5 lines) and 176 x 50 at 192 (14 of 24, 2 lines).
TEST(OsdCaption, KeepsTodaysHeightShrinksToFitThenCutsAtTheFloor) {
  const std::string sixtyFour = "Skip forward 30 seconds and show the time left of the title now.";
  std::string sentences;
  while (sentences.size() < 254) sentences += "Open the chapter menu of the disc. ";
  const std::string long254 = sentences.substr(0, 254);
  const struct {
    std::string caption;
    int dpi, expectedHeight;
    std::string expectedText;
  } cases[] = {
      {"Play", 96, 41, "Play"},  // 76 x 0.54 = 41.04, as today
      {"Play", 192, 41, "Play"},
      {"Volume up twenty chars", 96, 20, "Volume up twenty chars"},   // two lines
      {"Volume up twenty chars", 192, 24, "Volume up twenty chars"},  // the floor, not 20
      {"Fastforwarded", 96, 29, "Fastforwarded"},                     // 195 wide at 30, 182 at 29
      {"Fastforwarded", 192, 27, "Fastforwarded"},                    // 182 wide at 28, 169 at 27
      {sixtyFour, 96, 12, sixtyFour},                                 // three lines
      {sixtyFour, 192, 24, "Skip forward 30 seconds..."},
      {long254, 96, 12, sentences.substr(0, 35 * 4) + "Open the c..."},
      {long254, 192, 24, "Open the chapter men..."},
  };
  for (const auto& c : cases) {
    MonospaceMeasure measure;
    const OsdCaptionFit fit =
        FitOsdCaption(c.caption, 76, c.dpi == 96 ? OsdSize{190, 60} : OsdSize{176, 50}, c.dpi,
                      measure, CodePage{});
    const OsdCaptionFit expected{c.expectedHeight, c.expectedText, c.expectedText != c.caption};
    EXPECT_EQ(fit, expected) << c.caption.size() << " characters at " << c.dpi << ": "
                             << fit.fontHeight << " \"" << fit.text << "\"";
  }
  // The cut falls before a two-byte character, not inside it: a line of 31
  // bytes holds x, 13 characters and the ellipsis.
  CodePage cp950;
  cp950.AddLeadBytes(0x81, 0xFE);
  std::string xChars = "x";
  for (int i = 0; i < 100; ++i) xChars += "\xB3\x5C";
  MonospaceMeasure measure;
  EXPECT_EQ(FitOsdCaption(xChars, 76, {190, 60}, 96, measure, cp950).text,
            xChars.substr(0, 27) + "...");
}

TEST(OsdText, LengthStopsAtTheTerminatorOrTheBufferLimit) {
  EXPECT_EQ(OsdTextLength(nullptr), 0u);
  EXPECT_EQ(OsdTextLength(""), 0u);
  EXPECT_EQ(OsdTextLength("Next chapter"), 12u);

  // A full buffer without its terminator, followed by more non-zero bytes:
  // the length stops at the limit and nothing past it is read.
  char buffer[kOsdMaxTextLen + 8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(OsdTextLength(buffer), kOsdMaxTextLen);
  buffer[kOsdMaxTextLen - 1] = '\0';
  EXPECT_EQ(OsdTextLength(buffer), kOsdMaxTextLen - 1);
}

}  // namespace
}  // namespace k7
