// The 34 parsed hotkey slots of one profile, and the injection of one slot.
#pragma once

#include "keys/hotkey_notation.h"
#include "keys/input.h"
#include "profiles/ini_store.h"

namespace k7 {

class CHotkeyTable {
 public:
  virtual ~CHotkeyTable() = default;

  // Reads every slot (hotkey from userDefPath, caption from userDefInfPath)
  // and parses it. Slots from count on are left untouched.
  void Load(IIniStore& ini, const char* section, const char* userDefPath,
            const char* userDefInfPath, int count);
  // Load in two halves: the hotkeys (each slot emptied, read and parsed),
  // then the descriptions into the same slots.
  void LoadHotkeys(IIniStore& ini, const char* section, const char* userDefPath, int count);
  void LoadDescriptions(IIniStore& ini, const char* section, const char* userDefInfPath, int count);

  // Parses m_Slots[n].szHotkey in place (see ParseHotkeyString).
  void ParseSlot(int n);

  // Injects slot n: Num Lock correction, modifiers, key, modifiers released.
  void SendHotkey(IInputSink& input, int n) const;

  // Toggles Num Lock when its state does not suit the key about to be sent.
  static void SyncNumLock(IInputSink& input, bool keypadKey);

  const BUTTONSLOT& Slot(int n) const { return m_Slots[n]; }
  BUTTONSLOT& Slot(int n) { return m_Slots[n]; }

 private:
  BUTTONSLOT m_Slots[kSlotCount] = {};
};

// True for the key names that need Num Lock on: NUMPAD0..NUMPAD9 and DECIMAL.
bool IsKeypadKeyName(const char* name);

}  // namespace k7
