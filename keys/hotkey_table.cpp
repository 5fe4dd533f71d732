#include "keys/hotkey_table.h"

#include <cstdio>

#include "base/text.h"

namespace k7 {

void CHotkeyTable::Load(IIniStore& ini, const char* section, const char* userDefPath,
                        const char* userDefInfPath, int count) {
  LoadHotkeys(ini, section, userDefPath, count);
  LoadDescriptions(ini, section, userDefInfPath, count);
}

void CHotkeyTable::LoadHotkeys(IIniStore& ini, const char* section, const char* userDefPath,
                               int count) {
  if (count > kSlotCount) count = kSlotCount;
  for (int i = 0; i < count; ++i) {
    BUTTONSLOT& slot = m_Slots[i];
    slot = BUTTONSLOT{};
    char key[4];
    std::snprintf(key, sizeof key, "%d", i);
    ini.GetString(section, key, "", slot.szHotkey, sizeof slot.szHotkey, userDefPath);
    // Whatever the store did, the buffer ends within its size.
    slot.szHotkey[kHotkeyLen - 1] = '\0';
    ParseSlot(i);
  }
}

void CHotkeyTable::LoadDescriptions(IIniStore& ini, const char* section, const char* userDefInfPath,
                                    int count) {
  if (count > kSlotCount) count = kSlotCount;
  for (int i = 0; i < count; ++i) {
    BUTTONSLOT& slot = m_Slots[i];
    char key[4];
    std::snprintf(key, sizeof key, "%d", i);
    ini.GetString(section, key, "", slot.szDescription, sizeof slot.szDescription, userDefInfPath);
    slot.szDescription[kDescriptionLen - 1] = '\0';
  }
}

void CHotkeyTable::ParseSlot(int n) {
  if (n < 0 || n >= kSlotCount) return;
  ParseHotkeyString(m_Slots[n]);
}

bool IsKeypadKeyName(const char* name) {
  if (EqualsNoCase(name, "decimal")) return true;
  return StartsWithNoCase(name, "numpad") && name[6] >= '0' && name[6] <= '9' && name[7] == '\0';
}

void CHotkeyTable::SyncNumLock(IInputSink& input, bool keypadKey) {
  if (keypadKey == input.IsNumLockOn()) return;
  input.KeyEvent(kVkNumLock, kNumLockScan, kKeyExtended);
  input.KeyEvent(kVkNumLock, kNumLockScan, kKeyExtended | kKeyUp);
}

void CHotkeyTable::SendHotkey(IInputSink& input, int n) const {
  if (n < 0 || n >= kSlotCount) return;
  const BUTTONSLOT& slot = m_Slots[n];
  SyncNumLock(input, IsKeypadKeyName(slot.szHotkey));
  // Scan code 0 and no extended flag, whatever byExtended says: that flag only
  // serves the editor's control value.
  const uint8_t mods[3] = {slot.byModifier1, slot.byModifier2, slot.byModifier3};
  for (uint8_t m : mods) {
    if (m != 0) input.KeyEvent(m, 0, 0);
  }
  if (slot.byKey != 0) {
    input.KeyEvent(slot.byKey, 0, 0);
    input.KeyEvent(slot.byKey, 0, kKeyUp);
  }
  for (int i = 2; i >= 0; --i) {
    if (mods[i] != 0) input.KeyEvent(mods[i], 0, kKeyUp);
  }
}

}  // namespace k7
