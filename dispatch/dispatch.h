// What one press of a remote button does: the button code table, mouse mode,
// launches, captions and the hotkey slots of the foreground profile.
#pragma once

#include <atomic>
#include <cstdint>

#include "dispatch/launcher.h"
#include "keys/hotkey_table.h"
#include "keys/input.h"
#include "profiles/ini_store.h"

namespace k7 {

constexpr int kNameLen = 100;     // profile and application names
constexpr int kOsdTextLen = 256;  // g_szOsdText
constexpr int kMarker = 0x7F;     // byte 2 of every genuine report

// Shared with the user-interface thread (timer 300) and the reader's routing.
extern std::atomic<bool> g_bMouseMode;
extern std::atomic<int> g_nMouseStep;
// Written by the foreground match on the reader thread, read by the dispatcher.
extern std::atomic<bool> g_bNoProfile;
extern char g_szCurProfile[kNameLen];
extern CHotkeyTable g_HotkeyTable;
// Caption of the last action; read by the display thread while the reader
// waits for it to be shown.
extern char g_szOsdText[kOsdTextLen];
extern char g_szLaunchApp[kNameLen];

// Finds the foreground application's profile: sets g_bNoProfile and, on a
// match, g_szCurProfile and g_HotkeyTable.
class IProfileMatcher {
 public:
  virtual ~IProfileMatcher() = default;
  virtual void MatchForegroundProfile() = 0;
  // After the press's action: whatever of the matched profile the action
  // itself did not need (the slot descriptions), so that reading it does not
  // delay the keys.
  virtual void CompleteMatchedProfile() {}
};

struct DispatchPlatform {
  IInputSink& input;
  ILauncher& launcher;
  IIniStore& ini;
  IProfileMatcher& matcher;
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

struct ButtonCode {
  ButtonKind kind;
  int8_t slot;               // -1 when the code reaches no slot
  MouseAction mouse;         // in mouse mode, for kMouseSlot
  int8_t dx, dy;             // direction of a move: -1, 0 or +1
  bool slotOnlyFirstReport;  // the slot acts only when the repeat byte is 0
  const char* category;      // launch section of the control file
};

// Entry of the button code table for the low byte of a code.
const ButtonCode& LookupButtonCode(int code);

// Slot a code reaches, as learning mode maps it; -1 for none.
int SlotForCode(int code);

// One report: code, marker and repeat byte (only their low bytes count).
// Never throws: a press that fails for want of memory does nothing more.
void DispatchRemoteButton(DispatchPlatform& platform, int code, int marker, int repeat);

// Sends slot n of the current profile and loads its caption; with no profile
// it only empties the caption.
void RunSlot(DispatchPlatform& platform, int n);

// Reads the caption of slot n of g_szCurProfile from "UserDefInf.ini".
void LoadSlotCaption(IIniStore& ini, int n);

// Timer 300: the acceleration starts again from its first step.
inline void ResetMouseStep() {
  g_nMouseStep.store(0);
}

}  // namespace k7
