#include "harness/common.h"

#include <stdexcept>

namespace k7::harness {

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return done();
    Sleep(pollMs);
  }
}

void ThrowLastError(const std::string& what) {
  const DWORD code = GetLastError();
  throw std::runtime_error(what + " (error " + std::to_string(code) + ")");
}

std::string ToAnsi(const wchar_t* text, int length) {
  if (length <= 0) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring LongPathOf(const std::string& ansiPath) {
  const int n = MultiByteToWideChar(CP_ACP, 0, ansiPath.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansiPath.c_str(), -1, wide.data(), n);
  wchar_t longPath[1024];
  const DWORD got = GetLongPathNameW(wide.c_str(), longPath, ARRAYSIZE(longPath));
  return got > 0 && got < ARRAYSIZE(longPath) ? std::wstring(longPath, got) : std::wstring();
}

std::string ShortPathOf(const std::wstring& path) {
  wchar_t shortPath[1024];
  const DWORD got = GetShortPathNameW(path.c_str(), shortPath, ARRAYSIZE(shortPath));
  return got > 0 && got < ARRAYSIZE(shortPath) ? ToAnsi(shortPath, static_cast<int>(got))
                                               : std::string();
}

double QpcMs(LONGLONG from, LONGLONG to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(to - from) * 1000.0 / static_cast<double>(f.QuadPart);
}

std::string DosPathOf(const char* unixPath) {
  if (unixPath[0] != '/') return unixPath;
  using ToDos = WCHAR*(CDECL*)(const char*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  FARPROC proc = kernel != nullptr ? GetProcAddress(kernel, "wine_get_dos_file_name") : nullptr;
  if (proc != nullptr) {
    // Through void(*)() so the compiler accepts the change of signature.
    auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(proc));
    if (WCHAR* dos = toDos(unixPath)) {
      std::string out = ToAnsi(dos, lstrlenW(dos));
      HeapFree(GetProcessHeap(), 0, dos);
      return out;
    }
  }
  std::string out = std::string("Z:") + unixPath;
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

}  // namespace k7::harness
