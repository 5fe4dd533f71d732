// The program over a long run: Reloads while reports stream in (no hang, no
// crash, no report dispatched twice), then many presses with the process's
// memory and handle counters read before, during and after.
//
//   k7_bench_soak.exe [reloads] [presses]
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

#include "bench_common.h"

namespace k7::bench {
namespace {

struct KeyCount {
  size_t downs = 0;
  size_t ups = 0;
  size_t others = 0;
};

KeyCount CountKeys(const harness::TargetApp& target) {
  KeyCount c;
  for (const harness::TargetLogEntry& e : target.KeyLog()) {
    if (e.vk != VK_NEXT) {
      ++c.others;
    } else if (e.IsKeyDown()) {
      ++c.downs;
    } else {
      ++c.ups;
    }
  }
  return c;
}

// Waits until the target's key log stops growing; returns the final count.
KeyCount Drain(const harness::TargetApp& target) {
  KeyCount last{SIZE_MAX, 0, 0};
  for (;;) {
    Sleep(500);
    const KeyCount now = CountKeys(target);
    if (now.downs == last.downs && now.ups == last.ups) return now;
    last = now;
  }
}

bool ReloadStorm(Rig& rig, int reloads) {
  std::atomic<bool> stop{false};
  std::atomic<int> delivered{0};
  std::atomic<int> asked{0};
  std::atomic<bool> simFailed{false};
  std::thread presser([&] {
    try {
      while (!stop) {
        ++asked;
        if (rig.sim().Press(kCodePageDown) >= 1) ++delivered;
        Sleep(20);
      }
    } catch (const std::exception&) {
      simFailed = true;
    }
  });
  std::vector<double> reloadMs;
  int hung = 0;
  for (int i = 0; i < reloads && rig.program().Running(); ++i) {
    const LONGLONG t0 = Qpc();
    if (!rig.program().Command(harness::TrayCommand::kReload, 5000)) ++hung;
    reloadMs.push_back(harness::QpcMs(t0, Qpc()));
    Sleep(30);
  }
  stop = true;
  presser.join();
  const bool alive = rig.program().Running();
  const KeyCount keys = alive ? Drain(rig.target()) : CountKeys(rig.target());

  std::printf("reload storm: %d Reloads while code 0x%02X is pressed every ~20 ms\n", reloads,
              kCodePageDown);
  PrintSummary("  Reload command (sent to returned)", Summarize(reloadMs), "ms");
  std::printf("  Reloads unanswered within 5 s: %d; process alive: %s; simulator ok: %s\n", hung,
              alive ? "yes" : "NO", simFailed ? "NO" : "yes");
  std::printf(
      "  presses asked %d, taken by a client %d; key presses dispatched %zu (ups %zu, "
      "other keys %zu)\n",
      asked.load(), delivered.load(), keys.downs, keys.ups, keys.others);
  const bool twice = keys.downs > static_cast<size_t>(delivered.load());
  const bool ok = hung == 0 && alive && !simFailed && !twice && keys.downs == keys.ups &&
                  keys.others == 0 && keys.downs > 0;
  std::printf("  result: %s\n", ok ? "no hang, no crash, nothing dispatched twice"
                                   : (twice ? "FAILED: more key presses than reports" : "FAILED"));
  return ok;
}

bool ManyPresses(Rig& rig, int presses) {
  HANDLE process = rig.program().process().Handle();
  // Before: after a warm-up, so that what is allocated once is already there.
  const KeyCount start = Drain(rig.target());
  for (int i = 0; i < 100; ++i) rig.sim().Press(kCodePageDown);
  const KeyCount warm = Drain(rig.target());
  const ProcessCounters before = ReadCounters(process);
  std::printf("%d presses of code 0x%02X:\n", presses, kCodePageDown);
  PrintCounters("  before", before);

  int delivered = 0;
  const LONGLONG t0 = Qpc();
  for (int i = 1; i <= presses; ++i) {
    delivered += rig.sim().Press(kCodePageDown) == 1;
    if (i % (presses / 5 > 0 ? presses / 5 : 1) == 0) {
      const std::string label = "  after " + std::to_string(i);
      PrintCounters(label.c_str(), ReadCounters(process));
    }
  }
  const KeyCount end = Drain(rig.target());
  const double tookMs = harness::QpcMs(t0, Qpc());
  const ProcessCounters after = ReadCounters(process);
  PrintCounters("  drained", after);
  const size_t handled = end.downs - warm.downs;
  std::printf(
      "  %d reports delivered, %zu key presses; %.1f s, %.1f reports/s; %zu presses "
      "before the warm-up\n",
      delivered, handled, tookMs / 1000.0, 1000.0 * presses / tookMs, start.downs);
  auto delta = [](SIZE_T a, SIZE_T b) {
    return (static_cast<long long>(b) - static_cast<long long>(a)) / 1024;
  };
  std::printf(
      "  change: pagefile %+lld KB, working set %+lld KB, private %+lld KB, handles: "
      "count %+ld, table %+ld, gdi %+ld, user %+ld\n",
      delta(before.pagefileUsage, after.pagefileUsage), delta(before.workingSet, after.workingSet),
      delta(before.privateUsage, after.privateUsage),
      static_cast<long>(after.handles) - static_cast<long>(before.handles),
      static_cast<long>(after.systemHandles) - static_cast<long>(before.systemHandles),
      static_cast<long>(after.gdiObjects) - static_cast<long>(before.gdiObjects),
      static_cast<long>(after.userObjects) - static_cast<long>(before.userObjects));
  const bool ok = rig.program().Running() && handled == static_cast<size_t>(delivered);
  std::printf("  result: %s\n", ok ? "every report handled once" : "FAILED");
  return ok;
}

int Run(int reloads, int presses) {
  Rig rig({"soak", nullptr, "WinDVD.exe"});
  bool ok = ReloadStorm(rig, reloads);
  if (!rig.WaitConnected()) {
    std::printf("FAILED: not connected after the Reloads\n");
    return 2;
  }
  ok = ManyPresses(rig, presses) && ok;
  return ok ? 0 : 2;
}

}  // namespace
}  // namespace k7::bench

int main(int argc, char** argv) {
  const int reloads = k7::bench::PositiveArg(argc, argv, 1, 200);
  const int presses = k7::bench::PositiveArg(argc, argv, 2, 10000);
  return k7::bench::RunGuarded([&] { return k7::bench::Run(reloads, presses); });
}
