// What the program benchmarks share: figures (median and percentiles), the
// program connected to the virtual receiver with a player window in front,
// and the process counters read from outside.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/hook_recorder.h"
#include "harness/program.h"
#include "harness/remote_sim_driver.h"

namespace k7::bench {

// The code the built-in "WinDVD" profile turns into Page Down.
constexpr unsigned kCodePageDown = 0x02;

struct Summary {
  size_t n = 0;
  double min = 0, median = 0, p90 = 0, p99 = 0, max = 0;
};

// Nearest-rank percentiles of the values.
Summary Summarize(std::vector<double> values);
// One line: label, count, min, median, p90, p99, max.
void PrintSummary(const std::string& label, const Summary& s, const char* unit);

LONGLONG Qpc();

// A key or mouse event the program injected (the harness tags its own).
bool FromProgram(const harness::HookEvent& e);

// Fails the benchmark with a message.
[[noreturn]] void Fail(const std::string& what);

// The n-th command-line argument when it is a positive number, else fallback.
int PositiveArg(int argc, char** argv, int n, int fallback);
// Runs a benchmark: a failure is printed as "FAILED: ..." and gives 1.
int RunGuarded(const std::function<int()>& run);

// Waits until the program has injected a press's down and up keys (5 s at
// most) and gives the hook's time stamp of the first; fails without them.
LONGLONG WaitForPressKeys(harness::HookRecorder& recorder);

// The program (sim variant) in a scratch directory, connected to remote-sim,
// with a target window in front.
class Rig {
 public:
  struct Options {
    std::string label;
    // Called with the copied program before it starts (to lay INI files beside it).
    std::function<void(const harness::Program&)> prepare;
    std::string frontExe = "WinDVD.exe";
  };
  // simArgs: remote-sim's command-line options.
  explicit Rig(const Options& options, const std::string& simArgs = "");
  ~Rig();
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  harness::ScratchDir& dir() { return dir_; }
  harness::RemoteSim& sim() { return *sim_; }
  harness::Program& program() { return *program_; }
  harness::TargetApp& target() { return *target_; }

  // Waits until the simulator counts one client a few times in a row.
  bool WaitConnected(DWORD timeoutMs = harness::kWaitMs);

 private:
  harness::ScratchDir dir_;
  std::unique_ptr<harness::RemoteSim> sim_;
  std::unique_ptr<harness::Program> program_;
  std::unique_ptr<harness::TargetApp> target_;
};

// Lays the built-in INI files beside the program, with a "UserDef.ini" of
// count profiles: count - 1 that match no running program, then "WinDVD".
void LayManyProfiles(const harness::Program& program, int count);
// The same files in a folder of the caller's choosing.
void LayManyProfilesIn(const std::string& folder, int count);

// The counters of another process that the soak compares.
struct ProcessCounters {
  SIZE_T pagefileUsage = 0;  // committed private bytes
  SIZE_T workingSet = 0;
  SIZE_T privateUsage = 0;
  DWORD handles = 0;        // GetProcessHandleCount
  DWORD systemHandles = 0;  // the process's entries in the system handle table
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
};
ProcessCounters ReadCounters(HANDLE process);
void PrintCounters(const char* label, const ProcessCounters& c);

}  // namespace k7::bench
