// The foreground window's executable on the real system.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "dispatch/foreground_match.h"

namespace k7 {

// Walks a process snapshot for the id; the snapshot's szExeFile (a bare file
// name on most systems) goes into out. False when the id is not found.
bool GetProcessExeName(uint32_t processId, char* out, uint32_t size);

// The system calls that name a process, apart so that tests can make the
// quick one fail.
class IProcessNameCalls {
 public:
  virtual ~IProcessNameCalls() = default;
  // A handle that allows the image name query; nullptr when it cannot be had.
  virtual HANDLE Open(uint32_t processId) = 0;
  virtual void Close(HANDLE process) = 0;
  // Full path of the process's executable in an ANSI form that names it (its
  // short form when the code page cannot write its name); false when the
  // query fails or there is no such form.
  virtual bool ImagePath(HANDLE process, char* out, uint32_t size) = 0;
  // As GetProcessExeName.
  virtual bool SnapshotName(uint32_t processId, char* out, uint32_t size) = 0;
  // The integrity level of the process's token, read through the handle Open
  // gave (nullptr: this program's own).
  virtual TokenIntegrity Integrity(HANDLE process, uint32_t processId) = 0;
};

class Win32ProcessNameCalls : public IProcessNameCalls {
 public:
  HANDLE Open(uint32_t processId) override;
  void Close(HANDLE process) override;
  bool ImagePath(HANDLE process, char* out, uint32_t size) override;
  bool SnapshotName(uint32_t processId, char* out, uint32_t size) override;
  TokenIntegrity Integrity(HANDLE process, uint32_t processId) override;
};

// Names the process with its image path where it can (tens of microseconds),
// else with a process snapshot (milliseconds); both give the same file name.
// Keeps the last process it named open: while that handle is open the id
// cannot go to another process, so the same id at the next press needs no
// query at all, neither of the name nor of the rights it runs with. A process
// it cannot open is taken to accept input, as before. One thread at a time.
class Win32ForegroundProcess : public IForegroundProcess {
 public:
  Win32ForegroundProcess() : calls_(ownCalls_) {}
  explicit Win32ForegroundProcess(IProcessNameCalls& calls) : calls_(calls) {}
  ~Win32ForegroundProcess() override;
  Win32ForegroundProcess(const Win32ForegroundProcess&) = delete;
  Win32ForegroundProcess& operator=(const Win32ForegroundProcess&) = delete;

  std::string ForegroundExeName() override;
  bool ForegroundElevated() override { return heldElevated_; }
  // The name for one process id, as ForegroundExeName finds it: the
  // snapshot's szExeFile, or empty when the snapshot has no such process.
  std::string ExeNameOf(uint32_t processId);

 private:
  void Release();

  Win32ProcessNameCalls ownCalls_;
  IProcessNameCalls& calls_;
  HANDLE held_ = nullptr;
  uint32_t heldId_ = 0;
  std::string heldName_;
  bool heldElevated_ = false;
  bool ownRead_ = false;
  TokenIntegrity own_;
};

}  // namespace k7
