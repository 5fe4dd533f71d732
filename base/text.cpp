#include "base/text.h"

namespace k7 {

size_t CopyBounded(char* dst, size_t size, const char* src) {
  if (size == 0) return 0;
  size_t n = 0;
  if (src != nullptr) {
    while (n + 1 < size && src[n] != '\0') {
      dst[n] = src[n];
      ++n;
    }
  }
  dst[n] = '\0';
  return n;
}

size_t AppendBounded(char* dst, size_t size, const char* src) {
  size_t used = BoundedLength(dst, size);
  if (used >= size) return 0;  // not terminated: leave it alone
  return CopyBounded(dst + used, size - used, src);
}

size_t BoundedLength(const char* s, size_t max) {
  size_t n = 0;
  while (n < max && s[n] != '\0') ++n;
  return n;
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
    if (*a == '\0') return true;
  }
}

bool StartsWithNoCase(const char* s, const char* prefix) {
  for (; *prefix != '\0'; ++s, ++prefix) {
    if (*s == '\0' || AsciiLower(*s) != AsciiLower(*prefix)) return false;
  }
  return true;
}

}  // namespace k7
