// A hotkey injected by the program reaches the window in the foreground.
#include <windows.h>

#include "dispatch/profile_hotkeys.h"
#include "win_test.h"

namespace k7::wintest {
namespace {

using harness::TargetLogEntry;

class EndToEnd : public WinTest {};

TEST_F(EndToEnd, HotkeyReachesTheForegroundPlayer) {
  scratch_.WriteIni(kUserDefIni, "Test", "0", "0-C-N");
  CHotkeyTable table;
  LoadHotkeyTable(table, ini_, "Test", g_szUserDefIniPath, g_szUserDefInfIniPath, kSlotCount);
  // Before the window exists, so that the correction is not in its log.
  ASSERT_TRUE(harness::SetNumLock(false));

  harness::TargetApp player(scratch_, "WinDVD.exe");
  ASSERT_TRUE(player.WaitForeground());
  table.SendHotkey(input_, 0);

  ASSERT_TRUE(player.WaitForKeyLog(4));
  const std::vector<TargetLogEntry> expected = {
      {WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'N'}, {WM_KEYUP, 'N'}, {WM_KEYUP, VK_CONTROL}};
  EXPECT_EQ(player.KeyLog(), expected);
}

}  // namespace
}  // namespace k7::wintest
