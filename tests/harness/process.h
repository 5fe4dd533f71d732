// A program started for a test, ended with the test whatever its outcome.
#pragma once

#include <windows.h>

#include <string>

namespace k7::harness {

class Process {
 public:
  // Starts exePath with workDir as its working directory; args follow the
  // quoted program name on the command line. Throws when it cannot start.
  static Process Start(const std::string& exePath, const std::string& workDir,
                       const std::string& args = "");
  // The same for names the ANSI code page cannot write.
  static Process Start(const std::wstring& exePath, const std::wstring& workDir);
  // Starts exePath in its own folder through a new "wine" whose Unix locale
  // is locale: Wine takes a process's ANSI code page from it ("C.UTF-8":
  // 1252, "zh_TW.UTF-8": 950), and a child inherits its parent's.
  static Process StartUnderLocale(const std::wstring& exePath, const char* locale);

  Process() = default;
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  // Terminates the program if it still runs.
  ~Process();

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_; }
  bool Running() const;

  // True when the program has ended within timeoutMs; its exit code then
  // goes to *exitCode.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);

  // Ends the program (if it runs) and waits until it is gone.
  void Terminate();

 private:
  void Release();

  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// True when a process with that id has ended (or never existed).
bool ProcessGone(DWORD pid);

}  // namespace k7::harness
