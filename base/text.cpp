#include "base/text.h"

namespace k7 {
namespace {

CodePage g_ansiCodePage;

}  // namespace

void CodePage::AddLeadBytes(unsigned char first, unsigned char last) {
  for (unsigned b = first; b <= last; ++b) lead_[b] = true;
}

const CodePage& AnsiCodePage() {
  return g_ansiCodePage;
}

void SetAnsiCodePage(const CodePage& codePage) {
  g_ansiCodePage = codePage;
}

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

bool EqualsNoCase(const char* a, const char* b, const CodePage& codePage) {
  for (;;) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
    if (*a == '\0') return true;
    // Equal lead bytes: the second bytes must be equal as they are.
    if (codePage.CharLength(a) == 2) {
      if (a[1] != b[1]) return false;
      ++a, ++b;
    }
    ++a, ++b;
  }
}

bool StartsWithNoCase(const char* s, const char* prefix, const CodePage& codePage) {
  while (*prefix != '\0') {
    if (*s == '\0' || AsciiLower(*s) != AsciiLower(*prefix)) return false;
    if (codePage.CharLength(prefix) == 2) {
      if (s[1] != prefix[1]) return false;
      ++s, ++prefix;
    }
    ++s, ++prefix;
  }
  return true;
}

std::string LowerAscii(std::string_view s, const CodePage& codePage) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    if (codePage.IsLeadByte(out[i]) && i + 1 < out.size()) {
      ++i;  // the second byte of the character stays as it is
    } else {
      out[i] = AsciiLower(out[i]);
    }
  }
  return out;
}

size_t LastBackslash(std::string_view path, const CodePage& codePage) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (codePage.IsLeadByte(path[i]) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '\\') {
      last = i;
    }
  }
  return last;
}

std::string FileNameOf(std::string_view path, const CodePage& codePage) {
  const size_t slash = LastBackslash(path, codePage);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FolderOf(std::string_view path, const CodePage& codePage) {
  const size_t slash = LastBackslash(path, codePage);
  if (slash == std::string_view::npos) return std::string();
  const bool driveRoot = slash == 2 && path[1] == ':';
  return std::string(path.substr(0, driveRoot ? 3 : slash));
}

}  // namespace k7
