// From a button report to the key it becomes: the time from the moment the
// benchmark asks remote-sim to send a report to the moment a low-level hook in
// this process sees the first key the program injects for it. With the
// built-in profiles, and with 100 profiles where the match is the last one.
//
//   k7_bench_latency.exe [presses]
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "bench_common.h"

namespace k7::bench {
namespace {

struct Figures {
  std::vector<double> latencyMs;    // send asked -> first key hooked
  std::vector<double> roundTripMs;  // send asked -> remote-sim answered
};

// After a press's keys the program may still work on it (the caption):
// pausing this long lets every press find it idle.
constexpr DWORD kIdleMs = 25;

// Presses once and waits for the press's down and up keys.
void PressOnce(Rig& rig, harness::HookRecorder& recorder, Figures* out) {
  Sleep(kIdleMs);
  recorder.Clear();
  const LONGLONG asked = Qpc();
  const int sent = rig.sim().Press(kCodePageDown);
  const LONGLONG answered = Qpc();
  if (sent != 1) Fail("remote-sim delivered the report to " + std::to_string(sent) + " clients");
  const LONGLONG firstKey = WaitForPressKeys(recorder);
  if (out != nullptr) {
    out->latencyMs.push_back(harness::QpcMs(asked, firstKey));
    out->roundTripMs.push_back(harness::QpcMs(asked, answered));
  }
}

void Measure(const std::string& label, const Rig::Options& options, int presses) {
  Rig rig(options);
  harness::HookRecorder recorder;
  for (int i = 0; i < 20; ++i) PressOnce(rig, recorder, nullptr);  // warm-up
  Figures f;
  for (int i = 0; i < presses; ++i) PressOnce(rig, recorder, &f);
  PrintSummary(label + ": report to first key", Summarize(f.latencyMs), "ms");
  PrintSummary(label + ": remote-sim answer to that press", Summarize(f.roundTripMs), "ms");

  // The simulator alone, on the same connection: with reception disabled
  // the program reads each report and drops it at once, so no report ever
  // waits for room in the pipe.
  if (!rig.program().Command(harness::TrayCommand::kDisable)) Fail("Disable did not return");
  recorder.Clear();
  std::vector<double> inert;
  for (int i = 0; i < presses; ++i) {
    const LONGLONG asked = Qpc();
    const int sent = rig.sim().Press(kCodePageDown);
    inert.push_back(harness::QpcMs(asked, Qpc()));
    if (sent != 1) Fail("a press while disabled reached " + std::to_string(sent) + " clients");
  }
  recorder.Flush();
  for (const harness::HookEvent& e : recorder.Snapshot()) {
    if (FromProgram(e)) Fail("a key while reception was disabled");
  }
  PrintSummary(label + ": remote-sim round trip, no effect", Summarize(inert), "ms");
}

int Run(int presses) {
  std::printf("latency over %d presses of code 0x%02X (WinDVD in front: Page Down)\n", presses,
              kCodePageDown);
  Measure("built-in profiles", {"latency-builtin", nullptr, "WinDVD.exe"}, presses);
  Measure("100 profiles, match last",
          {"latency-100", [](const harness::Program& p) { LayManyProfiles(p, 100); }, "WinDVD.exe"},
          presses);
  return 0;
}

}  // namespace
}  // namespace k7::bench

int main(int argc, char** argv) {
  const int presses = k7::bench::PositiveArg(argc, argv, 1, 1000);
  return k7::bench::RunGuarded([&] { return k7::bench::Run(presses); });
}
