// Sets up a scene with the real program for a look or a screenshot, prints
// "ready" once it stands, keeps it for a number of seconds and ends it:
//
//   settings-pose.exe settings [seconds]  the settings window, opened from the tray
//   settings-pose.exe caption [seconds]   a caption over a target window in
//                                         front, pressed again and again so
//                                         that it stays up
//
// Used by tests/win_settings/screenshots.sh.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

#include "harness/harness.h"
#include "harness/program.h"
#include "harness/remote_sim_driver.h"
#include "harness/settings_window.h"

namespace {

using namespace k7::harness;

// Slot 28 of the WinDVD profile: "1-PGDOWN", captioned "Next".
constexpr unsigned kCodeNext = 0x02;

int Fail(const char* what) {
  std::fprintf(stderr, "settings-pose: %s\n", what);
  return 1;
}

void Ready() {
  std::printf("ready\n");
  std::fflush(stdout);
}

int Run(const char* scene, DWORD seconds) {
  ScratchDir dir("pose");
  RemoteSim sim(K7_REMOTE_SIM_PATH);
  if (sim.Send("sleep 0") != "ok") return Fail("the virtual receiver does not answer");
  Program program(dir.Path(), ProgramKind::kSim);
  program.Start();
  if (!program.WaitReady()) return Fail("the program did not finish its start-up");
  // Its reader connects shortly after start-up.
  WaitUntil([&] { return sim.Send("wait-client 0") == "ok clients=1"; });

  if (std::strcmp(scene, "settings") == 0) {
    SettingsWindow settings(program);
    if (!program.Command(TrayCommand::kOpen) || !settings.WaitVisible(true)) {
      return Fail("the settings window did not show");
    }
    Ready();
    Sleep(seconds * 1000);
    return 0;
  }

  if (std::strcmp(scene, "caption") == 0) {
    TargetApp player(dir, "WinDVD.exe");
    // Under the caption's corner, so that the caption lies over it.
    SetWindowPos(player.Window(), nullptr, 424, 0, 600, 360, SWP_NOZORDER);
    if (!player.RequestForeground()) return Fail("the target did not come to the front");
    HWND caption = WaitForCaptionWindow(program.Id());
    if (caption == nullptr) return Fail("the program has no caption window");
    // Each press restarts the caption's second.
    const ULONGLONG end = GetTickCount64() + seconds * 1000ULL;
    bool announced = false;
    while (GetTickCount64() < end) {
      sim.Press(kCodeNext);
      if (!announced && WaitUntil([&] { return IsWindowVisible(caption) != FALSE; }, 1000)) {
        Ready();
        announced = true;
      }
      Sleep(500);
    }
    return announced ? 0 : Fail("the caption never showed");
  }
  return Fail("unknown scene (settings or caption)");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Fail("usage: settings-pose.exe settings|caption [seconds]");
  const DWORD seconds = argc >= 3 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 6;
  try {
    return Run(argv[1], seconds);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
