#include "dispatch/dispatch.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "profiles/ini_paths.h"
#include "profiles/profile_store.h"

namespace k7 {

namespace {

struct CodeRow {
  uint8_t code;
  ButtonCode entry;
};

constexpr TimerRestart kAlways = TimerRestart::kAlways;
constexpr TimerRestart kInMouseMode = TimerRestart::kInMouseMode;

constexpr ButtonCode Slot(int n) {
  return {ButtonKind::kSlot, int8_t(n),           MouseAction::kNone, 0, 0, false,
          nullptr,           TimerRestart::kNever};
}
constexpr ButtonCode Move(int n, int dx, int dy, TimerRestart timer, bool firstOnly = false) {
  return {ButtonKind::kMouseSlot,
          int8_t(n),
          MouseAction::kMove,
          int8_t(dx),
          int8_t(dy),
          firstOnly,
          nullptr,
          timer};
}
constexpr ButtonCode Click(int n, TimerRestart timer) {
  return {ButtonKind::kMouseSlot, int8_t(n), MouseAction::kClick, 0, 0, false, nullptr, timer};
}
constexpr ButtonCode Launch(const char* category) {
  return {ButtonKind::kLaunch, -1, MouseAction::kNone, 0, 0, false, category, TimerRestart::kNever};
}
constexpr ButtonCode Fixed(ButtonKind kind) {
  return {kind, -1, MouseAction::kNone, 0, 0, false, nullptr, TimerRestart::kNever};
}

// The remote's codes; every code not listed does nothing. The diagonal moves
// and the click restart the acceleration timer in either mode, the straight
// moves only in mouse mode (outside it they are ordinary hotkey slots).
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
    {0x40, Move(22, +1, +1, kAlways)},
    {0x41, Move(19, +1, 0, kInMouseMode)},
    {0x42, Move(15, +1, -1, kAlways, true)},
    {0x43, Slot(13)},
    {0x44, Move(20, 0, +1, kInMouseMode)},
    {0x45, Click(18, kAlways)},
    {0x46, Move(16, 0, -1, kInMouseMode)},
    {0x47, Fixed(ButtonKind::kMouseToggle)},
    {0x48, Move(21, -1, +1, kAlways)},
    {0x49, Move(17, -1, 0, kInMouseMode)},
    {0x4A, Move(14, -1, -1, kAlways)},
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

// A parsed slot's hotkey in the notation it is stored in; empty when the slot
// sends no key.
void StoredHotkeyOf(const BUTTONSLOT& slot, char (&out)[kHotkeyLen]) {
  out[0] = '\0';
  if (slot.byKey == 0) return;
  HOTKEYVALUE value{};
  SlotToHotkeyValue(slot, value);
  HotkeyValueToString(value, out);
}

}  // namespace

const ButtonCode& LookupButtonCode(int code) {
  return kLookup[code & 0xFF];
}

int SlotForCode(int code) {
  return LookupButtonCode(code).slot;
}

FollowUp FollowUpFor(int code, bool mouseMode, bool osdEnabled) {
  const TimerRestart timer = LookupButtonCode(code).timer;
  if (timer == TimerRestart::kAlways || (mouseMode && timer == TimerRestart::kInMouseMode)) {
    return FollowUp::kRestartMouseTimer;
  }
  return osdEnabled ? FollowUp::kShowOsd : FollowUp::kNothing;
}

Dispatcher::Dispatcher(DispatchPlatform platform, const DispatchStart& start)
    : m_platform(platform), m_bMouseMode(start.mouseMode), m_nMouseStep(start.mouseStep) {
  CopyBounded(m_szOsdText, start.caption != nullptr ? start.caption : "");
}

void Dispatcher::MovePointer(int dx, int dy) {
  const int d = m_nMouseStep.load() + 2;
  m_platform.input.MouseEvent(kMouseMove, dx * d, dy * d);
  m_outcome.action = PressAction::kMouseMove;
  m_outcome.dx = int8_t(dx);
  m_outcome.dy = int8_t(dy);
  m_outcome.distance = d;
  // Grows without a bound until timer 300 resets it; saturate rather than
  // overflow on a button held for weeks.
  int step = m_nMouseStep.load();
  while (step <= INT_MAX - 8 && !m_nMouseStep.compare_exchange_weak(step, step + 6)) {
  }
}

bool Dispatcher::ForegroundTakesInput() {
  return TakesInput(m_platform.matcher.ElevatedForeground());
}

bool Dispatcher::TakesInput(const std::string& elevatedExe) {
  if (elevatedExe.empty()) return true;
  m_bInputRefused = true;
  m_outcome.profile = ProfileUse::kElevated;
  m_outcome.action = PressAction::kInputRefused;
  std::snprintf(m_szOsdText, kRefusedCaptionLen + 1, "Run as admin to control %s",
                elevatedExe.c_str());
  return false;
}

void Dispatcher::LaunchCategory(const char* category) {
  // The name whole: one cut to the buffer could name another profile, and an
  // empty one would look up the lines above the file's first section.
  m_outcome.action = PressAction::kLaunch;
  m_outcome.category = category;
  m_outcome.launch = LaunchResult::kNoApplication;
  const std::string name = ReadWholeString(m_platform.ini, category, "APName", g_szCtrlIniPath);
  if (name.empty() || name.size() > size_t(kMaxProfileName)) {
    m_szLaunchApp[0] = '\0';
    CopyBounded(m_szOsdText, "File path error");
    return;
  }
  CopyBounded(m_szLaunchApp, name.c_str());
  CopyBounded(m_outcome.application, m_szLaunchApp);
  char path[kMaxPath];
  m_platform.ini.GetString(m_szLaunchApp, "FilePath", nullptr, path, sizeof path,
                           g_szUserDefIniPath);
  CopyBounded(m_outcome.path, path);
  m_outcome.launch = LaunchResult::kPathMissing;
  if (path[0] == '\0' || !m_platform.launcher.PathExists(path)) {
    CopyBounded(m_szOsdText, "File path error");
    return;
  }
  // A program that did not start must not be announced as if it had.
  const bool started = m_platform.launcher.Start(path);
  m_outcome.launch = started ? LaunchResult::kStarted : LaunchResult::kStartFailed;
  CopyBounded(m_szOsdText, started ? m_szLaunchApp : "File path error");
}

void Dispatcher::RunSlot(int n) {
  m_outcome.slot = int8_t(n);
  if (m_bNoProfile) {
    m_outcome.action = PressAction::kNoProfile;
    m_szOsdText[0] = '\0';
    return;
  }
  if (!ForegroundTakesInput()) return;
  m_HotkeyTable.SendHotkey(m_platform.input, n);
  m_outcome.action = PressAction::kHotkey;
  StoredHotkeyOf(m_HotkeyTable.Slot(n), m_outcome.hotkey);
  char key[4];
  std::snprintf(key, sizeof key, "%d", n);
  // 255 bytes with the terminator, as the caption has always been read.
  m_platform.ini.GetString(m_szCurProfile, key, "", m_szOsdText, kOsdTextLen - 1,
                           g_szUserDefInfIniPath);
}

int Dispatcher::ReadMsSetting(const char* key, int min, int max, int fallback) {
  char value[16] = "";
  m_platform.ini.GetString("Default", key, "", value, sizeof value, g_szCtrlIniPath);
  return ParseMsSetting(value, min, max, fallback);
}

bool Dispatcher::StartHoldPress(int n, int code, uint64_t nowMs) {
  // Key names as hold_keys writes them, formatted without an allocation: a
  // slot without a hold action pays only this look-up.
  char key[16];
  std::snprintf(key, sizeof key, "Hold%d", n);
  BUTTONSLOT hold{};
  m_platform.ini.GetString(m_szCurProfile, key, "", hold.szHotkey, sizeof hold.szHotkey,
                           g_szUserDefIniPath);
  if (hold.szHotkey[0] == '\0') return false;
  ParseHotkeyString(hold);
  if (hold.byKey == 0) return false;  // no key it could send: as if absent
  m_platform.ini.GetString(m_szCurProfile, key, "", hold.szDescription, kOsdTextLen - 1,
                           g_szUserDefInfIniPath);
  HeldPress& p = m_press;
  p.code = code;
  p.open = true;
  p.held = false;
  p.rule = RepeatRule{};
  p.firstMs = p.lastMs = nowMs;
  p.holdMs = ReadMsSetting("HoldMs", kMinHoldMs, kMaxHoldMs, kDefaultHoldMs);
  p.releaseMs = ReadMsSetting("ReleaseMs", kMinReleaseMs, kMaxReleaseMs, kDefaultReleaseMs);
  p.hold = hold;
  p.tap = m_HotkeyTable.Slot(n);
  std::snprintf(key, sizeof key, "%d", n);
  m_platform.ini.GetString(m_szCurProfile, key, "", p.tap.szDescription, kOsdTextLen - 1,
                           g_szUserDefInfIniPath);
  p.elevated = m_platform.matcher.ElevatedForeground();
  p.matched = m_outcome;
  p.slot = int8_t(n);
  m_outcome.action = PressAction::kHoldPending;
  m_outcome.slot = int8_t(n);
  return true;
}

void Dispatcher::PressSlot(const ButtonCode& entry, int code, bool firstReport, uint64_t nowMs,
                           bool& silent) {
  const int n = entry.slot;
  if (!m_bNoProfile) {
    if (StartHoldPress(n, code, nowMs)) {
      silent = true;  // tap or hold: the press's end or length decides
      return;
    }
    char key[16];
    std::snprintf(key, sizeof key, "Repeat%d", n);
    char value[32] = "";
    m_platform.ini.GetString(m_szCurProfile, key, "", value, sizeof value, g_szUserDefIniPath);
    const RepeatRule rule = ParseRepeatRule(value);
    if (rule.kind == RepeatKind::kFirst || rule.kind == RepeatKind::kAfterMs) {
      // Its repeats act by the time since this report: follow the press.
      HeldPress& p = m_press;
      p.code = code;
      p.open = true;
      p.held = false;
      p.rule = rule;
      p.firstMs = p.lastMs = nowMs;
      p.releaseMs = ReadMsSetting("ReleaseMs", kMinReleaseMs, kMaxReleaseMs, kDefaultReleaseMs);
      p.hold.byKey = 0;
      RunSlot(n);
      return;
    }
    if (rule.kind == RepeatKind::kEvery) {
      RunSlot(n);
      return;
    }
  }
  if (firstReport || !entry.slotOnlyFirstReport) RunSlot(n);
}

void Dispatcher::SendHeldAction(const BUTTONSLOT& action) {
  m_outcome = m_press.matched;
  m_outcome.slot = m_press.slot;
  if (!TakesInput(m_press.elevated)) return;
  CHotkeyTable::Send(m_platform.input, action);
  m_outcome.action = &action == &m_press.hold ? PressAction::kHoldAction : PressAction::kHotkey;
  StoredHotkeyOf(action, m_outcome.hotkey);
  CopyBounded(m_szOsdText, action.szDescription);
}

void Dispatcher::EndPress() {
  const bool tap = TapPending();
  m_press.open = false;
  if (tap) SendHeldAction(m_press.tap);
}

Dispatcher::Track Dispatcher::TrackReport(int code, bool repeatReport, uint64_t nowMs) {
  HeldPress& p = m_press;
  if (p.code < 0) return Track::kNew;
  const bool same = repeatReport && code == p.code;
  if (p.open) {
    const uint64_t gap = nowMs > p.lastMs ? nowMs - p.lastMs : 0;
    if (same && gap < uint64_t(p.releaseMs)) {
      p.lastMs = nowMs;
      return Track::kContinues;
    }
    EndPress();
  }
  return same ? Track::kLate : Track::kNew;
}

void Dispatcher::ContinuePress(int code, uint64_t nowMs, bool& silent) {
  HeldPress& p = m_press;
  const uint64_t held = nowMs > p.firstMs ? nowMs - p.firstMs : 0;
  if (p.hold.byKey != 0) {
    // The first report at or after the hold time fires the hold action; the
    // rest of the press does nothing.
    if (p.held || held < uint64_t(p.holdMs)) {
      silent = true;
      m_outcome.action = p.held ? PressAction::kRepeatIgnored : PressAction::kHoldPending;
      return;
    }
    p.held = true;
    SendHeldAction(p.hold);
    return;
  }
  // A repeat rule: its repeats do nothing until the button has been held
  // long enough, if ever.
  if (p.rule.kind != RepeatKind::kAfterMs || held < uint64_t(p.rule.ms)) {
    silent = true;
    m_outcome.action = PressAction::kRepeatIgnored;
    return;
  }
  m_bNoProfile = !m_platform.matcher.MatchForegroundProfile(m_szCurProfile, m_HotkeyTable);
  NoteMatch();
  RunSlot(LookupButtonCode(code).slot);
}

void Dispatcher::Act(int code, int repeat, uint64_t nowMs, bool& silent) {
  const ButtonCode& entry = LookupButtonCode(code);
  const bool firstReport = (repeat & 0xFF) == 0;
  switch (entry.kind) {
    case ButtonKind::kNone:
      return;
    case ButtonKind::kSlot:
      PressSlot(entry, code, firstReport, nowMs, silent);
      return;
    case ButtonKind::kMouseSlot:
      if (m_bMouseMode.load()) {
        if (!ForegroundTakesInput()) return;
        if (entry.mouse == MouseAction::kMove) {
          MovePointer(entry.dx, entry.dy);
        } else {
          m_outcome.action = PressAction::kMouseClick;
          InputBatch click;
          click.Mouse(kMouseLeftDown, 0, 0);
          click.Mouse(kMouseLeftUp, 0, 0);
          m_platform.input.Send(click);
        }
      } else {
        PressSlot(entry, code, firstReport, nowMs, silent);
      }
      return;
    case ButtonKind::kMouseToggle:
      if (!firstReport) {
        m_outcome.action = PressAction::kRepeatIgnored;
        return;
      }
      {
        const bool on = !m_bMouseMode.load();
        m_bMouseMode.store(on);
        m_outcome.action = PressAction::kMouseToggle;
        m_outcome.mouseModeOn = on;
        CopyBounded(m_szOsdText, on ? "Mouse On" : "Mouse Off");
      }
      return;
    case ButtonKind::kLight:
      m_outcome.action = PressAction::kLight;
      CopyBounded(m_szOsdText, "Light");
      return;
    case ButtonKind::kLaunch:
      // Once per press: a held button must not start a copy per report.
      if (firstReport) {
        LaunchCategory(entry.category);
      } else {
        silent = true;
      }
      return;
  }
}

PressResult Dispatcher::DispatchRemoteButton(int code, int marker, int repeat, uint64_t nowMs) {
  m_bInputRefused = false;
  code &= 0xFF;
  bool silent = false;
  bool tapSent = false;
  int tappedCode = -1;
  m_outcome = PressOutcome{};
  if ((marker & 0xFF) != kMarker) m_outcome.action = PressAction::kWrongMarker;
  if ((marker & 0xFF) == kMarker) {
    // Nothing may end the reader thread: a press that runs out of memory (a
    // hostile file, a huge value) does nothing more and shows no caption.
    try {
      if (m_platform.pressFiles != nullptr) m_platform.pressFiles->BeginPress();
      tappedCode = m_press.code;
      tapSent = TapPending();
      // A pointer action in mouse mode acts on every report, whatever came
      // before it: to the followed press it is another button.
      const bool pointer =
          m_bMouseMode.load() && LookupButtonCode(code).kind == ButtonKind::kMouseSlot;
      const Track track = TrackReport(code, (repeat & 0xFF) != 0 && !pointer, nowMs);
      tapSent = tapSent && !TapPending();
      // A refused tap must not keep this report's own action from its follow-up.
      const bool tapRefused = m_bInputRefused;
      m_bInputRefused = false;
      if (track == Track::kContinues) {
        ContinuePress(code, nowMs, silent);
      } else if (track == Track::kLate) {
        silent = true;  // its press has ended: ignored
        m_outcome.action = PressAction::kRepeatIgnored;
      } else {
        // A new press of the button: what it was last followed for (another
        // profile's rule, one since removed) has no say over its repeats.
        if (code == m_press.code) m_press.code = -1;
        m_bNoProfile = !m_platform.matcher.MatchForegroundProfile(m_szCurProfile, m_HotkeyTable);
        NoteMatch();
        Act(code, repeat, nowMs, silent);
      }
      if (silent) m_bInputRefused = tapRefused;
    } catch (...) {
      m_bNoProfile = true;
      m_szOsdText[0] = '\0';
    }
    if (m_platform.pressFiles != nullptr) m_platform.pressFiles->EndPress();
  }
  PressResult result;
  // A report that did nothing itself still shows the tap it ended.
  const int shown = silent && tapSent ? tappedCode : code;
  result.silent = silent && !tapSent;
  // The mode after the press: the toggle may just have changed it.
  result.restartMouseTimer = !m_bInputRefused && FollowUpFor(shown, m_bMouseMode.load(), true) ==
                                                     FollowUp::kRestartMouseTimer;
  CopyBounded(result.caption.text, m_szOsdText);
  result.outcome = m_outcome;
  return result;
}

PressResult Dispatcher::ReleaseTimedOut(uint64_t nowMs) {
  PressResult result;
  if (!TapPending() || nowMs < TapDueMs()) {
    result.silent = true;
    return result;
  }
  m_bInputRefused = false;
  m_outcome = PressOutcome{};
  try {
    EndPress();
  } catch (...) {
    m_szOsdText[0] = '\0';
  }
  result.restartMouseTimer = !m_bInputRefused && FollowUpFor(m_press.code, m_bMouseMode.load(),
                                                             true) == FollowUp::kRestartMouseTimer;
  CopyBounded(result.caption.text, m_szOsdText);
  result.outcome = m_outcome;
  return result;
}

void Dispatcher::NoteMatch() {
  CopyBounded(m_outcome.program, m_platform.matcher.ForegroundProgram());
  if (m_bNoProfile) {
    m_outcome.profile = ProfileUse::kNone;
    return;
  }
  m_outcome.profile =
      m_platform.matcher.MatchedCatchAll() ? ProfileUse::kCatchAll : ProfileUse::kNamed;
  CopyBounded(m_outcome.profileName, m_szCurProfile);
}

bool Dispatcher::LogSwitchOn() {
  char value[16] = "";
  try {
    if (m_platform.pressFiles != nullptr) m_platform.pressFiles->BeginPress();
    m_platform.ini.GetString("Default", "Log", "0", value, sizeof value, g_szCtrlIniPath);
  } catch (...) {
    value[0] = '\0';
  }
  if (m_platform.pressFiles != nullptr) m_platform.pressFiles->EndPress();
  // As GetPrivateProfileInt reads it: the leading number.
  return std::strtol(value, nullptr, 10) != 0;
}

}  // namespace k7
