// What tests/apps/target_app.exe and the harness agree on. Shared by both, so
// it needs nothing but <windows.h>.
//
// target_app.exe shows one visible window whose title is its own executable
// file name (copy it as WinDVD.exe and the title is "WinDVD.exe"). It appends
// one line per input message it receives to "<exe name without extension>.log"
// in its own directory, written and closed at once:
//   WM_KEYDOWN 4E        (virtual key in hex; also WM_KEYUP, WM_SYSKEYDOWN,
//                         WM_SYSKEYUP)
//   WM_MOUSEMOVE 10 20   (client coordinates; also WM_LBUTTONDOWN, WM_LBUTTONUP)
// It makes itself the foreground window with the keyboard focus when it starts
// and whenever it receives the registered window message
// "K7F3TargetForeground" (RegisterWindowMessageA, any wParam and lParam).
// A drop-down combo box with the items below lets tests read control text
// across processes.
#pragma once

#include <windows.h>

namespace k7::harness {

constexpr char kTargetForegroundMessage[] = "K7F3TargetForeground";
constexpr char kTargetWindowClass[] = "K7F3TargetApp";
constexpr int kTargetComboId = 100;
constexpr const char* kTargetComboItems[] = {"first item", "second item"};

struct TargetMessageName {
  UINT message;
  const char* name;
  bool mouse;  // the line carries x and y, else a virtual key
};

constexpr TargetMessageName kTargetMessages[] = {
    {WM_KEYDOWN, "WM_KEYDOWN", false},       {WM_KEYUP, "WM_KEYUP", false},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN", false}, {WM_SYSKEYUP, "WM_SYSKEYUP", false},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE", true},    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN", true},
    {WM_LBUTTONUP, "WM_LBUTTONUP", true},
};

}  // namespace k7::harness
