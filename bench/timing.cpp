// What the tests only bound loosely (they must hold on a loaded machine),
// measured: from a press to its caption, how long the caption stays, a
// second press replacing it, and from the tray's Exit to the program's end.
// The caption window is watched by a thread of this process that polls it
// every few milliseconds, so each figure carries that much uncertainty.
//
//   k7_bench_timing.exe [rounds]
#include <cstdio>

#include "bench_common.h"
#include "harness/settings_window.h"

namespace k7::bench {
namespace {

constexpr unsigned kCodeMouseToggle = 0x47;  // caption "Mouse On", then "Mouse Off"

struct Figures {
  std::vector<double> pressToCaption, captionShown, replace, exit;
};

void Round(int round, Figures* f) {
  Rig rig({"timing-" + std::to_string(round), nullptr, "WinDVD.exe"});
  HWND caption = harness::WaitForCaptionWindow(rig.program().Id());
  if (caption == nullptr) Fail("the program has no caption window");
  harness::CaptionWatch watch(caption);

  double pressed = harness::NowMs();
  rig.sim().Press(kCodePageDown);
  const auto shown = watch.WaitShown("Next", pressed);
  if (!shown) Fail("no caption for Page Down");
  const auto hidden = watch.WaitHidden(shown->ms);
  if (!hidden) Fail("the caption never hid");
  f->pressToCaption.push_back(shown->ms - pressed);
  f->captionShown.push_back(hidden->ms - shown->ms);

  // A second press while the first caption shows.
  pressed = harness::NowMs();
  rig.sim().Press(kCodeMouseToggle);
  if (!watch.WaitShown("Mouse On", pressed)) Fail("no caption for the mouse toggle");
  Sleep(300);
  pressed = harness::NowMs();
  rig.sim().Press(kCodeMouseToggle);
  const auto second = watch.WaitShown("Mouse Off", pressed);
  if (!second) Fail("the second caption did not replace the first");
  f->replace.push_back(second->ms - pressed);
  watch.Stop();

  const double asked = harness::NowMs();
  if (!rig.program().Command(harness::TrayCommand::kExit)) Fail("Exit did not return");
  if (!rig.program().WaitForExit(harness::kWaitMs)) Fail("still running 5 s after Exit");
  f->exit.push_back(harness::NowMs() - asked);
}

int Run(int rounds) {
  std::printf("timing over %d rounds (program started anew each round)\n", rounds);
  Figures f;
  for (int i = 0; i < rounds; ++i) Round(i, &f);
  PrintSummary("press to caption shown", Summarize(f.pressToCaption), "ms");
  PrintSummary("caption shown for", Summarize(f.captionShown), "ms");
  PrintSummary("second press to its caption", Summarize(f.replace), "ms");
  PrintSummary("tray Exit to process end", Summarize(f.exit), "ms");
  return 0;
}

}  // namespace
}  // namespace k7::bench

int main(int argc, char** argv) {
  const int rounds = k7::bench::PositiveArg(argc, argv, 1, 10);
  return k7::bench::RunGuarded([&] { return k7::bench::Run(rounds); });
}
