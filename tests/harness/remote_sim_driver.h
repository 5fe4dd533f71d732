// Driving tools/remote-sim (the virtual receiver) from a test: started with
// pipes on its standard input and output, one command line in, one answer
// line out. See docs/VIRTUAL-RECEIVER.md.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "harness/common.h"

namespace k7::harness {

class RemoteSim {
 public:
  // Starts remote-sim.exe (a Windows path, or the Unix path the build knows
  // it by) with args; throws when it cannot start.
  explicit RemoteSim(const std::string& exePath, const std::string& args = "");
  // Ends its input and gives it a moment to unplug and exit; terminates it
  // otherwise.
  ~RemoteSim();
  RemoteSim(const RemoteSim&) = delete;
  RemoteSim& operator=(const RemoteSim&) = delete;

  // Sends one command and returns its answer without the line end. Throws
  // std::runtime_error when no answer comes within timeoutMs. Blank and
  // comment lines get no answer: send those with Write.
  std::string Send(const std::string& command, DWORD timeoutMs = kWaitMs);
  // "press CODE REPEAT"; the N of "ok sent=N", or -1 for any other answer.
  // With writeQpc, the simulator must have been started with --stamp: the T
  // of its "qpc=T" goes there, and an answer without one gives -1.
  int Press(unsigned code, unsigned repeat = 0, LONGLONG* writeQpc = nullptr);

  // Writes text as it is and waits for nothing.
  void Write(const std::string& text);
  // The next answer line; nullopt when none came within timeoutMs or the
  // output has ended.
  std::optional<std::string> ReadLine(DWORD timeoutMs = kWaitMs);

  // End of input: the simulator unplugs and exits.
  void CloseInput();
  bool Running() const;
  // True when it has exited within timeoutMs; its exit code goes to *exitCode.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
  DWORD Id() const { return id_; }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  HANDLE input_ = nullptr;   // our end of its standard input
  HANDLE output_ = nullptr;  // our end of its standard output
  std::string received_;     // output not yet returned as lines
  bool outputEnded_ = false;
};

}  // namespace k7::harness
