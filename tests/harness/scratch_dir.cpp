#include "harness/scratch_dir.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "harness/common.h"

namespace k7::harness {
namespace {

std::string SafeName(const std::string& label) {
  std::string out;
  for (char c : label) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    out += plain ? c : '_';
  }
  return out.empty() ? std::string("test") : out;
}

}  // namespace

std::string HelperExePath(HelperExe exe) {
  switch (exe) {
    case HelperExe::kTargetApp:
      return DosPathOf(K7_TARGET_APP_PATH);
    case HelperExe::kLaunchTarget:
      return DosPathOf(K7_LAUNCH_TARGET_PATH);
  }
  throw std::logic_error("unknown helper program");
}

std::string ScratchRoot() {
  char module[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
  if (n == 0 || n >= sizeof module) ThrowLastError("GetModuleFileNameA");
  std::string dir(module, n);
  dir.resize(dir.find_last_of('\\'));
  return dir + "\\scratch";
}

ScratchDir::ScratchDir(const std::string& label) {
  static std::atomic<unsigned> counter{0};
  const std::string root = ScratchRoot();
  if (!CreateDirectoryA(root.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    ThrowLastError("cannot create " + root);
  }
  path_ = root + "\\" + SafeName(label) + "-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(counter++);
  // Process ids come round again: whatever an earlier run left here goes.
  RemoveTree(path_);
  if (!CreateDirectoryA(path_.c_str(), nullptr)) ThrowLastError("cannot create " + path_);
}

ScratchDir::~ScratchDir() {
  if (!keep_) RemoveTree(path_);
}

std::string ScratchDir::File(const std::string& name) const {
  return path_ + "\\" + name;
}

bool ScratchDir::Exists(const std::string& name) const {
  return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ScratchDir::CopyIn(const std::string& source, const std::string& name) const {
  const std::string dest = File(name);
  if (!CopyFileA(source.c_str(), dest.c_str(), FALSE)) {
    ThrowLastError("cannot copy " + source + " to " + dest);
  }
  return dest;
}

std::string ScratchDir::CopyHelper(HelperExe exe, const std::string& name) const {
  return CopyIn(HelperExePath(exe), name);
}

void ScratchDir::WriteIni(const std::string& name, const char* section, const char* key,
                          const char* value) const {
  const std::string file = File(name);
  if (!WritePrivateProfileStringA(section, key, value, file.c_str())) {
    ThrowLastError("cannot write " + file);
  }
}

std::vector<std::string> ScratchDir::ReadLines(const std::string& name) const {
  return SplitCompleteLines(ReadFileShared(File(name)));
}

std::string ReadFileShared(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

std::vector<std::string> SplitCompleteLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

namespace {

// Wide: a test may leave names the ANSI code page cannot write.
void RemoveTreeW(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeW(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

void RemoveTree(const std::string& path) {
  const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 1) return;
  std::wstring wide(static_cast<size_t>(n - 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
  RemoveTreeW(wide);
}

}  // namespace k7::harness
