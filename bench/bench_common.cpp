#include "bench_common.h"

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace k7::bench {
namespace {

double Rank(const std::vector<double>& sorted, double p) {
  const size_t n = sorted.size();
  size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(n)));
  rank = std::clamp<size_t>(rank, 1, n);
  return sorted[rank - 1];
}

// One section of an INI text, header included, up to the next header.
std::string Section(const std::string& text, const std::string& name) {
  const std::string header = "[" + name + "]";
  const size_t start = text.find(header);
  if (start == std::string::npos) Fail("no section " + header);
  const size_t end = text.find("\r\n[", start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end + 2 - start);
}

void WriteWhole(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot write " + path);
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != text.size()) Fail("cannot write " + path);
}

// The system handle table (NtQuerySystemInformation class 16), as ntdll
// lays it out for a 32-bit process.
struct SystemHandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct SystemHandleTable {
  ULONG count;
  SystemHandleEntry entries[1];
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// How many handles process pid holds, from the system's table: under Wine
// GetProcessHandleCount always gives 0, this table does not.
DWORD CountSystemHandles(DWORD pid) {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  FARPROC proc = ntdll != nullptr ? GetProcAddress(ntdll, "NtQuerySystemInformation") : nullptr;
  if (proc == nullptr) return 0;
  auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(proc));
  std::vector<char> buffer(1 << 20);
  ULONG needed = 0;
  LONG status;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         &needed)) == kStatusInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return 0;
  const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
  DWORD n = 0;
  for (ULONG i = 0; i < table->count; ++i) n += table->entries[i].ownerPid == pid;
  return n;
}

}  // namespace

Summary Summarize(std::vector<double> values) {
  Summary s;
  s.n = values.size();
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  s.min = values.front();
  s.max = values.back();
  s.median = Rank(values, 0.5);
  s.p90 = Rank(values, 0.9);
  s.p99 = Rank(values, 0.99);
  return s;
}

void PrintSummary(const std::string& label, const Summary& s, const char* unit) {
  std::printf("%-44s n=%-5zu min=%8.3f median=%8.3f p90=%8.3f p99=%8.3f max=%8.3f %s\n",
              label.c_str(), s.n, s.min, s.median, s.p90, s.p99, s.max, unit);
  std::fflush(stdout);
}

LONGLONG Qpc() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

bool FromProgram(const harness::HookEvent& e) {
  return e.Injected() && e.extraInfo != harness::kHarnessExtraInfo;
}

void Fail(const std::string& what) {
  throw std::runtime_error(what);
}

int PositiveArg(int argc, char** argv, int n, int fallback) {
  const int value = argc > n ? std::atoi(argv[n]) : fallback;
  return value > 0 ? value : fallback;
}

int RunGuarded(const std::function<int()>& run) {
  try {
    return run();
  } catch (const std::exception& e) {
    std::printf("FAILED: %s\n", e.what());
    return 1;
  }
}

LONGLONG WaitForPressKeys(harness::HookRecorder& recorder) {
  LONGLONG firstKey = 0;
  const bool both = recorder.WaitFor([&](const std::vector<harness::HookEvent>& events) {
    int keys = 0;
    for (const harness::HookEvent& e : events) {
      if (!e.IsKey() || !FromProgram(e)) continue;
      if (keys++ == 0) firstKey = e.qpc;
    }
    return keys >= 2;
  });
  if (!both) Fail("no keys for a press within 5 s");
  return firstKey;
}

Rig::Rig(const Options& options, const std::string& simArgs) : dir_(options.label) {
  // Off before anything starts: a hotkey that is no keypad key would
  // otherwise come with a Num Lock correction.
  if (!harness::SetNumLock(false)) Fail("cannot switch Num Lock off");
  sim_ = std::make_unique<harness::RemoteSim>(K7_REMOTE_SIM_PATH, simArgs);
  if (sim_->Send("sleep 0") != "ok") Fail("remote-sim does not answer");
  program_ = std::make_unique<harness::Program>(dir_.Path(), harness::ProgramKind::kSim);
  if (options.prepare) options.prepare(*program_);
  program_->Start();
  if (!program_->WaitReady(10000)) Fail("the program did not finish its start-up");
  if (!WaitConnected()) Fail("the program did not connect to remote-sim");
  target_ = std::make_unique<harness::TargetApp>(dir_, options.frontExe);
  if (!target_->RequestForeground()) Fail(options.frontExe + " did not come to the front");
}

Rig::~Rig() {
  target_.reset();
  program_.reset();
  sim_.reset();
}

bool Rig::WaitConnected(DWORD timeoutMs) {
  int seen = 0;
  return harness::WaitUntil(
      [&] {
        seen = sim_->Send("wait-client 0") == "ok clients=1" ? seen + 1 : 0;
        return seen >= 3;
      },
      timeoutMs, 20);
}

void LayManyProfilesIn(const std::string& folder, int count) {
  const std::string golden = K7_TEST_DATA_DIR "/first_run/";
  for (const char* name : {"QVCtrl.ini", "UserDefInf.ini"}) {
    WriteWhole(folder + "\\" + name, harness::ReadFileShared(golden + name));
  }
  std::string text;
  char line[96];
  for (int i = 1; i < count; ++i) {
    std::snprintf(line, sizeof line, "[App%03d]\r\nFilePath=C:\\Apps\\App%03d.exe\r\n", i, i);
    text += line;
    std::snprintf(line, sizeof line, "ExeFile=App%03d.exe\r\n", i);
    text += line;
    for (int slot = 0; slot < 34; ++slot) {
      std::snprintf(line, sizeof line, "%d=0-F%d\r\n", slot, 1 + slot % 12);
      text += line;
    }
  }
  text += Section(harness::ReadFileShared(golden + "UserDef.ini"), "WinDVD");
  WriteWhole(folder + "\\UserDef.ini", text);
}

void LayManyProfiles(const harness::Program& program, int count) {
  const std::string userDef = program.IniPath("UserDef.ini");
  LayManyProfilesIn(userDef.substr(0, userDef.rfind('\\')), count);
}

ProcessCounters ReadCounters(HANDLE process) {
  ProcessCounters c;
  PROCESS_MEMORY_COUNTERS_EX m;
  ZeroMemory(&m, sizeof m);
  m.cb = sizeof m;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m)) {
    c.pagefileUsage = m.PagefileUsage;
    c.workingSet = m.WorkingSetSize;
    c.privateUsage = m.PrivateUsage;
  }
  GetProcessHandleCount(process, &c.handles);
  c.systemHandles = CountSystemHandles(GetProcessId(process));
  c.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  c.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  return c;
}

void PrintCounters(const char* label, const ProcessCounters& c) {
  auto kb = [](SIZE_T bytes) { return static_cast<unsigned long>(bytes / 1024); };
  std::printf(
      "%-16s pagefile=%7lu KB  working set=%7lu KB  private=%lu KB  handles: count=%lu "
      "table=%lu  gdi=%lu  user=%lu\n",
      label, kb(c.pagefileUsage), kb(c.workingSet), kb(c.privateUsage), c.handles, c.systemHandles,
      c.gdiObjects, c.userObjects);
  std::fflush(stdout);
}

}  // namespace k7::bench
