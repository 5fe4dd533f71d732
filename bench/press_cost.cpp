// Where the time of one press goes inside the program, without the pipe, the
// injection or another process: the reader's work for code 0x02 (match the
// foreground executable among the profiles, load the slots, read the caption)
// with the INI files as the program reads them now (one copy per file per
// press) and through one private-profile call per value, at 4, 25 and 100
// profiles; and the foreground executable's name, by image-path query with
// the handle kept and by process snapshot, and the read of its rights.
//
//   k7_bench_press_cost.exe [presses]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "base/text.h"
#include "bench_common.h"
#include "dispatch/dispatch.h"
#include "dispatch/foreground_match.h"
#include "dispatch/foreground_win32.h"
#include "profiles/ini_paths.h"
#include "profiles/ini_store_win32.h"
#include "profiles/press_ini_win32.h"

namespace k7::bench {
namespace {

class NullInput : public IInputSink {
 public:
  void Send(const InputBatch& events) override { keys += events.Size(); }
  bool IsNumLockOn() override { return false; }
  int keys = 0;
};

class NullLauncher : public ILauncher {
 public:
  bool PathExists(const char*) override { return false; }
  bool Start(const char*) override { return true; }
};

class FixedForeground : public IForegroundProcess {
 public:
  std::string ForegroundExeName() override { return "C:\\Program Files\\WinDVD\\WinDVD.exe"; }
};

// Every file too large to copy, so a press reads it through the API.
class NoCopies : public IWholeFileReader {
 public:
  FileBytes ReadWhole(const char*, size_t) override { return {IniFileState::kTooLarge, {}}; }
};

// The files' bytes as first read, handed out again without any I/O: what is
// left of a press when reading costs nothing.
class MemoryReader : public IWholeFileReader {
 public:
  FileBytes ReadWhole(const char* file, size_t maxBytes) override {
    for (const auto& [path, bytes] : files_) {
      if (path == file) return bytes;
    }
    files_.emplace_back(file, real_.ReadWhole(file, maxBytes));
    return files_.back().second;
  }

 private:
  Win32WholeFileReader real_;
  std::vector<std::pair<std::string, FileBytes>> files_;
};

// Microseconds of each call of f, after a warm-up.
template <typename F>
Summary Time(int n, F f) {
  for (int i = 0; i < 20; ++i) f();
  std::vector<double> us;
  us.reserve(n);
  for (int i = 0; i < n; ++i) {
    const LONGLONG t0 = Qpc();
    f();
    us.push_back(harness::QpcMs(t0, Qpc()) * 1000.0);
  }
  return Summarize(us);
}

void MeasureProfiles(const harness::ScratchDir& dir, int profiles, int presses) {
  const std::string folder = dir.Path() + "\\p" + std::to_string(profiles);
  CreateDirectoryA(folder.c_str(), nullptr);
  LayManyProfilesIn(folder, profiles);
  CopyBounded(g_szCtrlIniPath, (folder + "\\QVCtrl.ini").c_str());
  CopyBounded(g_szUserDefIniPath, (folder + "\\UserDef.ini").c_str());
  CopyBounded(g_szUserDefInfIniPath, (folder + "\\UserDefInf.ini").c_str());

  Win32IniStore api;
  Win32WholeFileReader reader;
  PressIniStore pressIni(reader, api);
  // A press whose files cannot be copied: every value through the API.
  NoCopies noCopies;
  PressIniStore apiIni(noCopies, api);
  FixedForeground foreground;
  NullInput input;
  NullLauncher launcher;

  {
    MemoryReader memory;
    PressIniStore memoryIni(memory, api);
    ForegroundProfileMatcher matcher(memoryIni, foreground);
    Dispatcher dispatcher({input, launcher, memoryIni, matcher, &memoryIni});
    const Summary s =
        Time(presses, [&] { dispatcher.DispatchRemoteButton(kCodePageDown, kMarker, 0); });
    char label[80];
    std::snprintf(label, sizeof label, "%d profiles, copies without I/O", profiles);
    PrintSummary(label, s, "us");
    for (const char* file : {g_szUserDefIniPath, g_szUserDefInfIniPath}) {
      Win32WholeFileReader reader1;
      const Summary r = Time(presses, [&] {
        reader1.ReadWhole(file, 1 << 24);
        reader1.EndPress();
      });
      std::snprintf(label, sizeof label, "%d profiles, read %s", profiles,
                    file == g_szUserDefIniPath ? "UserDef.ini" : "UserDefInf.ini");
      PrintSummary(label, r, "us");
    }
  }

  for (bool copy : {true, false}) {
    PressIniStore& ini = copy ? pressIni : apiIni;
    ForegroundProfileMatcher matcher(ini, foreground);
    Dispatcher dispatcher({input, launcher, ini, matcher, &ini});
    input.keys = 0;
    PressResult last;
    const Summary s =
        Time(presses, [&] { last = dispatcher.DispatchRemoteButton(kCodePageDown, kMarker, 0); });
    if (input.keys != 2 * (presses + 20) || std::string(last.caption.text) != "Next") {
      Fail("the press did not reach the WinDVD profile");
    }
    char label[80];
    std::snprintf(label, sizeof label, "%d profiles, %s", profiles,
                  copy ? "one copy per file" : "one API call per value");
    PrintSummary(label, s, "us");
  }
}

int Run(int presses) {
  std::printf("the reader's work for one press of code 0x%02X, %d presses each\n", kCodePageDown,
              presses);
  harness::ScratchDir dir("press-cost");
  for (int profiles : {4, 25, 100}) MeasureProfiles(dir, profiles, presses);

  // The name of a process in front: this one's own window is not needed, the
  // look-up is by process id.
  harness::TargetApp player(dir, "WinDVD.exe");
  const DWORD pid = player.Id();
  Win32ForegroundProcess quick;
  if (quick.ExeNameOf(pid) != "WinDVD.exe") Fail("the quick look-up named WinDVD.exe otherwise");
  PrintSummary("foreground name, handle kept", Time(presses, [&] { quick.ExeNameOf(pid); }), "us");
  PrintSummary("foreground name, open and query",
               Time(presses,
                    [&] {
                      Win32ForegroundProcess fresh;
                      fresh.ExeNameOf(pid);
                    }),
               "us");
  {
    // What the rights check adds when another process comes to the front.
    Win32ProcessNameCalls calls;
    HANDLE process = calls.Open(pid);
    if (process == nullptr) Fail("the player could not be opened");
    PrintSummary("rights of a new foreground process (token read)",
                 Time(presses, [&] { calls.Integrity(process, pid); }), "us");
    calls.Close(process);
  }
  PrintSummary("foreground name, snapshot",
               Time(presses,
                    [&] {
                      char name[MAX_PATH];
                      GetProcessExeName(pid, name, sizeof name);
                    }),
               "us");
  PrintSummary("GetForegroundWindow + thread id",
               Time(presses,
                    [&] {
                      DWORD id = 0;
                      GetWindowThreadProcessId(GetForegroundWindow(), &id);
                    }),
               "us");
  return 0;
}

}  // namespace
}  // namespace k7::bench

int main(int argc, char** argv) {
  const int presses = k7::bench::PositiveArg(argc, argv, 1, 1000);
  return k7::bench::RunGuarded([&] { return k7::bench::Run(presses); });
}
