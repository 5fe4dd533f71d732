#include "harness/target_app.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "harness/remote_window.h"

namespace k7::harness {
namespace {

constexpr DWORD kRetryMs = 500;

}  // namespace

std::ostream& operator<<(std::ostream& os, const TargetLogEntry& e) {
  for (const TargetMessageName& m : kTargetMessages) {
    if (m.message != e.message) continue;
    char buf[64];
    if (m.mouse) {
      std::snprintf(buf, sizeof buf, "%s %d %d", m.name, e.x, e.y);
    } else {
      std::snprintf(buf, sizeof buf, "%s %02X", m.name, e.vk);
    }
    return os << buf;
  }
  return os << "message 0x" << std::hex << e.message << std::dec;
}

std::vector<TargetLogEntry> ParseTargetLog(const std::vector<std::string>& lines) {
  std::vector<TargetLogEntry> out;
  for (const std::string& line : lines) {
    const size_t space = line.find(' ');
    const std::string name = line.substr(0, space);
    const TargetMessageName* known = nullptr;
    for (const TargetMessageName& m : kTargetMessages) {
      if (name == m.name) known = &m;
    }
    TargetLogEntry e;
    const char* args = space == std::string::npos ? "" : line.c_str() + space + 1;
    const bool parsed =
        known != nullptr && (known->mouse ? std::sscanf(args, "%d %d", &e.x, &e.y) == 2
                                          : std::sscanf(args, "%x", &e.vk) == 1);
    if (!parsed) throw std::runtime_error("unexpected target log line: " + line);
    e.message = known->message;
    out.push_back(e);
  }
  return out;
}

TargetApp::TargetApp(const ScratchDir& dir, const std::string& exeName) {
  const std::string exe = dir.CopyHelper(HelperExe::kTargetApp, exeName);
  const size_t dot = exeName.find_last_of('.');
  logPath_ = dir.File(exeName.substr(0, dot) + ".log");
  process_ = Process::Start(exe, dir.Path());
  hwnd_ = WaitForProcessWindow(process_.Id(), exeName.c_str(), kTargetWindowClass);
  if (hwnd_ == nullptr) throw std::runtime_error("no window of " + exeName + " appeared");
}

TargetApp::TargetApp(const std::wstring& exePath) {
  process_ = Process::Start(exePath, exePath.substr(0, exePath.rfind(L'\\')));
  hwnd_ = WaitForProcessWindow(process_.Id(), nullptr, kTargetWindowClass);
  if (hwnd_ == nullptr) throw std::runtime_error("no window of a wide-named target appeared");
}

std::vector<TargetLogEntry> TargetApp::Log() const {
  if (logPath_.empty()) return {};
  return ParseTargetLog(SplitCompleteLines(ReadFileShared(logPath_)));
}

std::vector<TargetLogEntry> TargetApp::KeyLog() const {
  std::vector<TargetLogEntry> keys;
  for (const TargetLogEntry& e : Log()) {
    if (e.IsKey()) keys.push_back(e);
  }
  return keys;
}

bool TargetApp::WaitForKeyLog(size_t n, DWORD timeoutMs) const {
  return WaitUntil([&] { return KeyLog().size() >= n; }, timeoutMs, 10);
}

bool TargetApp::RequestForeground(DWORD timeoutMs) {
  const UINT msg = RegisterWindowMessageA(kTargetForegroundMessage);
  if (msg == 0) return false;
  // Under Wine an activation still on its way from the X server can take the
  // foreground back from us: ask again until it stays. Sent, not posted: the
  // application answers once it has also taken in its X focus.
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  do {
    bool answered = false;
    SendTo(hwnd_, msg, 0, 0, timeoutMs, &answered);
    if (!answered) return false;
    if (WaitForeground(kRetryMs)) return true;
  } while (GetTickCount64() < deadline);
  return false;
}

bool TargetApp::WaitForeground(DWORD timeoutMs) const {
  return WaitForForeground(hwnd_, timeoutMs);
}

}  // namespace k7::harness
