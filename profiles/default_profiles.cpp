#include "profiles/default_profiles.h"

#include <cstdio>
#include <string>

#include "base/text.h"
#include "profiles/hold_keys.h"
#include "profiles/ini_paths.h"

namespace k7 {

char g_szProgramFilesDir[100];
int g_nMark;

namespace {

struct Builtin {
  const char* name;
  const char* category;
  const char* exeFile;
  const char* pathSuffix;
};

constexpr Builtin kBuiltins[kDefaultProfileCount] = {
    {"WinDVD", "DVD", "WinDVD.exe", "\\InterVideo\\WinDVD\\WinDVD.exe"},
    {"WinRip", "Music", "WinRip.exe", "\\InterVideo\\WinRip\\WinRip.exe"},
    {"IE", "WWW", "IEXPLORE.EXE", "\\Internet Explorer\\IEXPLORE.EXE"},
    {"PowerPoint", "Speech", "powerpnt.exe", "\\Microsoft Office\\Office\\powerpnt.exe"},
};

struct SlotText {
  const char* hotkey;
  const char* description;
};

// Slot by slot: WinDVD, WinRip, IE, PowerPoint. Stored exactly as written
// here, odd spellings ("Volum Up", "ESC", "1-Down") included.
constexpr SlotText kSlots[kProfileSlotCount][kDefaultProfileCount] = {
    /* 0 */ {{"", ""}, {"", ""}, {"", ""}, {"", ""}},
    /* 1 */ {{"0-X", "Exit"}, {"0-X", "Exit"}, {"0-C-W", "Exit"}, {"0-A-F4", "Exit"}},
    /* 2 */ {{"", ""}, {"", ""}, {"", ""}, {"", ""}},
    /* 3 */ {{"0-O", "Properties"}, {"", ""}, {"", ""}, {"", ""}},
    /* 4 */
    {{"1-PGUP", "Page Up"}, {"1-PGUP", "Page Up"}, {"1-PGUP", "Page Up"}, {"1-PGUP", "Page Up"}},
    /* 5 */ {{"", ""}, {"", ""}, {"", ""}, {"", ""}},
    /* 6 */ {{"0-G", "Angle"}, {"", ""}, {"", ""}, {"", ""}},
    /* 7 */
    {{"1-PGDOWN", "Page Down"},
     {"1-PGDOWN", "Page Down"},
     {"1-PGDOWN", "Page Down"},
     {"1-PGDOWN", "Page Down"}},
    /* 8 */ {{"", ""}, {"", ""}, {"", ""}, {"", ""}},
    /* 9 */ {{"", ""}, {"", ""}, {"", ""}, {"", ""}},
    /* 10 */ {{"1-S-UP", "Volum Up"}, {"1-S-UP", "Volume Up"}, {"1-HOME", "Top"}, {"", ""}},
    /* 11 */ {{"", ""}, {"", ""}, {"", ""}, {"", ""}},
    /* 12 */ {{"", ""}, {"", ""}, {"", ""}, {"", ""}},
    /* 13 */ {{"1-S-DOWN", "Volume Down"}, {"1-S-DOWN", "Volume Down"}, {"1-END", "End"}, {"", ""}},
    /* 14 */ {{"ESC", "Esc"}, {"0-ESC", "Esc"}, {"0-ESC", "Esc"}, {"0-ESC", "Esc"}},
    /* 15 */
    {{"0-M", "Mute On/Off"}, {"0-M", "Mute On/Off"}, {"0-F4", "Old Address List"}, {"", ""}},
    /* 16 */ {{"1-UP", "Up"}, {"1-UP", "Up"}, {"1-UP", "Up"}, {"1-Up", "Up"}},
    /* 17 */ {{"1-LEFT", "Left"}, {"1-LEFT", "Left"}, {"1-LEFT", "Left"}, {"1-LEFT", "Left"}},
    /* 18 */
    {{"0-ENTER", "Enter"}, {"0-ENTER", "Enter"}, {"0-ENTER", "Enter"}, {"0-ENTER", "Enter"}},
    /* 19 */
    {{"1-RIGHT", "Right"}, {"1-RIGHT", "Right"}, {"1-RIGHT", "Right"}, {"1-RIGHT", "Right"}},
    /* 20 */ {{"1-Down", "Down"}, {"1-Down", "Down"}, {"1-DOWN", "Down"}, {"1-Down", "Down"}},
    /* 21 */ {{"0-Z", "Screen"}, {"0-C-V", "VIS Toggle"}, {"0-F11", "Screen"}, {"", ""}},
    /* 22 */ {{"0-C", "Chapter"}, {"0-A-P", "Playlist"}, {"0-A-A", "My Favorites"}, {"", ""}},
    /* 23 */
    {{"0-R", "Backward"},
     {"0-S-TAB", "Shift + Tab"},
     {"1-A-LEFT", "Prev Page"},
     {"1-PGUP", "Previous"}},
    /* 24 */ {{"0-ENTER", "Play"}, {"0-ENTER", "Play"}, {"0-ENTER", "Enter"}, {"0-F5", "Play"}},
    /* 25 */
    {{"0-F", "Forward"}, {"0-TAB", "Tab"}, {"1-A-RIGHT", "Next Page"}, {"1-PGDOWN", "Next"}},
    /* 26 */
    {{"1-PGUP", "Previous"},
     {"1-PGUP", "Previous"},
     {"0-S-TAB", "Prev Item"},
     {"0-S-TAB", "Shift + Tab"}},
    /* 27 */ {{"0-SPACE", "Play/Pause"}, {"0-SPACE", "Play/Pause"}, {"0-F5", "Reload"}, {"", ""}},
    /* 28 */ {{"1-PGDOWN", "Next"}, {"1-PGDOWN", "Next"}, {"0-TAB", "Next Item"}, {"0-TAB", "Tab"}},
    /* 29 */ {{"0-C-M", "Menu"}, {"0-B", "Menu"}, {"0-A-F", "Menu"}, {"0-A-F", "Menu"}},
    /* 30 */ {{"1-END", "Stop"}, {"1-END", "Stop"}, {"0-ESC", "Stop"}, {"0-ESC", "Stop"}},
    /* 31 */ {{"0-T", "Root"}, {"0-R", "Repeat"}, {"1-A-HOME", "Home"}, {"", ""}},
    /* 32 */ {{"0-S", "Subtitle"}, {"0-C-D", "DSP Toggle"}, {"0-C-F", "Search"}, {"", ""}},
    /* 33 */ {{"0-A", "Audio"}, {"0-C-O", "Open File"}, {"0-C-N", "New Page"}, {"", ""}},
};

}  // namespace

void BuildDefaultProfile(APPPROFILE* profile, int number) {
  if (profile == nullptr || number < 0 || number >= kDefaultProfileCount) return;
  const Builtin& b = kBuiltins[number];
  CopyBounded(profile->szAppName, b.name);
  CopyBounded(profile->szFilePath, g_szProgramFilesDir);
  AppendBounded(profile->szFilePath, b.pathSuffix);
  CopyBounded(profile->szExeFile, b.exeFile);
  for (int k = 0; k < kProfileSlotCount; ++k) {
    CopyBounded(profile->slots[k].szHotkey, kSlots[k][number].hotkey);
    CopyBounded(profile->slots[k].szDescription, kSlots[k][number].description);
  }
}

const char* DefaultProfileCategory(int number) {
  return number >= 0 && number < kDefaultProfileCount ? kBuiltins[number].category : "";
}

void WriteDefaultProfiles(IIniStore& ini) {
  for (int n = 0; n < kDefaultProfileCount; ++n) {
    APPPROFILE profile{};
    BuildDefaultProfile(&profile, n);
    ini.WriteString(profile.szAppName, "FilePath", profile.szFilePath, g_szUserDefIniPath);
    ini.WriteString(profile.szAppName, "ExeFile", profile.szExeFile, g_szUserDefIniPath);
    ini.WriteString(DefaultProfileCategory(n), "APName", profile.szAppName, g_szCtrlIniPath);
    for (int k = 0; k < kProfileSlotCount; ++k) {
      char key[4];
      std::snprintf(key, sizeof key, "%d", k);
      ini.WriteString(profile.szAppName, key, profile.slots[k].szHotkey, g_szUserDefIniPath);
      ini.WriteString(profile.szAppName, key, profile.slots[k].szDescription,
                      g_szUserDefInfIniPath);
      // A built-in profile has no held-button keys: restored, it loses any
      // the user gave it (deleting a missing key leaves the file as it is).
      const std::string hold = HoldKeyName(k);
      ini.WriteString(profile.szAppName, hold.c_str(), nullptr, g_szUserDefIniPath);
      ini.WriteString(profile.szAppName, hold.c_str(), nullptr, g_szUserDefInfIniPath);
      ini.WriteString(profile.szAppName, RepeatKeyName(k).c_str(), nullptr, g_szUserDefIniPath);
    }
  }
}

}  // namespace k7
