// Small helpers for the fixed-size ANSI buffers used throughout the program.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace k7 {

// Which bytes of an ANSI code page begin a two-byte character. In the
// double-byte code pages (Traditional Chinese 950, Japanese 932, ...) the
// second byte of a character can be an ASCII letter or a backslash: Big5
// writes 許 as B3 5C. Text is walked character by character with this.
class CodePage {
 public:
  CodePage() = default;  // single-byte: no lead bytes
  void AddLeadBytes(unsigned char first, unsigned char last);
  bool IsLeadByte(char c) const { return lead_[static_cast<unsigned char>(c)]; }
  // Bytes taken by the character at s (1 or 2; a lead byte before the
  // terminator stands alone).
  size_t CharLength(const char* s) const { return IsLeadByte(s[0]) && s[1] != '\0' ? 2 : 1; }

 private:
  std::array<bool, 256> lead_{};
};

// The system's ANSI code page, as the program learned it at start-up
// (single-byte until then). Set once, before any other thread runs.
const CodePage& AnsiCodePage();
void SetAnsiCodePage(const CodePage& codePage);

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

// Equality that ignores the case of the ASCII letters only; a two-byte
// character is compared as it is.
bool EqualsNoCase(const char* a, const char* b, const CodePage& codePage = AnsiCodePage());

// True when the first n characters of s equal those of prefix, ignoring the
// case of the ASCII letters; never reads past the terminator of s.
bool StartsWithNoCase(const char* s, const char* prefix, const CodePage& codePage = AnsiCodePage());

// s with its single-byte ASCII letters lowered: equal for names that
// EqualsNoCase takes as equal.
std::string LowerAscii(std::string_view s, const CodePage& codePage = AnsiCodePage());

// Offset of the last backslash that is a character of its own, or npos.
size_t LastBackslash(std::string_view path, const CodePage& codePage = AnsiCodePage());

// The part of a path behind its last backslash (empty when it ends in one),
// or the whole path when it has none.
std::string FileNameOf(std::string_view path, const CodePage& codePage = AnsiCodePage());

// The folder of a path as a working folder: everything before its last
// backslash, which stays only for a drive's root ("C:\"); empty when the
// path has none.
std::string FolderOf(std::string_view path, const CodePage& codePage = AnsiCodePage());

}  // namespace k7
