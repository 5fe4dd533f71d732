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

  // One report: code, marker and repeat byte (only their low bytes count).
  // Never throws: a press that fails for want of memory does nothing more
  // and shows no caption.
  PressResult DispatchRemoteButton(int code, int marker, int repeat);

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
  void Act(int code, int repeat);
  // Sends slot n of the current profile and loads its caption; with no
  // profile it only empties the caption.
  void RunSlot(int n);
  void MovePointer(int dx, int dy);
  // False, with a caption that says why, when the program in front would drop
  // whatever the press injects.
  bool ForegroundTakesInput();
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
  // What the current press did.
  PressOutcome m_outcome;
};

}  // namespace k7
