#include "harness/process.h"

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
