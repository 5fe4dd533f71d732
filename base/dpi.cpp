#include "base/dpi.h"

#include <cstdint>

namespace k7 {

int ScaleToDpi(int value, int fromDpi, int toDpi) {
  if (fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) return value;
  const int64_t product = static_cast<int64_t>(value) * toDpi;
  const int64_t half = fromDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / fromDpi : (product - half) / fromDpi);
}

PixelRect ScaleToDpi(const PixelRect& rect, int fromDpi, int toDpi) {
  return {ScaleToDpi(rect.left, fromDpi, toDpi), ScaleToDpi(rect.top, fromDpi, toDpi),
          ScaleToDpi(rect.right, fromDpi, toDpi), ScaleToDpi(rect.bottom, fromDpi, toDpi)};
}

}  // namespace k7
