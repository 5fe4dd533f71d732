#include "profiles/profile_file_win32.h"

namespace k7 {

unsigned Win32ProfileTextConverter::SystemCodePage() const {
  return GetACP();
}

bool Win32ProfileTextConverter::Knows(unsigned codePage) const {
  return IsValidCodePage(codePage) != FALSE;
}

bool Win32ProfileTextConverter::ToSystem(unsigned codePage, std::string& text) const {
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  // Invalid bytes are refused, not turned into U+FFFD; a few code pages take
  // no flags at all.
  int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  DWORD flags = MB_ERR_INVALID_CHARS;
  if (n <= 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    n = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  }
  if (n <= 0) return false;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), n);

  // No look-alike for a missing character: "Łódź" must not become "Lodz".
  const UINT acp = GetACP();
  const bool utf8 = acp == CP_UTF8;
  BOOL usedDefault = FALSE;
  const DWORD toFlags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  const int m = WideCharToMultiByte(CP_ACP, toFlags, wide.data(), n, nullptr, 0, nullptr, used);
  if (m <= 0 || usedDefault) return false;
  std::string ansi(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_ACP, toFlags, wide.data(), n, ansi.data(), m, nullptr, used);
  if (usedDefault) return false;
  // And what was written must read back as the same characters.
  const int back = MultiByteToWideChar(CP_ACP, 0, ansi.data(), m, nullptr, 0);
  if (back != n) return false;
  std::wstring again(static_cast<size_t>(back), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), m, again.data(), back);
  if (again != wide) return false;
  text = std::move(ansi);
  return true;
}

bool ReadProfileFileBytes(const std::wstring& path, std::string& bytes, DWORD& error) {
  bytes.clear();
  error = 0;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return false;
  }
  // One byte more than allowed tells a file too large, whatever its size says.
  std::string buffer(kMaxProfileFileBytes + 1, '\0');
  size_t total = 0;
  bool ok = true;
  while (total < buffer.size()) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data() + total, static_cast<DWORD>(buffer.size() - total), &got,
                  nullptr)) {
      error = GetLastError();
      ok = false;
      break;
    }
    if (got == 0) break;
    total += got;
  }
  CloseHandle(file);
  if (!ok) return false;
  if (total > kMaxProfileFileBytes) {
    error = ERROR_FILE_TOO_LARGE;
    return false;
  }
  buffer.resize(total);
  bytes = std::move(buffer);
  return true;
}

bool WriteProfileFileBytes(const std::wstring& path, const std::string& bytes, DWORD& error) {
  error = 0;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return false;
  }
  DWORD written = 0;
  const BOOL wrote =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (!wrote || written != bytes.size()) error = wrote ? ERROR_HANDLE_DISK_FULL : GetLastError();
  if (!CloseHandle(file) && error == 0) error = GetLastError();
  if (error == 0) return true;
  DeleteFileW(path.c_str());
  return false;
}

}  // namespace k7
