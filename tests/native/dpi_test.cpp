#include "base/dpi.h"

#include <gtest/gtest.h>

namespace k7 {
namespace {

// Lengths at the scales Windows offers, rounded as MulDiv rounds (the
// dialog manager's own rounding), and the neighbours that must keep touching.
TEST(Dpi, LengthsAndEdgesScaleRoundedLikeMulDiv) {
  struct Case {
    int value, from, to, expected;
  } const cases[] = {
      {16, 96, 96, 16},  {16, 96, 120, 20},   {16, 96, 144, 24},
      {16, 96, 192, 32}, {13, 96, 120, 16},    // 16.25
      {3, 96, 144, 5},                         // 4.5: half away from zero
      {-3, 96, 144, -5}, {-11, 96, 144, -17},  // a font height: -16.5
      {24, 144, 96, 16}, {25, 144, 96, 17},    // 16.67
      {40, 0, 144, 40},  {40, 96, 0, 40},      // no DPI known: unchanged
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleToDpi(c.value, c.from, c.to), c.expected)
        << c.value << " from " << c.from << " to " << c.to;
  }

  const PixelRect left{7, 3, 50, 21}, right{50, 3, 93, 21};
  for (int dpi : {120, 144, 168, 192}) {
    const PixelRect a = ScaleToDpi(left, 96, dpi), b = ScaleToDpi(right, 96, dpi);
    EXPECT_EQ(a.right, b.left) << dpi;
    EXPECT_EQ(ScaleToDpi(left, 96, 96), left);
  }
}

}  // namespace
}  // namespace k7
