#include "base/ansi_path_win32.h"

#include <vector>

namespace k7 {
namespace {

// The ANSI bytes of text, only when they turn back into the same text: a
// best-fit letter or a '?' for a character the code page lacks would name
// another file.
bool ExactAnsi(const std::wstring& text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), n, nullptr, nullptr);
  const int m = MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, nullptr, 0);
  if (m != length) return false;
  std::wstring back(static_cast<size_t>(m), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, back.data(), m);
  if (back != text) return false;
  out = std::move(bytes);
  return true;
}

}  // namespace

CodePage SystemAnsiCodePage() {
  CodePage codePage;
  CPINFO info;
  if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2) {
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
      codePage.AddLeadBytes(info.LeadByte[i], info.LeadByte[i + 1]);
    }
  }
  return codePage;
}

std::wstring Win32ShortPaths::ShortPath(const std::wstring& path) {
  const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return std::wstring();
  std::vector<wchar_t> buffer(n + 1);
  const DWORD got = GetShortPathNameW(path.c_str(), buffer.data(), n + 1);
  if (got == 0 || got > n) return std::wstring();
  return std::wstring(buffer.data(), got);
}

bool AnsiPathOf(const std::wstring& path, std::string& ansi, IShortPaths& shortPaths) {
  if (ExactAnsi(path, ansi)) return true;
  const std::wstring shortPath = shortPaths.ShortPath(path);
  return !shortPath.empty() && ExactAnsi(shortPath, ansi);
}

bool AnsiPathOf(const std::wstring& path, std::string& ansi) {
  Win32ShortPaths shortPaths;
  return AnsiPathOf(path, ansi, shortPaths);
}

std::wstring UnrepresentablePathText(const std::wstring& path, const wchar_t* whatName) {
  return std::wstring(L"The name of ") + whatName + L"\n\n" + path +
         L"\n\nhas characters that the system's language settings cannot represent, and "
         L"Windows keeps no short name for it.";
}

}  // namespace k7
