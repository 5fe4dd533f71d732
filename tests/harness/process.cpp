#include "harness/process.h"

#include <tlhelp32.h>

#include <cstring>
#include <cwchar>
#include <stdexcept>
#include <utility>

#include "harness/common.h"

namespace k7::harness {

Process Process::Start(const std::string& exePath, const std::string& workDir,
                       const std::string& args) {
  std::string commandLine = "\"" + exePath + "\"";
  if (!args.empty()) commandLine += " " + args;
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workDir.c_str(), &si, &pi)) {
    ThrowLastError("cannot start " + exePath);
  }
  CloseHandle(pi.hThread);
  Process p;
  p.process_ = pi.hProcess;
  p.id_ = pi.dwProcessId;
  return p;
}

Process Process::Start(const std::wstring& exePath, const std::wstring& workDir) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workDir.c_str(), &si, &pi)) {
    ThrowLastError("cannot start a program by its wide path");
  }
  CloseHandle(pi.hThread);
  Process p;
  p.process_ = pi.hProcess;
  p.id_ = pi.dwProcessId;
  return p;
}

namespace {

// Octal escapes of every byte, for printf in a shell script: the command
// line then stays ASCII whatever the Unix names hold.
std::wstring OctalEscaped(const std::string& bytes) {
  std::wstring out;
  for (unsigned char c : bytes) {
    wchar_t escape[8];
    swprintf(escape, 8, L"\\%03o", c);
    out += escape;
  }
  return out;
}

std::string UnixPathOf(const std::wstring& dosPath) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  FARPROC proc = kernel != nullptr ? GetProcAddress(kernel, "wine_get_unix_file_name") : nullptr;
  if (proc == nullptr) throw std::runtime_error("not under Wine: no Unix paths");
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(proc));
  char* unix = toUnix(dosPath.c_str());
  if (unix == nullptr) throw std::runtime_error("no Unix path for a program to start");
  std::string out = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

// The process running exePath, opened; nullptr while there is none.
HANDLE OpenProcessRunning(const std::wstring& exePath, DWORD* pid) {
  const std::wstring name = exePath.substr(exePath.rfind(L'\\') + 1);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE found = nullptr;
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && found == nullptr;
       more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, name.c_str()) != 0) continue;
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID);
    if (process == nullptr) continue;
    wchar_t image[1024];
    DWORD length = ARRAYSIZE(image);
    if (QueryFullProcessImageNameW(process, 0, image, &length) &&
        lstrcmpiW(image, exePath.c_str()) == 0) {
      found = process;
      *pid = entry.th32ProcessID;
    } else {
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace

Process Process::StartUnderLocale(const std::wstring& exePath, const char* locale) {
  const size_t slash = exePath.rfind(L'\\');
  const std::string folder = UnixPathOf(exePath.substr(0, slash));
  const std::string name = UnixPathOf(exePath).substr(folder.size() + 1);
  // No quotes inside the script: the scratch folders hold no blanks.
  std::wstring commandLine = L"/bin/sh -c \"cd $(printf '" + OctalEscaped(folder) +
                             L"') && LC_ALL=" + std::wstring(locale, locale + strlen(locale)) +
                             L" exec wine ./$(printf '" + OctalEscaped(name) +
                             L"') </dev/null >/dev/null 2>&1\"";
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  // Wine runs a Unix program from CreateProcess without a process of its
  // own to hand back: the program is found by its path once it runs.
  if (!CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi)) {
    ThrowLastError("cannot start /bin/sh");
  }
  Process p;
  WaitUntil([&] { return (p.process_ = OpenProcessRunning(exePath, &p.id_)) != nullptr; }, kWaitMs,
            20);
  if (p.process_ == nullptr)
    throw std::runtime_error("the program started under a locale never ran");
  return p;
}

Process::Process(Process&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Release();
    process_ = std::exchange(other.process_, nullptr);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

Process::~Process() {
  Release();
}

void Process::Release() {
  if (process_ == nullptr) return;
  Terminate();
  CloseHandle(process_);
  process_ = nullptr;
  id_ = 0;
}

bool Process::Running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
  if (process_ == nullptr) return true;
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode != nullptr) GetExitCodeProcess(process_, exitCode);
  return true;
}

void Process::Terminate() {
  if (!Running()) return;
  TerminateProcess(process_, 1);
  WaitForSingleObject(process_, kWaitMs);
}

bool ProcessGone(DWORD pid) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (h == nullptr) return true;
  const bool gone = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
  CloseHandle(h);
  return gone;
}

}  // namespace k7::harness
