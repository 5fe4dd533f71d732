#include "host_cpu.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <sstream>

namespace k7::bench {
namespace {

// Linux reports utime and stime in USER_HZ ticks, 100 a second on x86.
constexpr double kMsPerTick = 10.0;

std::string ProcPath(const std::string& relative) {
  std::string path = "Z:\\proc\\" + relative;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The whole of a /proc file (they report a size of 0, so read to the end).
std::optional<std::string> ReadProc(const std::string& relative) {
  HANDLE file = CreateFileA(ProcPath(relative).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string text;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(file, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
  CloseHandle(file);
  return text;
}

// Names of the numeric entries of a /proc directory.
std::vector<std::string> NumericEntries(const std::string& relative) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((ProcPath(relative) + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) {
      names.push_back(name);
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

// The NUL-separated strings of cmdline or environ.
std::vector<std::string> Strings(const std::string& text) {
  std::vector<std::string> out;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\0', start), text.size());
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

// The prefix decides which Wine session a host process belongs to: other
// sessions (other prefixes) may run programs of the same name at the same time.
bool InOurPrefix(const std::string& pid) {
  char ours[MAX_PATH] = {};
  GetEnvironmentVariableA("WINEPREFIX", ours, sizeof ours);
  const std::optional<std::string> env = ReadProc(pid + "/environ");
  if (!env) return false;
  std::string theirs;
  for (const std::string& var : Strings(*env)) {
    if (var.rfind("WINEPREFIX=", 0) == 0) theirs = var.substr(11);
  }
  return theirs == ours;
}

int OnlyMatch(const std::function<bool(const std::string&)>& matches) {
  int found = 0;
  int count = 0;
  for (const std::string& pid : NumericEntries("")) {
    if (matches(pid) && InOurPrefix(pid)) {
      found = std::atoi(pid.c_str());
      ++count;
    }
  }
  return count == 1 ? found : 0;
}

}  // namespace

int HostPidOf(const std::string& windowsExePath) {
  return OnlyMatch([&](const std::string& pid) {
    const std::optional<std::string> cmdline = ReadProc(pid + "/cmdline");
    if (!cmdline) return false;
    const std::vector<std::string> args = Strings(*cmdline);
    return !args.empty() && lstrcmpiA(args[0].c_str(), windowsExePath.c_str()) == 0;
  });
}

int WineserverHostPid() {
  return OnlyMatch([](const std::string& pid) {
    const std::optional<std::string> comm = ReadProc(pid + "/comm");
    return comm && comm->rfind("wineserver", 0) == 0;
  });
}

std::optional<HostCpu> ReadHostCpu(int hostPid) {
  const std::string pid = std::to_string(hostPid);
  const std::optional<std::string> stat = ReadProc(pid + "/stat");
  if (!stat) return std::nullopt;
  // Fields after the command name (which may hold blanks and parentheses):
  // state is field 3, utime 14, stime 15.
  const size_t close = stat->rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(stat->substr(close + 1));
  std::string field;
  HostCpu cpu;
  for (int n = 3; n <= 15 && fields >> field; ++n) {
    if (n == 14) cpu.userMs = std::atof(field.c_str()) * kMsPerTick;
    if (n == 15) cpu.kernelMs = std::atof(field.c_str()) * kMsPerTick;
  }
  if (!fields) return std::nullopt;
  cpu.threads = NumericEntries(pid + "/task");
  std::sort(cpu.threads.begin(), cpu.threads.end());
  for (const std::string& tid : cpu.threads) {
    // The first field is the time on a CPU in nanoseconds.
    const std::optional<std::string> schedstat = ReadProc(pid + "/task/" + tid + "/schedstat");
    if (schedstat) cpu.runMs += std::atof(schedstat->c_str()) / 1e6;
  }
  return cpu;
}

}  // namespace k7::bench
