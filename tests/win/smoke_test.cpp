#include <windows.h>

#include <gtest/gtest.h>

#include "keys/input_win32.h"

TEST(Smoke, NumLockReads) {
  k7::Win32Input input;
  EXPECT_EQ(input.IsNumLockOn(), (GetKeyState(VK_NUMLOCK) & 1) != 0);
}
