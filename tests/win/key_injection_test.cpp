// Hotkey slots read from real INI files and injected with keybd_event, as the
// low-level hooks see them: every event, in order, nothing else.
#include <windows.h>

#include "dispatch/profile_hotkeys.h"
#include "win_test.h"

namespace k7::wintest {
namespace {

using harness::HookRecorder;

constexpr unsigned kVkN = 'N';
constexpr unsigned kVkRight = VK_RIGHT;
constexpr unsigned kVkNumpad5 = VK_NUMPAD5;

class KeyInjection : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    scratch_.WriteIni(kUserDefIni, "Test", "0", "0-C-N");
    scratch_.WriteIni(kUserDefIni, "Test", "1", "1-S-C-A-RIGHT");
    scratch_.WriteIni(kUserDefIni, "Test", "2", "0-NUMPAD5");
    scratch_.WriteIni(kUserDefIni, "Test", "3", "");
    scratch_.WriteIni(kUserDefIni, "Test", "4", "0-volup");
    scratch_.WriteIni(kUserDefIni, "Test", "5", "0-C-PLAYPAUSE");
    scratch_.WriteIni(kUserDefInfIni, "Test", "0", "New file");
    scratch_.WriteIni(kUserDefInfIni, "Test", "1", "Next chapter");
    LoadHotkeyTable(table_, ini_, "Test", g_szUserDefIniPath, g_szUserDefInfIniPath, kSlotCount);
  }

  // Sets Num Lock, sends slot n and returns what the hooks saw of it.
  std::vector<Stroke> Send(int n, bool numLockBefore) {
    EXPECT_TRUE(harness::SetNumLock(numLockBefore));
    EXPECT_TRUE(recorder_.Flush());
    recorder_.Clear();
    table_.SendHotkey(input_, n);
    EXPECT_TRUE(recorder_.Flush());
    EXPECT_TRUE(recorder_.Mice().empty());
    return StrokesOf(recorder_.Keys());
  }

  static bool NumLockBecomes(bool on) {
    return harness::WaitUntil([&] { return harness::NumLockOn() == on; });
  }

  CHotkeyTable table_;
  HookRecorder recorder_;
};

TEST_F(KeyInjection, SlotsAndCaptionsComeFromTheIniFiles) {
  EXPECT_EQ(table_.Slot(0).byModifier1, VK_CONTROL);
  EXPECT_EQ(table_.Slot(0).byKey, kVkN);
  EXPECT_STREQ(table_.Slot(0).szDescription, "New file");
  EXPECT_EQ(table_.Slot(1).byKey, kVkRight);
  EXPECT_STREQ(table_.Slot(1).szDescription, "Next chapter");
  EXPECT_EQ(table_.Slot(3).byKey, 0);
  EXPECT_STREQ(table_.Slot(3).szDescription, "");
}

TEST_F(KeyInjection, CtrlNWithNumLockOff) {
  const std::vector<Stroke> expected = {Down(VK_CONTROL), Down(kVkN), Up(kVkN), Up(VK_CONTROL)};
  EXPECT_EQ(Send(0, false), expected);
  EXPECT_TRUE(NumLockBecomes(false));
}

TEST_F(KeyInjection, ThreeModifiersWithNumLockOnTurnItOffFirst) {
  const std::vector<Stroke> expected = {
      NumLockDown(),  NumLockUp(),  Down(VK_CONTROL), Down(VK_MENU), Down(VK_SHIFT),
      Down(kVkRight), Up(kVkRight), Up(VK_SHIFT),     Up(VK_MENU),   Up(VK_CONTROL)};
  EXPECT_EQ(Send(1, true), expected);
  EXPECT_TRUE(NumLockBecomes(false));
}

TEST_F(KeyInjection, KeypadKeyWithNumLockOffTurnsItOn) {
  const std::vector<Stroke> expected = {NumLockDown(), NumLockUp(), Down(kVkNumpad5),
                                        Up(kVkNumpad5)};
  EXPECT_EQ(Send(2, false), expected);
  EXPECT_TRUE(NumLockBecomes(true));
}

TEST_F(KeyInjection, EmptySlotOnlyCorrectsNumLock) {
  const std::vector<Stroke> expected = {NumLockDown(), NumLockUp()};
  EXPECT_EQ(Send(3, true), expected);
  EXPECT_TRUE(NumLockBecomes(false));
}

TEST_F(KeyInjection, VolumeAndMediaKeysArriveExtendedWithTheirScanCodes) {
  const struct {
    int slot;
    std::vector<Stroke> expected;
  } cases[] = {
      {4, {{VK_VOLUME_UP, false, 0x30, true, true}, {VK_VOLUME_UP, true, 0x30, true, true}}},
      {5,
       {Down(VK_CONTROL),
        {VK_MEDIA_PLAY_PAUSE, false, 0x22, true, true},
        {VK_MEDIA_PLAY_PAUSE, true, 0x22, true, true},
        Up(VK_CONTROL)}},
  };
  for (const auto& c : cases) EXPECT_EQ(Send(c.slot, false), c.expected) << "slot " << c.slot;
}

}  // namespace
}  // namespace k7::wintest
