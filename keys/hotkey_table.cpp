#include "keys/hotkey_table.h"

#include "base/text.h"

namespace k7 {

namespace {

// Scan codes of the volume and media keys (all extended, E0 xx), indexed from
// 0xAD: without them Windows and most players ignore the key.
constexpr uint8_t kFirstMediaKey = 0xAD;
constexpr uint8_t kMediaScans[] = {0x20, 0x2E, 0x30, 0x19, 0x10, 0x24, 0x22};

}  // namespace

void CHotkeyTable::SetHotkey(int n, const char* stored) {
  if (n < 0 || n >= kSlotCount) return;
  BUTTONSLOT& slot = m_Slots[n];
  slot = BUTTONSLOT{};
  CopyBounded(slot.szHotkey, stored);
  ParseSlot(n);
}

void CHotkeyTable::SetDescription(int n, const char* text) {
  if (n < 0 || n >= kSlotCount) return;
  CopyBounded(m_Slots[n].szDescription, text);
}

void CHotkeyTable::ParseSlot(int n) {
  if (n < 0 || n >= kSlotCount) return;
  ParseHotkeyString(m_Slots[n]);
}

bool IsKeypadKeyName(const char* name) {
  if (EqualsNoCase(name, "decimal")) return true;
  return StartsWithNoCase(name, "numpad") && name[6] >= '0' && name[6] <= '9' && name[7] == '\0';
}

void CHotkeyTable::SyncNumLock(IInputSink& input, bool keypadKey, InputBatch& events) {
  if (keypadKey == input.IsNumLockOn()) return;
  events.Key(kVkNumLock, kNumLockScan, kKeyExtended);
  events.Key(kVkNumLock, kNumLockScan, kKeyExtended | kKeyUp);
}

void CHotkeyTable::SendHotkey(IInputSink& input, int n) const {
  if (n < 0 || n >= kSlotCount) return;
  Send(input, m_Slots[n]);
}

void CHotkeyTable::Send(IInputSink& input, const BUTTONSLOT& slot) {
  InputBatch events;
  SyncNumLock(input, IsKeypadKeyName(slot.szHotkey), events);
  // Scan code 0 and no extended flag, whatever byExtended says: that flag only
  // serves the editor's control value. The volume and media keys alone go out
  // as the extended keys they are.
  const uint8_t mods[3] = {slot.byModifier1, slot.byModifier2, slot.byModifier3};
  for (uint8_t m : mods) {
    if (m != 0) events.Key(m, 0, 0);
  }
  if (slot.byKey != 0) {
    uint8_t scan = 0;
    uint32_t flags = 0;
    const unsigned media = unsigned(slot.byKey) - kFirstMediaKey;
    if (media < sizeof kMediaScans) {
      scan = kMediaScans[media];
      flags = kKeyExtended;
    }
    events.Key(slot.byKey, scan, flags);
    events.Key(slot.byKey, scan, flags | kKeyUp);
  }
  for (int i = 2; i >= 0; --i) {
    if (mods[i] != 0) events.Key(mods[i], 0, kKeyUp);
  }
  if (events.Size() > 0) input.Send(events);
}

}  // namespace k7
