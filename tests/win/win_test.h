// Fixture of the Windows-side tests: a fresh scratch directory, the INI paths
// pointed at files in it, the real Win32 platform and a fresh dispatcher.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "dispatch/dispatch.h"
#include "dispatch/launcher_win32.h"
#include "harness/harness.h"
#include "keys/input_win32.h"
#include "profiles/ini_paths.h"
#include "profiles/ini_store_win32.h"

namespace k7::wintest {

// Stands in for the foreground match: no application profile applies.
class NoProfileMatcher : public IProfileMatcher {
 public:
  bool MatchForegroundProfile(char (&)[kNameLen], CHotkeyTable&) override {
    ++calls;
    return false;
  }
  int calls = 0;
};

class WinTest : public ::testing::Test {
 protected:
  WinTest();
  void SetUp() override;
  void TearDown() override;

  // Paths of the three INI files the core reads, inside the scratch directory.
  static constexpr char kCtrlIni[] = "QVCtrl.ini";
  static constexpr char kUserDefIni[] = "UserDef.ini";
  static constexpr char kUserDefInfIni[] = "UserDefInf.ini";

  harness::ScratchDir scratch_;
  Win32Input input_;
  Win32Launcher launcher_;
  Win32IniStore ini_;
  NoProfileMatcher matcher_;
  DispatchPlatform platform_{input_, launcher_, ini_, matcher_};
  Dispatcher dispatcher_{platform_};
};

// One key event as a test states it: what the hooks must see.
struct Stroke {
  unsigned vk;
  bool up;
  unsigned scan;
  bool extended;
  bool injected;
  bool operator==(const Stroke&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Stroke& s);

inline Stroke Down(unsigned vk) {
  return {vk, false, 0, false, true};
}
inline Stroke Up(unsigned vk) {
  return {vk, true, 0, false, true};
}
inline Stroke NumLockDown() {
  return {0x90, false, 0x45, true, true};
}
inline Stroke NumLockUp() {
  return {0x90, true, 0x45, true, true};
}

// The hooked key events as strokes; a message that contradicts its own
// LLKHF_UP flag fails the test.
std::vector<Stroke> StrokesOf(const std::vector<harness::HookEvent>& keys);

}  // namespace k7::wintest
