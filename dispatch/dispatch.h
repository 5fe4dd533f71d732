// What one press of a remote button does: the button code table, mouse mode,
// launches, captions and the hotkey slots of the foreground profile.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "dispatch/launcher.h"
#include "dispatch/press_outcome.h"
#include "keys/hotkey_table.h"
#include "keys/input.h"
#include "profiles/hold_keys.h"
#include "profiles/ini_store.h"
#include "profiles/press_ini.h"

namespace k7 {

constexpr int kNameLen = 100;     // profile and application names
constexpr int kOsdTextLen = 256;  // a caption with its terminator
constexpr int kMarker = 0x7F;     // byte 2 of every genuine report
// The caption that replaces input the program in front would drop: short
// enough for a glance.
constexpr int kRefusedCaptionLen = 40;

// Finds the foreground application's profile: on a match fills in its name
// and the hotkeys of its slots and returns true.
class IProfileMatcher {
 public:
  virtual ~IProfileMatcher() = default;
  virtual bool MatchForegroundProfile(char (&profile)[kNameLen], CHotkeyTable& hotkeys) = 0;
  // The executable that was in front at the last match, matched or not, when
  // it runs with more rights than this program: Windows drops the input
  // injected into it without a word. Empty otherwise.
  virtual std::string ElevatedForeground() { return std::string(); }
  // The executable in front at the last match (its bare file name), and
  // whether the profile it gave is the one marked for all other programs.
  virtual const char* ForegroundProgram() const { return ""; }
  virtual bool MatchedCatchAll() const { return false; }
};

struct DispatchPlatform {
  IInputSink& input;
  ILauncher& launcher;
  IIniStrings& ini;
  IProfileMatcher& matcher;
  // When set (the program), each press reads every file afresh once, and the
  // files are let go once its action is done.
  PressIniStore* pressFiles = nullptr;
};

enum class ButtonKind : uint8_t {
  kNone,         // the code does nothing
  kSlot,         // a hotkey slot in both modes
  kMouseSlot,    // a hotkey slot outside mouse mode, a pointer action in it
  kMouseToggle,  // code 71
  kLight,        // code 84
  kLaunch,       // codes 75, 85, 86, 87
};

enum class MouseAction : uint8_t { kNone, kMove, kClick };

// What follows a press of the code once it is done: the pointer buttons
// restart the acceleration timer (some only in mouse mode); every other code
// shows the caption.
enum class TimerRestart : uint8_t { kNever, kAlways, kInMouseMode };

enum class FollowUp { kNothing, kRestartMouseTimer, kShowOsd };

struct ButtonCode {
  ButtonKind kind;
  int8_t slot;               // -1 when the code reaches no slot
  MouseAction mouse;         // in mouse mode, for kMouseSlot
  int8_t dx, dy;             // direction of a move: -1, 0 or +1
  bool slotOnlyFirstReport;  // the slot acts only when the repeat byte is 0
  const char* category;      // launch section of the control file
  TimerRestart timer;
};

// Entry of the button code table for the low byte of a code.
const ButtonCode& LookupButtonCode(int code);

// Slot a code reaches, as learning mode maps it; -1 for none.
int SlotForCode(int code);

// The follow-up after a dispatch, from the code and the state after it.
FollowUp FollowUpFor(int code, bool mouseMode, bool osdEnabled);

// The caption of one press, handed by value to the display.
struct Caption {
  char text[kOsdTextLen] = "";
};

// What the reader does after a press: restart timer 300, or show the caption.
struct PressResult {
  bool restartMouseTimer = false;
  Caption caption;
  // The report only went into a press whose action is not decided yet, or
  // one that has done all it does: nothing follows it, not even a caption.
  bool silent = false;
  // What the press did, for the events window and the log.
  PressOutcome outcome;
};

// What one press of a remote button does. Lives as long as the main window:
// mouse mode and the acceleration step outlast the reader threads that come
// and go with reconnections. The reader thread presses; the user-interface
// thread only resets the step (timer 300).
// Where a dispatcher starts: the program starts as below.
struct DispatchStart {
  bool mouseMode = false;
  int mouseStep = 0;
  const char* caption = "";
};

class Dispatcher {
 public:
  explicit Dispatcher(DispatchPlatform platform, const DispatchStart& start = {});
  Dispatcher(const Dispatcher&) = delete;
  Dispatcher& operator=(const Dispatcher&) = delete;

  // One report: code, marker and repeat byte (only their low bytes count),
  // and when it came, in milliseconds of a steady clock (only presses of
  // slots with a hold action or a repeat rule look at it). Never throws: a
  // press that fails for want of memory does nothing more and shows no
  // caption.
  PressResult DispatchRemoteButton(int code, int marker, int repeat, uint64_t nowMs = 0);

  // A press of a slot with a hold action that may still end as a tap: its
  // ordinary hotkey goes out once no report of it comes before TapDueMs().
  bool TapPending() const { return m_press.open && m_press.hold.byKey != 0 && !m_press.held; }
  // The button whose press is followed; -1 for none.
  int PendingCode() const { return m_press.code; }
  uint64_t TapDueMs() const { return m_press.lastMs + uint64_t(m_press.releaseMs); }
  // No report came in time: sends the pending tap as the profile matched at
  // the press's first report had it. Silent when no tap is due at nowMs.
  PressResult ReleaseTimedOut(uint64_t nowMs);
  // The press cannot end normally (the receiver went, reception is off, the
  // editor takes the reports, the program ends): its tap is not sent, and
  // the next report counts as the start of a press.
  void DropPendingTap() {
    m_press.open = false;
    m_press.code = -1;
  }

  // Whether "Log" of the control file's [Default] is on, read afresh: a
  // press of its own of the files, so call it once a report's action is done.
  bool LogSwitchOn();

  // Timer 300: the acceleration starts again from its first step.
  void ResetMouseStep() { m_nMouseStep.store(0); }

  bool MouseMode() const { return m_bMouseMode.load(); }
  int MouseStep() const { return m_nMouseStep.load(); }
  bool NoProfile() const { return m_bNoProfile; }
  const char* CurProfile() const { return m_szCurProfile; }
  const char* LaunchApp() const { return m_szLaunchApp; }
  const CHotkeyTable& HotkeyTable() const { return m_HotkeyTable; }

 private:
  // A press followed over its reports: one of a slot with a hold action,
  // or with a repeat rule that needs to know when the press began.
  struct HeldPress {
    int code = -1;      // -1: none known
    bool open = false;  // no report has ended it yet
    bool held = false;  // its hold action has fired
    RepeatRule rule;
    uint64_t firstMs = 0, lastMs = 0;
    int holdMs = kDefaultHoldMs, releaseMs = kDefaultReleaseMs;
    // A slot with a hold action (hold.byKey nonzero): its two actions as the
    // first report's match had them, captions in szDescription, and the
    // program in front then if it ran elevated.
    BUTTONSLOT tap{}, hold{};
    std::string elevated;
    // The program and profile of the first report, for the line of an
    // action that fires later.
    PressOutcome matched;
    int8_t slot = -1;
  };
  enum class Track { kNew, kContinues, kLate };

  // Whether the report continues the followed press, comes after it ended,
  // or starts something new; ends the press (sending a pending tap) unless
  // it continues.
  Track TrackReport(int code, bool repeatReport, uint64_t nowMs);
  // The press has ended: its pending tap, if any, goes out.
  void EndPress();
  // A report that continues the followed press.
  void ContinuePress(int code, uint64_t nowMs, bool& silent);
  void Act(int code, int repeat, uint64_t nowMs, bool& silent);
  // A slot's report that starts a press: its hold action or repeat rule
  // decide what it does.
  void PressSlot(const ButtonCode& entry, int code, bool firstReport, uint64_t nowMs, bool& silent);
  // True, with the press set up, when slot n of the profile has a hold action.
  bool StartHoldPress(int n, int code, uint64_t nowMs);
  int ReadMsSetting(const char* key, int min, int max, int fallback);
  // One of the followed press's actions, unless the program that was in
  // front at its first report drops injected input.
  void SendHeldAction(const BUTTONSLOT& action);
  // Sends slot n of the current profile and loads its caption; with no
  // profile it only empties the caption.
  void RunSlot(int n);
  void MovePointer(int dx, int dy);
  // False, with a caption that says why, when the program in front would drop
  // whatever the press injects.
  bool ForegroundTakesInput();
  bool TakesInput(const std::string& elevatedExe);
  void LaunchCategory(const char* category);
  // The match's part of the outcome.
  void NoteMatch();

  DispatchPlatform m_platform;
  std::atomic<bool> m_bMouseMode{false};
  // Grows with each move on the reader thread; timer 300 resets it.
  std::atomic<int> m_nMouseStep{0};
  bool m_bNoProfile = true;
  // This press's input was not sent: its caption tells why, even in mouse mode.
  bool m_bInputRefused = false;
  char m_szCurProfile[kNameLen] = "";
  CHotkeyTable m_HotkeyTable;
  // The caption of the last action; a press that sets none shows it again.
  char m_szOsdText[kOsdTextLen] = "";
  char m_szLaunchApp[kNameLen] = "";
  HeldPress m_press;
  // What the current press did.
  PressOutcome m_outcome;
};

}  // namespace k7
