// The 34 parsed hotkey slots of one profile, and the injection of one slot.
#pragma once

#include "keys/hotkey_notation.h"
#include "keys/input.h"

namespace k7 {

class CHotkeyTable {
 public:
  // Empties slot n and parses its stored hotkey string into it (cut to the
  // slot's buffer). Numbers outside the table are ignored.
  void SetHotkey(int n, const char* stored);
  // The caption of slot n, cut to its buffer.
  void SetDescription(int n, const char* text);

  // Parses m_Slots[n].szHotkey in place (see ParseHotkeyString).
  void ParseSlot(int n);

  // Injects slot n in one piece: Num Lock correction, modifiers, key,
  // modifiers released.
  void SendHotkey(IInputSink& input, int n) const;
  // The same for a slot held elsewhere (a hold action, a deferred tap).
  static void Send(IInputSink& input, const BUTTONSLOT& slot);

  // Adds a Num Lock toggle to the events when its state does not suit the key
  // about to be sent.
  static void SyncNumLock(IInputSink& input, bool keypadKey, InputBatch& events);

  const BUTTONSLOT& Slot(int n) const { return m_Slots[n]; }
  BUTTONSLOT& Slot(int n) { return m_Slots[n]; }

 private:
  BUTTONSLOT m_Slots[kSlotCount] = {};
};

// True for the key names that need Num Lock on: NUMPAD0..NUMPAD9 and DECIMAL.
bool IsKeypadKeyName(const char* name);

}  // namespace k7
