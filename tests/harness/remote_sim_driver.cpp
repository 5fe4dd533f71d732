#include "harness/remote_sim_driver.h"

#include <cstdlib>
#include <stdexcept>

namespace k7::harness {
namespace {

void CloseIf(HANDLE& h) {
  if (h != nullptr) CloseHandle(h);
  h = nullptr;
}

}  // namespace

RemoteSim::RemoteSim(const std::string& exePath, const std::string& args) {
  const std::string exe = DosPathOf(exePath.c_str());
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE childIn = nullptr;
  HANDLE childOut = nullptr;
  if (!CreatePipe(&childIn, &input_, &inherit, 0) ||
      !CreatePipe(&output_, &childOut, &inherit, 0)) {
    ThrowLastError("CreatePipe");
  }
  // Only the child's ends may be inherited.
  SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);

  std::string commandLine = "\"" + exe + "\"";
  if (!args.empty()) commandLine += " " + args;
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = childIn;
  si.hStdOutput = childOut;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  const BOOL started = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  const DWORD error = GetLastError();
  CloseHandle(childIn);
  CloseHandle(childOut);
  if (!started) {
    CloseIf(input_);
    CloseIf(output_);
    SetLastError(error);
    ThrowLastError("cannot start " + exe);
  }
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  id_ = pi.dwProcessId;
}

RemoteSim::~RemoteSim() {
  CloseInput();
  if (!WaitForExit(kWaitMs)) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kWaitMs);
  }
  CloseIf(output_);
  CloseIf(process_);
}

void RemoteSim::Write(const std::string& text) {
  if (input_ == nullptr) throw std::runtime_error("remote-sim: input already closed");
  DWORD n = 0;
  if (!WriteFile(input_, text.data(), static_cast<DWORD>(text.size()), &n, nullptr) ||
      n != text.size()) {
    ThrowLastError("writing to remote-sim");
  }
}

std::optional<std::string> RemoteSim::ReadLine(DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const size_t end = received_.find('\n');
    if (end != std::string::npos) {
      std::string line = received_.substr(0, end);
      received_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (outputEnded_) return std::nullopt;
    // Anonymous pipes have no overlapped reads: peek, and read only what is there.
    DWORD available = 0;
    if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr)) {
      outputEnded_ = true;
      continue;
    }
    if (available > 0) {
      std::string chunk(available, '\0');
      DWORD n = 0;
      if (!ReadFile(output_, chunk.data(), available, &n, nullptr)) {
        outputEnded_ = true;
        continue;
      }
      received_.append(chunk, 0, n);
      continue;
    }
    if (GetTickCount64() >= deadline) return std::nullopt;
    Sleep(1);
  }
}

std::string RemoteSim::Send(const std::string& command, DWORD timeoutMs) {
  Write(command + "\n");
  std::optional<std::string> answer = ReadLine(timeoutMs);
  if (!answer) throw std::runtime_error("remote-sim: no answer to \"" + command + "\"");
  return *answer;
}

int RemoteSim::Press(unsigned code, unsigned repeat, LONGLONG* writeQpc) {
  const std::string answer =
      Send("press " + std::to_string(code) + " " + std::to_string(repeat), kWaitMs);
  const std::string prefix = "ok sent=";
  if (answer.compare(0, prefix.size(), prefix) != 0) return -1;
  const int sent = std::stoi(answer.substr(prefix.size()));
  if (writeQpc != nullptr) {
    const size_t field = answer.find(" qpc=");
    if (field == std::string::npos) return -1;
    const char* digits = answer.c_str() + field + 5;
    char* end = nullptr;
    *writeQpc = std::strtoll(digits, &end, 10);
    if (end == digits || (*end != '\0' && *end != ' ')) return -1;
  }
  return sent;
}

void RemoteSim::CloseInput() {
  CloseIf(input_);
}

bool RemoteSim::Running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool RemoteSim::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode != nullptr) GetExitCodeProcess(process_, exitCode);
  return true;
}

}  // namespace k7::harness
