#include "dispatch/profile_hotkeys.h"

#include <cstdio>

#include "profiles/default_profiles.h"

namespace k7 {

// A stored profile and a hotkey table hold the same buttons, with strings of
// the same sizes.
static_assert(kProfileSlotCount == kSlotCount);
static_assert(sizeof PROFILESLOT{}.szHotkey == kHotkeyLen);
static_assert(sizeof PROFILESLOT{}.szDescription == kDescriptionLen);

namespace {

// Value "n" of the section for each slot n below count, in a buffer of N
// bytes that ends within its size whatever the store did.
template <size_t N, typename Use>
void ReadSlotValues(IIniStrings& ini, const char* section, const char* file, int count, Use use) {
  if (count > kSlotCount) count = kSlotCount;
  for (int i = 0; i < count; ++i) {
    char key[4];
    std::snprintf(key, sizeof key, "%d", i);
    char value[N] = {};
    ini.GetString(section, key, "", value, sizeof value, file);
    value[N - 1] = '\0';
    use(i, value);
  }
}

}  // namespace

void LoadHotkeyTable(CHotkeyTable& table, IIniStrings& ini, const char* section,
                     const char* userDefPath, const char* userDefInfPath, int count) {
  LoadHotkeys(table, ini, section, userDefPath, count);
  LoadDescriptions(table, ini, section, userDefInfPath, count);
}

void LoadHotkeys(CHotkeyTable& table, IIniStrings& ini, const char* section,
                 const char* userDefPath, int count) {
  ReadSlotValues<kHotkeyLen>(ini, section, userDefPath, count,
                             [&](int n, const char* hotkey) { table.SetHotkey(n, hotkey); });
}

void LoadDescriptions(CHotkeyTable& table, IIniStrings& ini, const char* section,
                      const char* userDefInfPath, int count) {
  ReadSlotValues<kDescriptionLen>(ini, section, userDefInfPath, count,
                                  [&](int n, const char* text) { table.SetDescription(n, text); });
}

}  // namespace k7
