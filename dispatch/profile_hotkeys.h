// A profile's hotkeys and captions read from the INI files into a hotkey
// table: the table parses strings and knows no files.
#pragma once

#include "keys/hotkey_table.h"
#include "profiles/ini_store.h"

namespace k7 {

// Reads every slot (hotkey from userDefPath, caption from userDefInfPath)
// and parses it. Slots from count on are left untouched.
void LoadHotkeyTable(CHotkeyTable& table, IIniStrings& ini, const char* section,
                     const char* userDefPath, const char* userDefInfPath, int count);

// LoadHotkeyTable in two halves: the hotkeys (each slot emptied, read and
// parsed), then the captions into the same slots.
void LoadHotkeys(CHotkeyTable& table, IIniStrings& ini, const char* section,
                 const char* userDefPath, int count);
void LoadDescriptions(CHotkeyTable& table, IIniStrings& ini, const char* section,
                      const char* userDefInfPath, int count);

}  // namespace k7
