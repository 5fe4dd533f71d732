#include "dispatch/profile_hotkeys.h"

#include <cstdio>

#include "profiles/default_profiles.h"

namespace k7 {

// A stored profile and a hotkey table hold the same buttons, with strings of
// the same sizes.
static_assert(kProfileSlotCount == kSlotCount);
static_assert(sizeof PROFILESLOT{}.szHotkey == kHotkeyLen);
static_assert(sizeof PROFILESLOT{}.szDescription == kDescriptionLen);

void LoadHotkeyTable(CHotkeyTable& table, IIniStrings& ini, const char* section,
                     const char* userDefPath, const char* userDefInfPath, int count) {
  LoadHotkeys(table, ini, section, userDefPath, count);
  LoadDescriptions(table, ini, section, userDefInfPath, count);
}

void LoadHotkeys(CHotkeyTable& table, IIniStrings& ini, const char* section,
                 const char* userDefPath, int count) {
  if (count > kSlotCount) count = kSlotCount;
  for (int i = 0; i < count; ++i) {
    char key[4];
    std::snprintf(key, sizeof key, "%d", i);
    char hotkey[kHotkeyLen] = {};
    ini.GetString(section, key, "", hotkey, sizeof hotkey, userDefPath);
    // Whatever the store did, the buffer ends within its size.
    hotkey[kHotkeyLen - 1] = '\0';
    table.SetHotkey(i, hotkey);
  }
}

void LoadDescriptions(CHotkeyTable& table, IIniStrings& ini, const char* section,
                      const char* userDefInfPath, int count) {
  if (count > kSlotCount) count = kSlotCount;
  for (int i = 0; i < count; ++i) {
    char key[4];
    std::snprintf(key, sizeof key, "%d", i);
    char text[kDescriptionLen] = {};
    ini.GetString(section, key, "", text, sizeof text, userDefInfPath);
    text[kDescriptionLen - 1] = '\0';
    table.SetDescription(i, text);
  }
}

}  // namespace k7
