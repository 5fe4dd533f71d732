// Driving the real program (K7F3.exe or its sim variant K7F3-sim.exe) from a
// test or a benchmark: a copy of it in a scratch directory, started with any
// working directory, reached through its hidden main window, and ended with
// the test whatever the outcome.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/common.h"
#include "harness/process.h"

namespace k7::harness {

enum class ProgramKind {
  kHid,  // K7F3.exe: looks for the USB receiver among the HID devices
  kSim,  // K7F3-sim.exe: reads the pipe that remote-sim serves
};

// Title of the main window: a second copy ends when it finds one.
constexpr char kProgramTitle[] = "Quorvan K7F3 v2.1";
// Text of the receiver-missing notice.
constexpr char kReceiverMissingText[] = "Can not find TX880 Device K7F3";
// The INI files the program keeps beside its executable.
constexpr const char* kProgramIniFiles[] = {"QVCtrl.ini", "UserDef.ini", "UserDefInf.ini"};

// Commands of the tray menu, sent to the main window as WM_COMMAND.
enum class TrayCommand : WORD {
  kOpen = 201,
  kReload = 202,
  kDisable = 203,
  kEnable = 204,
  kExit = 205,
};

// Absolute Windows path of the program as built.
std::string ProgramExePath(ProgramKind kind);
// File name the program is built under ("K7F3.exe", "K7F3-sim.exe").
std::string ProgramExeName(ProgramKind kind);

// Top-level windows of process pid, hidden ones included, whose title and
// class equal the given ones (a null one matches anything).
std::vector<HWND> ProcessWindows(DWORD pid, const char* title, const char* className);

class Program {
 public:
  // Copies the program into dir (an absolute Windows path) under its own
  // name; nothing runs yet.
  Program(const std::string& dir, ProgramKind kind);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  // Kills the program if it still runs.
  ~Program() = default;

  // Copies an INI file in beside the program, under the given name.
  void CopyIniIn(const std::string& source, const std::string& name) const;

  // Starts it with workDir as its current directory (its own directory when
  // empty); throws when it cannot start.
  void Start(const std::string& workDir = "");
  // Starts it in its own folder, named by its long path (dir may be a short
  // one), under a Unix locale that sets its ANSI code page (see
  // Process::StartUnderLocale).
  void StartUnderLocale(const char* locale);

  const std::string& Dir() const { return dir_; }
  const std::string& ExePath() const { return exePath_; }
  DWORD Id() const { return process_.Id(); }
  Process& process() { return process_; }
  bool Running() const { return process_.Running(); }

  // The main window, hidden or not; nullptr while it does not exist.
  HWND MainWindow() const;
  HWND WaitForMainWindow(DWORD timeoutMs = kWaitMs) const;

  // Waits until start-up is over: the main window has run its start-up (the
  // profile list is filled, the receiver connected or given up) and pumps
  // messages again. False on timeout, and always with INI files that hold no
  // profile at all.
  bool WaitReady(DWORD timeoutMs = kWaitMs) const;

  // A tray command through SendMessageTimeout; true when the window answered
  // within timeoutMs.
  bool Command(TrayCommand command, DWORD timeoutMs = kWaitMs) const;
  // Any message to the main window, sent with a timeout or posted; true when
  // answered in time (Send) or queued (Post).
  bool Send(UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs = kWaitMs) const;
  bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

  // A visible dialog of the process other than the main window (the notice
  // is the only one the program shows on its own); nullptr when none shows.
  HWND Notice() const;
  HWND WaitForNotice(DWORD timeoutMs = kWaitMs) const;
  // Text of the notice's static control; empty when it cannot be read.
  static std::string NoticeText(HWND notice);

  // True when the process has ended within timeoutMs; its exit code goes to
  // *exitCode.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
  void Kill() { process_.Terminate(); }

  // Absolute path of one of the program's INI files, beside the executable.
  std::string IniPath(const std::string& name) const;
  // A value of one of its INI files; fallback when the key is missing.
  std::string IniValue(const std::string& file, const char* section, const char* key,
                       const char* fallback = "") const;

 private:
  std::string dir_;
  std::string exePath_;
  Process process_;
};

}  // namespace k7::harness
