#include "harness/program.h"

#include <cstring>
#include <stdexcept>

#include "harness/remote_window.h"
#include "res/resource.h"

namespace k7::harness {
namespace {

struct EnumRequest {
  DWORD pid;
  const char* title;
  const char* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  auto* req = reinterpret_cast<EnumRequest*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != req->pid) return TRUE;
  char text[256];
  if (req->title != nullptr) {
    GetWindowTextA(hwnd, text, sizeof text);
    if (std::strcmp(text, req->title) != 0) return TRUE;
  }
  if (req->className != nullptr) {
    GetClassNameA(hwnd, text, sizeof text);
    if (std::strcmp(text, req->className) != 0) return TRUE;
  }
  req->found.push_back(hwnd);
  return TRUE;
}

constexpr char kDialogClass[] = "#32770";

}  // namespace

std::string ProgramExePath(ProgramKind kind) {
  return DosPathOf(kind == ProgramKind::kHid ? K7_PROGRAM_PATH : K7_PROGRAM_SIM_PATH);
}

std::string ProgramExeName(ProgramKind kind) {
  const std::string path = ProgramExePath(kind);
  return path.substr(path.find_last_of('\\') + 1);
}

std::vector<HWND> ProcessWindows(DWORD pid, const char* title, const char* className) {
  EnumRequest req{pid, title, className, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&req));
  return req.found;
}

Program::Program(const std::string& dir, ProgramKind kind) : dir_(dir) {
  exePath_ = dir_ + "\\" + ProgramExeName(kind);
  const std::string source = ProgramExePath(kind);
  if (!CopyFileA(source.c_str(), exePath_.c_str(), FALSE)) {
    ThrowLastError("cannot copy " + source + " to " + exePath_);
  }
}

void Program::CopyIniIn(const std::string& source, const std::string& name) const {
  const std::string dest = IniPath(name);
  if (!CopyFileA(source.c_str(), dest.c_str(), FALSE)) {
    ThrowLastError("cannot copy " + source + " to " + dest);
  }
}

void Program::Start(const std::string& workDir) {
  if (process_.Running()) throw std::logic_error("the program already runs");
  process_ = Process::Start(exePath_, workDir.empty() ? dir_ : workDir);
}

void Program::StartUnderLocale(const char* locale) {
  if (process_.Running()) throw std::logic_error("the program already runs");
  process_ = Process::StartUnderLocale(LongPathOf(exePath_), locale);
}

HWND Program::MainWindow() const {
  if (!process_.Running()) return nullptr;
  const std::vector<HWND> found = ProcessWindows(process_.Id(), kProgramTitle, kDialogClass);
  return found.empty() ? nullptr : found.front();
}

HWND Program::WaitForMainWindow(DWORD timeoutMs) const {
  HWND hwnd = nullptr;
  WaitUntil([&] { return (hwnd = MainWindow()) != nullptr; }, timeoutMs, 5);
  return hwnd;
}

bool Program::WaitReady(DWORD timeoutMs) const {
  // The profile list is filled at the end of start-up, and the count is
  // answered only once the thread pumps messages again. The window exists
  // before its controls do: look the box up each time.
  return WaitUntil(
      [&] {
        HWND main = MainWindow();
        HWND combo = main != nullptr ? GetDlgItem(main, IDC_PROFILE) : nullptr;
        if (combo == nullptr) return false;
        bool answered = false;
        const LRESULT n = SendTo(combo, CB_GETCOUNT, 0, 0, 1000, &answered);
        return answered && n > 0;
      },
      timeoutMs, 10);
}

bool Program::Command(TrayCommand command, DWORD timeoutMs) const {
  return Send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), 0, timeoutMs);
}

bool Program::Send(UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs) const {
  HWND main = MainWindow();
  if (main == nullptr) return false;
  bool delivered = false;
  SendTo(main, msg, wp, lp, timeoutMs, &delivered);
  return delivered;
}

bool Program::Post(UINT msg, WPARAM wp, LPARAM lp) const {
  HWND main = MainWindow();
  return main != nullptr && PostTo(main, msg, wp, lp);
}

HWND Program::Notice() const {
  if (!process_.Running()) return nullptr;
  for (HWND hwnd : ProcessWindows(process_.Id(), nullptr, kDialogClass)) {
    char title[256] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    if (IsWindowVisible(hwnd) && std::strcmp(title, kProgramTitle) != 0) return hwnd;
  }
  return nullptr;
}

HWND Program::WaitForNotice(DWORD timeoutMs) const {
  HWND hwnd = nullptr;
  WaitUntil([&] { return (hwnd = Notice()) != nullptr; }, timeoutMs, 5);
  return hwnd;
}

std::string Program::NoticeText(HWND notice) {
  HWND label = FindWindowExA(notice, nullptr, "Static", nullptr);
  if (label == nullptr) return std::string();
  return ReadWindowText(label).value_or(std::string());
}

bool Program::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
  return process_.WaitForExit(timeoutMs, exitCode);
}

std::string Program::IniPath(const std::string& name) const {
  return dir_ + "\\" + name;
}

std::string Program::IniValue(const std::string& file, const char* section, const char* key,
                              const char* fallback) const {
  char value[1024] = "";
  GetPrivateProfileStringA(section, key, fallback, value, sizeof value, IniPath(file).c_str());
  return value;
}

}  // namespace k7::harness
