// The profile list: which sections of "UserDef.ini" are profiles, and the
// lists the settings window and the editor show. A press finds the same
// profiles in its own read of the file (PressIniStore::ProfileNames).
#pragma once

#include <string>
#include <vector>

#include "profiles/ini_store.h"

namespace k7 {

// Longest profile name, in characters: every buffer that holds one (the
// matched profile, a category's "APName", the editor's fields) has 100 bytes.
// A longer section name is never listed, so it can never be cut into another.
constexpr int kMaxProfileName = 99;

// "ExeFile" of a "FilePath": the text behind the last backslash (empty when
// the path ends in one), or the whole path when it has none.
std::string ExeFileFromPath(const char* path);

// A path as the user typed or pasted it, ready to store: blanks around it
// and one pair of double quotes around it removed (Explorer's "Copy as path"
// gives "C:\Program Files\Player\player.exe" with its quotes).
std::string PathFromTypedText(const char* text);

// A string value however long it is (empty when missing).
std::string ReadWholeString(IIniStrings& ini, const char* section, const char* key,
                            const char* file);

// Every section name of the file, in file order, however many and however
// long the list is.
std::vector<std::string> ReadSectionNames(IIniStore& ini, const char* file);

// The "key=value" lines of a section as GetSection gives them, in file
// order, however long the section is.
std::vector<std::string> ReadSectionLines(IIniStore& ini, const char* section, const char* file);

// A profile of "UserDef.ini" marked with this key set to "1" applies to every
// program no profile names. Today's files never hold it; any other value is
// no mark.
constexpr char kAllOtherProgramsKey[] = "AllOtherPrograms";
bool HoldsAllOtherProgramsMark(IIniStrings& ini, const char* profile, const char* file);

// The profiles of "UserDef.ini" in file order: the sections that hold at
// least one key and whose names fit kMaxProfileName.
std::vector<std::string> ReadProfileNames(IIniStore& ini, const char* file);

// The first-run rewrite of a delivered file: each profile's "FilePath" that
// begins with "C:\Program Files\" (any letter case) gets programFilesDir in
// place of that folder. Other paths, emptied sections, and every path when
// programFilesDir is empty are left alone, so a second rewrite changes nothing.
void RewriteDeliveredPaths(IIniStore& ini, const char* file, const char* programFilesDir);

// A list control that shows profile names (the combo boxes on Windows).
class IProfileList {
 public:
  virtual ~IProfileList() = default;
  virtual void Clear() = 0;
  virtual void Append(const char* name) = 0;
  virtual void SelectFirst() = 0;
};

// Appends the profiles of the file to the list and selects the first; with
// firstRun, rewrites the delivered paths first.
void FillProfileList(IIniStore& ini, IProfileList& list, const char* file, bool firstRun = false,
                     const char* programFilesDir = "");

// The settings window's refill after the profiles may have changed (its
// commands, or any program's edits of the file): the box is emptied and
// filled again.
void RefreshProfileList(IIniStore& ini, IProfileList& settingsBox, const char* file);

}  // namespace k7
