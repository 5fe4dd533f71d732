// Small helpers for the fixed-size ANSI buffers used throughout the program.
#pragma once

#include <cstddef>

namespace k7 {

// Copies src into dst (capacity size bytes), cutting it so that dst is always
// terminated. Returns the number of bytes copied, without the terminator.
size_t CopyBounded(char* dst, size_t size, const char* src);

template <size_t N>
size_t CopyBounded(char (&dst)[N], const char* src) {
  return CopyBounded(dst, N, src);
}

// Appends src to the terminated string in dst, cut to fit the capacity.
size_t AppendBounded(char* dst, size_t size, const char* src);

template <size_t N>
size_t AppendBounded(char (&dst)[N], const char* src) {
  return AppendBounded(dst, N, src);
}

// Length of s, looking at no more than max bytes.
size_t BoundedLength(const char* s, size_t max);

char AsciiLower(char c);

// Equality that ignores the case of the ASCII letters only.
bool EqualsNoCase(const char* a, const char* b);

// True when the first n characters of s equal those of prefix, ignoring the
// case of the ASCII letters; never reads past the terminator of s.
bool StartsWithNoCase(const char* s, const char* prefix);

}  // namespace k7
