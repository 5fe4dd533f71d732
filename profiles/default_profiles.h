// The four built-in profiles, written on the first run and by the settings
// dialog's Default button.
#pragma once

#include "profiles/ini_store.h"

namespace k7 {

constexpr int kDefaultProfileCount = 4;
// Keys "0" to "33" of a profile's section, one per remote button.
constexpr int kProfileSlotCount = 34;

// One button of a stored profile, as the files hold it: the hotkey string
// (parsed only when a hotkey table loads it) and the caption.
struct PROFILESLOT {
  char szHotkey[30];
  char szDescription[255];
};

struct APPPROFILE {
  char szAppName[100];
  char szFilePath[260];
  char szExeFile[50];
  PROFILESLOT slots[kProfileSlotCount];
};

// Registry value "ProgramFilesDir", read once at start-up; empty when unknown.
extern char g_szProgramFilesDir[100];
// "Default"/"Mark" of the control file: 0 until the first run is handled.
extern int g_nMark;

// Fills every string of the record for built-in profile 0 to 3; any other
// number leaves it unchanged.
void BuildDefaultProfile(APPPROFILE* profile, int number);

// Category section of "QVCtrl.ini" whose "APName" names built-in profile n.
const char* DefaultProfileCategory(int number);

// Writes the four built-in profiles into the three files, key by key, and
// assigns them to the four launch categories. Other profiles, other keys and
// the "Default" section are kept.
void WriteDefaultProfiles(IIniStore& ini);

}  // namespace k7
