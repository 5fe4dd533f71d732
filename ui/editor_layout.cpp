#include "ui/editor_layout.h"

#include <cstdlib>
#include <iterator>

namespace k7 {

namespace {

constexpr int kBaseDpi = 96;
// Past 10 times the base scale a layout is no longer a scale of this one.
constexpr int kMaxDpi = 960;

int Scale(int v, int dpi) {
  const long long scaled = static_cast<long long>(v) * dpi;
  // Half up for either sign, so that a length keeps its size wherever it is.
  return static_cast<int>(scaled >= 0 ? (scaled + kBaseDpi / 2) / kBaseDpi
                                      : -((-scaled + kBaseDpi / 2 - 1) / kBaseDpi));
}

ButtonRect Scale(const ButtonRect& r, int dpi) {
  return {Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.right, dpi), Scale(r.bottom, dpi)};
}

}  // namespace

EditorRemoteLayout EditorRemoteLayoutForDpi(int dpi) {
  if (dpi <= 0 || dpi > kMaxDpi) dpi = kBaseDpi;
  EditorRemoteLayout layout = {};
  layout.picture = Scale(kRemotePictureRect, dpi);
  for (int n = 0; n < kEditorButtonCount; ++n)
    layout.buttons[n] = Scale(kEditorButtonRects[n], dpi);
  // The nearest set; between two, the larger: shrinking keeps the edges
  // sharper than enlarging.
  int best = 0;
  for (int k = 1; k < static_cast<int>(std::size(kPictureDpis)); ++k) {
    if (std::abs(kPictureDpis[k] - dpi) <= std::abs(kPictureDpis[best] - dpi)) best = k;
  }
  layout.bitmapOffset = best * kBitmapSetStep;
  layout.exactSet = kPictureDpis[best] == dpi;
  layout.minClientBottom = Scale(kRemoteBodyBottom, dpi);
  return layout;
}

}  // namespace k7
