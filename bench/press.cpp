// One press, from the moment its report enters the pipe to the first key a
// low-level hook sees, for the floor program (bench/floor.cpp: read, then
// keybd_event, nothing else) and for the program with 4, 25 and 100 profiles
// where the match is the last one; and the CPU time the receiving process
// spends per press, as the host counts it.
//
//   k7_bench_press.exe [presses] [rounds]
//
// Each receiver gets the presses in rounds (default 4 rounds of 250), the
// receivers taking turns, so that a change in the machine's load over the run
// falls on all of them alike. Only one receiver runs at a time: remote-sim
// writes each report to every client.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "bench_common.h"
#include "host_cpu.h"

namespace k7::bench {
namespace {

// After a press's keys the program may still work on it (the caption):
// pausing this long lets every press find it idle.
constexpr DWORD kIdleMs = 25;
constexpr int kWarmUpPresses = 20;
// Before the idle sample: the caption hides 1 s after the last press.
constexpr DWORD kSettleMs = 1500;
constexpr DWORD kIdleSampleMs = 2000;

constexpr double kGoalProgramToFloor = 2.0;
constexpr double kGoalManyToFew = 1.2;

struct Config {
  const char* label;
  int profiles;  // 0: the floor program
};
constexpr Config kConfigs[] = {
    {"floor", 0}, {"4 profiles", 4}, {"25 profiles", 25}, {"100 profiles", 100}};
constexpr size_t kConfigCount = sizeof kConfigs / sizeof kConfigs[0];

// CPU time of one process over a stretch of time.
struct CpuSpan {
  double runMs = 0;
  double userMs = 0;
  double kernelMs = 0;
  double wallMs = 0;
  bool known = false;
  bool coarse = false;  // a thread ended: runMs comes from the 10 ms ticks
};

// The spans of several rounds; known only when every one of them is.
struct CpuTotal {
  CpuSpan sum;
  int spans = 0;
  bool allKnown = true;

  void Add(const CpuSpan& s) {
    sum.runMs += s.runMs;
    sum.userMs += s.userMs;
    sum.kernelMs += s.kernelMs;
    sum.wallMs += s.wallMs;
    sum.coarse = sum.coarse || s.coarse;
    allKnown = allKnown && s.known;
    ++spans;
  }
  bool Known() const { return spans > 0 && allKnown; }
  // Run time per press, and what the same time would cost idle.
  double PerPress(double presses) const { return sum.runMs / presses; }
  double IdleShare(const CpuTotal& idle, double presses) const {
    if (!idle.Known() || idle.sum.wallMs <= 0) return 0;
    return idle.sum.runMs / idle.sum.wallMs * sum.wallMs / presses;
  }
};

struct CpuMark {
  std::optional<HostCpu> cpu;
  LONGLONG qpc = 0;
};

CpuMark Mark(int hostPid) {
  CpuMark m;
  if (hostPid != 0) m.cpu = ReadHostCpu(hostPid);
  m.qpc = Qpc();
  return m;
}

CpuSpan Between(const CpuMark& a, const CpuMark& b) {
  CpuSpan s;
  s.wallMs = harness::QpcMs(a.qpc, b.qpc);
  if (!a.cpu || !b.cpu) return s;
  s.known = true;
  s.userMs = b.cpu->userMs - a.cpu->userMs;
  s.kernelMs = b.cpu->kernelMs - a.cpu->kernelMs;
  // Only live threads have a run time of their own; an ended thread's time
  // survives only in the process's tick counts.
  bool ended = false;
  for (const std::string& tid : a.cpu->threads) {
    ended = ended || !std::binary_search(b.cpu->threads.begin(), b.cpu->threads.end(), tid);
  }
  s.coarse = ended;
  s.runMs = ended ? s.userMs + s.kernelMs : b.cpu->runMs - a.cpu->runMs;
  return s;
}

struct Totals {
  std::vector<double> latencyMs;
  std::vector<double> roundMedians;
  CpuTotal receiver, receiverIdle, server, serverIdle;
};

// The keys a press must have brought, and nothing more: Page Down, down then up.
void CheckPressKeys(const std::vector<harness::HookEvent>& events, const char* when) {
  std::vector<harness::HookEvent> keys;
  for (const harness::HookEvent& e : events) {
    if (e.IsKey() && FromProgram(e)) keys.push_back(e);
  }
  if (keys.size() > 2) Fail(std::string("a key while none was expected (") + when + ")");
  if (keys.size() < 2) Fail(std::string("a key of a press is missing (") + when + ")");
  if (keys[0].vkCode != VK_NEXT || keys[0].KeyUp() || keys[1].vkCode != VK_NEXT ||
      !keys[1].KeyUp()) {
    Fail(std::string("a press became other keys than Page Down down and up (") + when + ")");
  }
}

// Presses once; the latency from the report's write to its first key, in ms.
double PressOnce(harness::RemoteSim& sim, harness::HookRecorder& recorder, bool first) {
  Sleep(kIdleMs);
  // The previous press's keys, and whatever came during the pause.
  if (!first) CheckPressKeys(recorder.Snapshot(), "after a press");
  recorder.Clear();
  LONGLONG written = 0;
  const LONGLONG asked = Qpc();
  const int sent = sim.Press(kCodePageDown, 0, &written);
  const LONGLONG answered = Qpc();
  if (sent != 1) Fail("remote-sim delivered the report to " + std::to_string(sent) + " clients");
  // A stamp outside the command that made it: the counters of the two
  // processes cannot be compared, and neither can the figures.
  if (written < asked || written > answered) Fail("remote-sim's write stamp is out of order");
  const LONGLONG firstKey = WaitForPressKeys(recorder);
  if (firstKey < written) Fail("a key came before its report was written");
  return harness::QpcMs(written, firstKey);
}

// The presses of one round on a receiver that is connected, with the target
// in front; the receiver's process is found on the host by its executable.
void Block(harness::RemoteSim& sim, const std::string& exePath, int presses, bool sampleIdle,
           int serverPid, harness::HookRecorder& recorder, Totals* totals) {
  const int receiverPid = HostPidOf(exePath);
  if (!recorder.Flush()) Fail("the hook recorder does not answer");
  for (const harness::HookEvent& e : recorder.Snapshot()) {
    if (e.IsKey() && FromProgram(e)) Fail("a key before the first press: " + harness::Describe(e));
  }
  for (int i = 0; i < kWarmUpPresses; ++i) PressOnce(sim, recorder, i == 0);
  if (sampleIdle) {
    Sleep(kSettleMs);
    const CpuMark r0 = Mark(receiverPid), s0 = Mark(serverPid);
    Sleep(kIdleSampleMs);
    const CpuMark r1 = Mark(receiverPid), s1 = Mark(serverPid);
    totals->receiverIdle.Add(Between(r0, r1));
    totals->serverIdle.Add(Between(s0, s1));
  }
  std::vector<double> latency;
  const CpuMark r0 = Mark(receiverPid), s0 = Mark(serverPid);
  // The warm-up's last keys are checked with the first press.
  for (int i = 0; i < presses; ++i) latency.push_back(PressOnce(sim, recorder, false));
  Sleep(kIdleMs);
  const CpuMark r1 = Mark(receiverPid), s1 = Mark(serverPid);
  if (!recorder.Flush()) Fail("the hook recorder does not answer");
  CheckPressKeys(recorder.Snapshot(), "after the last press");
  recorder.Clear();
  totals->receiver.Add(Between(r0, r1));
  totals->server.Add(Between(s0, s1));
  totals->roundMedians.push_back(Summarize(latency).median);
  totals->latencyMs.insert(totals->latencyMs.end(), latency.begin(), latency.end());
}

bool WaitOneClient(harness::RemoteSim& sim) {
  int seen = 0;
  return harness::WaitUntil(
      [&] {
        seen = sim.Send("wait-client 0") == "ok clients=1" ? seen + 1 : 0;
        return seen >= 3;
      },
      harness::kWaitMs, 20);
}

void FloorRound(int presses, bool sampleIdle, int serverPid, harness::HookRecorder& recorder,
                Totals* totals) {
  if (!harness::SetNumLock(false)) Fail("cannot switch Num Lock off");
  harness::ScratchDir dir("press-floor");
  harness::RemoteSim sim(K7_REMOTE_SIM_PATH, "--stamp");
  if (sim.Send("sleep 0") != "ok") Fail("remote-sim does not answer");
  const std::string exe = harness::DosPathOf(K7_BENCH_FLOOR_PATH);
  harness::Process floor = harness::Process::Start(exe, dir.Path());
  if (!WaitOneClient(sim)) Fail("the floor program did not connect to remote-sim");
  harness::TargetApp target(dir, "WinDVD.exe");
  if (!target.RequestForeground()) Fail("WinDVD.exe did not come to the front");
  Block(sim, exe, presses, sampleIdle, serverPid, recorder, totals);
  // Unplugged, the floor's read breaks and it ends: it is gone before the
  // next receiver connects.
  if (sim.Send("unplug") != "ok") Fail("remote-sim did not unplug");
  DWORD code = 0;
  if (!floor.WaitForExit(harness::kWaitMs, &code) || code != 0) Fail("the floor did not end well");
}

void ProgramRound(const Config& config, int presses, bool sampleIdle, int serverPid,
                  harness::HookRecorder& recorder, Totals* totals) {
  const int profiles = config.profiles;
  Rig rig({"press-" + std::to_string(profiles),
           [profiles](const harness::Program& p) { LayManyProfiles(p, profiles); }, "WinDVD.exe"},
          "--stamp");
  // K7_BENCH_EVENTS=1: the same presses with the events window open, which
  // makes every press leave a line.
  const char* events = std::getenv("K7_BENCH_EVENTS");
  if (events != nullptr && std::string(events) == "1") {
    harness::Process open =
        harness::Process::Start(rig.program().ExePath(), rig.dir().Path(), "/events");
    DWORD code = 1;
    if (!open.WaitForExit(harness::kWaitMs, &code) || code != 0) Fail("/events was not taken");
    // The window came to the front: the player must be there for its profile.
    if (!rig.target().RequestForeground()) Fail("the player did not come back to the front");
  }
  Block(rig.sim(), rig.program().ExePath(), presses, sampleIdle, serverPid, recorder, totals);
}

void PrintCpu(const char* label, const Totals& t) {
  const double n = static_cast<double>(t.latencyMs.size());
  if (!t.receiver.Known()) {
    std::printf("%-14s receiver: not found on the host\n", label);
  } else {
    const CpuSpan& r = t.receiver.sum;
    const double ticks = (r.userMs + r.kernelMs) / 10;
    char split[64] = "too few ticks to split";
    if (ticks >= 10) {
      std::snprintf(split, sizeof split, "user %.0f%%, kernel %.0f%% of %.0f ticks",
                    100 * r.userMs / (r.userMs + r.kernelMs),
                    100 * r.kernelMs / (r.userMs + r.kernelMs), ticks);
    }
    std::printf("%-14s receiver   %7.3f ms%s (%s), of which idle %.3f ms\n", label,
                t.receiver.PerPress(n), r.coarse ? " [from 10 ms ticks]" : "", split,
                t.receiver.IdleShare(t.receiverIdle, n));
  }
  if (t.server.Known()) {
    std::printf("%-14s wineserver %7.3f ms (everyone's requests), of which idle %.3f ms\n", "",
                t.server.PerPress(n), t.server.IdleShare(t.serverIdle, n));
  }
  std::fflush(stdout);
}

void PrintRatio(const char* what, double value, double goal) {
  std::printf("%-46s %6.2f   goal <= %.1f   %s\n", what, value, goal,
              value <= goal ? "met" : "MISSED");
}

int Run(int presses, int rounds) {
  const int perRound = presses / rounds;
  std::printf(
      "press: %d presses of code 0x%02X each (WinDVD in front: Page Down), %d rounds of %d, "
      "%lu ms apart\n",
      perRound * rounds, kCodePageDown, rounds, perRound, kIdleMs);
  std::fflush(stdout);
  const int serverPid = WineserverHostPid();
  harness::HookRecorder recorder;
  Totals totals[kConfigCount];
  for (int round = 0; round < rounds; ++round) {
    for (size_t k = 0; k < kConfigCount; ++k) {
      // Every other round backwards: a steady drift in load evens out.
      const size_t i = round % 2 == 0 ? k : kConfigCount - 1 - k;
      if (kConfigs[i].profiles == 0) {
        FloorRound(perRound, round == 0, serverPid, recorder, &totals[i]);
      } else {
        ProgramRound(kConfigs[i], perRound, round == 0, serverPid, recorder, &totals[i]);
      }
    }
  }

  std::printf("\nfrom the report's write into the pipe to its first key:\n");
  Summary s[kConfigCount];
  for (size_t i = 0; i < kConfigCount; ++i) {
    s[i] = Summarize(totals[i].latencyMs);
    PrintSummary(kConfigs[i].label, s[i], "ms");
  }
  for (size_t i = 0; i < kConfigCount; ++i) {
    std::printf("%-14s medians by round:", kConfigs[i].label);
    for (double m : totals[i].roundMedians) std::printf(" %.3f", m);
    std::printf("\n");
  }
  const Summary& floor = s[0];
  const Summary& few = s[1];
  const Summary& many = s[kConfigCount - 1];
  std::printf("\n");
  PrintRatio("100 profiles median / floor median", many.median / floor.median, kGoalProgramToFloor);
  PrintRatio("100 profiles p99 / floor p99", many.p99 / floor.p99, kGoalProgramToFloor);
  PrintRatio("100 profiles median / 4 profiles median", many.median / few.median, kGoalManyToFew);

  std::printf(
      "\nCPU time per press (host /proc; \"idle\": what the same time costs without presses):\n");
  for (size_t i = 0; i < kConfigCount; ++i) PrintCpu(kConfigs[i].label, totals[i]);
  if (serverPid == 0) std::printf("wineserver: not found on the host, not included\n");
  return 0;
}

}  // namespace
}  // namespace k7::bench

int main(int argc, char** argv) {
  const int presses = k7::bench::PositiveArg(argc, argv, 1, 1000);
  const int rounds = k7::bench::PositiveArg(argc, argv, 2, 4);
  return k7::bench::RunGuarded([&] { return k7::bench::Run(presses, std::min(rounds, presses)); });
}
