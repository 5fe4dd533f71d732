// A held button: remote-sim sends a repeat report of a slot code every 10 ms
// (100 a second) for 10 s. Every report must become its key press, in order,
// and none may be left behind once the button is let go.
//
//   k7_bench_held.exe [seconds] [reports per second]
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "bench_common.h"

namespace k7::bench {
namespace {

int Run(int seconds, int perSecond) {
  Rig rig({"held", nullptr, "WinDVD.exe"});
  harness::HookRecorder recorder;
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  const LONGLONG period = freq.QuadPart / perSecond;
  const int reports = seconds * perSecond;

  std::vector<LONGLONG> sentAt;  // one per report some client took
  std::vector<double> answerMs;
  int refused = 0;
  const LONGLONG start = Qpc();
  for (int i = 0; i < reports; ++i) {
    const LONGLONG due = start + period * i;
    for (LONGLONG now = Qpc(); now < due; now = Qpc()) {
      if (due - now > freq.QuadPart / 500) Sleep(1);
    }
    const LONGLONG asked = Qpc();
    // The first report is a new press; the rest carry the repeat flag.
    const int sent = rig.sim().Press(kCodePageDown, i == 0 ? 0 : 1);
    answerMs.push_back(harness::QpcMs(asked, Qpc()));
    if (sent == 1) {
      sentAt.push_back(asked);
    } else {
      ++refused;
    }
  }
  const LONGLONG lastSent = Qpc();
  const double sendingMs = harness::QpcMs(start, lastSent);

  // Let go: wait until every delivered report has its key press.
  const size_t want = sentAt.size();
  auto downs = [](const std::vector<harness::HookEvent>& events) {
    size_t n = 0;
    for (const harness::HookEvent& e : events) n += e.IsKey() && FromProgram(e) && !e.KeyUp();
    return n;
  };
  recorder.WaitFor([&](const std::vector<harness::HookEvent>& e) { return downs(e) >= want; },
                   60000);
  recorder.Flush();
  const std::vector<harness::HookEvent> events = recorder.Snapshot();

  // In order: down, up, down, up ... of the one key, each down matched to
  // the report sent at the same position.
  std::vector<double> lagMs;
  size_t keys = 0;
  bool ordered = true;
  LONGLONG lastKey = lastSent;
  for (const harness::HookEvent& e : events) {
    if (!e.IsKey() || !FromProgram(e)) continue;
    const bool shouldBeUp = keys % 2 == 1;
    if (e.vkCode != VK_NEXT || e.KeyUp() != shouldBeUp) ordered = false;
    if (!e.KeyUp() && keys / 2 < sentAt.size()) {
      lagMs.push_back(harness::QpcMs(sentAt[keys / 2], e.qpc));
    }
    lastKey = e.qpc;
    ++keys;
  }
  const size_t pressed = (keys + 1) / 2;

  std::printf("held button: code 0x%02X, %d reports asked at %d/s over %d s\n", kCodePageDown,
              reports, perSecond, seconds);
  std::printf(
      "  reports taken by the program's pipe: %zu (refused %d); sending took %.0f ms, "
      "%.1f reports/s achieved\n",
      sentAt.size(), refused, sendingMs, 1000.0 * reports / sendingMs);
  PrintSummary("  remote-sim answer per report", Summarize(answerMs), "ms");
  PrintSummary("  report sent to its key down", Summarize(lagMs), "ms");
  std::printf(
      "  key presses seen: %zu of %zu reports; in order: %s; last key %.0f ms after the "
      "last report\n",
      pressed, sentAt.size(), ordered ? "yes" : "NO", harness::QpcMs(lastSent, lastKey));
  const bool ok = ordered && pressed == sentAt.size() && refused == 0;
  std::printf("  result: %s\n", ok ? "every report handled, in order" : "FAILED");
  return ok ? 0 : 2;
}

}  // namespace
}  // namespace k7::bench

int main(int argc, char** argv) {
  const int seconds = k7::bench::PositiveArg(argc, argv, 1, 10);
  const int perSecond = k7::bench::PositiveArg(argc, argv, 2, 100);
  return k7::bench::RunGuarded([&] { return k7::bench::Run(seconds, perSecond); });
}
