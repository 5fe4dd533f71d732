#include "dispatch/dispatch.h"

#include <array>
#include <climits>
#include <cstdio>
#include <string>

#include "app/text.h"
#include "profiles/ini_paths.h"
#include "profiles/profile_store.h"

namespace k7 {

std::atomic<bool> g_bMouseMode{false};
std::atomic<int> g_nMouseStep{0};
std::atomic<bool> g_bNoProfile{true};
char g_szCurProfile[kNameLen];
CHotkeyTable g_HotkeyTable;
char g_szOsdText[kOsdTextLen];
char g_szLaunchApp[kNameLen];

namespace {

struct CodeRow {
  uint8_t code;
  ButtonCode entry;
};

constexpr ButtonCode Slot(int n) {
  return {ButtonKind::kSlot, int8_t(n), MouseAction::kNone, 0, 0, false, nullptr};
}
constexpr ButtonCode Move(int n, int dx, int dy, bool firstOnly = false) {
  return {ButtonKind::kMouseSlot,
          int8_t(n),
          MouseAction::kMove,
          int8_t(dx),
          int8_t(dy),
          firstOnly,
          nullptr};
}
constexpr ButtonCode Click(int n) {
  return {ButtonKind::kMouseSlot, int8_t(n), MouseAction::kClick, 0, 0, false, nullptr};
}
constexpr ButtonCode Launch(const char* category) {
  return {ButtonKind::kLaunch, -1, MouseAction::kNone, 0, 0, false, category};
}
constexpr ButtonCode Fixed(ButtonKind kind) {
  return {kind, -1, MouseAction::kNone, 0, 0, false, nullptr};
}

// The remote's codes; every code not listed does nothing.
constexpr CodeRow kCodeTable[] = {
    {0x00, Slot(33)},
    {0x01, Slot(31)},
    {0x02, Slot(28)},
    {0x03, Slot(25)},
    {0x04, Slot(32)},
    {0x05, Slot(30)},
    {0x06, Slot(27)},
    {0x07, Slot(24)},
    {0x09, Slot(29)},
    {0x0A, Slot(26)},
    {0x0B, Slot(23)},
    {0x40, Move(22, +1, +1)},
    {0x41, Move(19, +1, 0)},
    {0x42, Move(15, +1, -1, true)},
    {0x43, Slot(13)},
    {0x44, Move(20, 0, +1)},
    {0x45, Click(18)},
    {0x46, Move(16, 0, -1)},
    {0x47, Fixed(ButtonKind::kMouseToggle)},
    {0x48, Move(21, -1, +1)},
    {0x49, Move(17, -1, 0)},
    {0x4A, Move(14, -1, -1)},
    {0x4B, Launch("Speech")},
    {0x54, Fixed(ButtonKind::kLight)},
    {0x55, Launch("DVD")},
    {0x56, Launch("Music")},
    {0x57, Launch("WWW")},
    {0x59, Slot(3)},
    {0x5A, Slot(6)},
    {0x5B, Slot(9)},
    {0x5C, Slot(1)},
    {0x5D, Slot(4)},
    {0x5E, Slot(7)},
    {0x5F, Slot(10)},
};

constexpr std::array<ButtonCode, 256> BuildLookup() {
  std::array<ButtonCode, 256> table{};
  for (ButtonCode& e : table) e = Fixed(ButtonKind::kNone);
  for (const CodeRow& row : kCodeTable) table[row.code] = row.entry;
  return table;
}

constexpr std::array<ButtonCode, 256> kLookup = BuildLookup();

void MovePointer(IInputSink& input, int dx, int dy) {
  const int d = g_nMouseStep.load() + 2;
  input.MouseEvent(kMouseMove, dx * d, dy * d);
  // Grows without a bound until timer 300 resets it; saturate rather than
  // overflow on a button held for weeks.
  int step = g_nMouseStep.load();
  while (step <= INT_MAX - 8 && !g_nMouseStep.compare_exchange_weak(step, step + 6)) {
  }
}

void LaunchCategory(DispatchPlatform& p, const char* category) {
  // The name whole: one cut to the buffer could name another profile, and an
  // empty one would look up the lines above the file's first section.
  const std::string name = ReadWholeString(p.ini, category, "APName", g_szCtrlIniPath);
  if (name.empty() || name.size() > size_t(kMaxProfileName)) {
    g_szLaunchApp[0] = '\0';
    CopyBounded(g_szOsdText, "File path error");
    return;
  }
  CopyBounded(g_szLaunchApp, name.c_str());
  char path[kMaxPath];
  p.ini.GetString(g_szLaunchApp, "FilePath", nullptr, path, sizeof path, g_szUserDefIniPath);
  if (path[0] == '\0' || !p.launcher.PathExists(path)) {
    CopyBounded(g_szOsdText, "File path error");
    return;
  }
  // A program that did not start must not be announced as if it had.
  CopyBounded(g_szOsdText, p.launcher.Start(path) ? g_szLaunchApp : "File path error");
}

}  // namespace

const ButtonCode& LookupButtonCode(int code) {
  return kLookup[code & 0xFF];
}

int SlotForCode(int code) {
  return LookupButtonCode(code).slot;
}

void LoadSlotCaption(IIniStore& ini, int n) {
  char key[4];
  std::snprintf(key, sizeof key, "%d", n);
  // 255 bytes with the terminator, as the caption has always been read.
  ini.GetString(g_szCurProfile, key, "", g_szOsdText, kOsdTextLen - 1, g_szUserDefInfIniPath);
}

void RunSlot(DispatchPlatform& platform, int n) {
  if (g_bNoProfile.load()) {
    g_szOsdText[0] = '\0';
    return;
  }
  g_HotkeyTable.SendHotkey(platform.input, n);
  LoadSlotCaption(platform.ini, n);
}

namespace {

void Act(DispatchPlatform& platform, int code, int repeat) {
  const ButtonCode& entry = LookupButtonCode(code);
  const bool firstReport = (repeat & 0xFF) == 0;
  switch (entry.kind) {
    case ButtonKind::kNone:
      return;
    case ButtonKind::kSlot:
      RunSlot(platform, entry.slot);
      return;
    case ButtonKind::kMouseSlot:
      if (g_bMouseMode.load()) {
        if (entry.mouse == MouseAction::kMove) {
          MovePointer(platform.input, entry.dx, entry.dy);
        } else {
          platform.input.MouseEvent(kMouseLeftDown, 0, 0);
          platform.input.MouseEvent(kMouseLeftUp, 0, 0);
        }
      } else if (firstReport || !entry.slotOnlyFirstReport) {
        RunSlot(platform, entry.slot);
      }
      return;
    case ButtonKind::kMouseToggle:
      if (!firstReport) return;
      {
        const bool on = !g_bMouseMode.load();
        g_bMouseMode.store(on);
        CopyBounded(g_szOsdText, on ? "Mouse On" : "Mouse Off");
      }
      return;
    case ButtonKind::kLight:
      CopyBounded(g_szOsdText, "Light");
      return;
    case ButtonKind::kLaunch:
      LaunchCategory(platform, entry.category);
      return;
  }
}

}  // namespace

void DispatchRemoteButton(DispatchPlatform& platform, int code, int marker, int repeat) {
  if ((marker & 0xFF) != kMarker) return;
  // Nothing may end the reader thread: a press that runs out of memory (a
  // hostile file, a huge value) does nothing more and shows no caption.
  try {
    platform.matcher.MatchForegroundProfile();
    Act(platform, code, repeat);
    platform.matcher.CompleteMatchedProfile();
  } catch (...) {
    g_bNoProfile = true;
    g_szOsdText[0] = '\0';
  }
}

}  // namespace k7
