// CPU time of other processes as the Linux host counts it, read from /proc
// through Wine's Z: drive. Under Wine 8 GetProcessTimes on another process
// is a stub (user time stays 0, kernel time never moves), and GetThreadTimes
// misses threads that have ended; /proc is what Wine itself would read.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace k7::bench {

struct HostCpu {
  double runMs = 0;  // time on a CPU of the threads alive now (schedstat, ns)
  // The whole process, ended threads included, in 10 ms clock ticks.
  double userMs = 0;
  double kernelMs = 0;
  std::vector<std::string> threads;  // host thread ids, sorted
};

// The host process id of the Wine process started as windowsExePath (its
// command line's first word) in this Wine prefix; 0 unless exactly one.
int HostPidOf(const std::string& windowsExePath);
// The host process id of this Wine prefix's wineserver; 0 unless exactly one.
int WineserverHostPid();

// nullopt when the process has gone or /proc cannot be read.
std::optional<HostCpu> ReadHostCpu(int hostPid);

}  // namespace k7::bench
