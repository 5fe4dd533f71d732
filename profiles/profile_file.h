// One profile as a file of its own, to take it to another computer or share
// it: INI text that names its code page, with the profile's keys of
// "UserDef.ini" and "UserDefInf.ini" in the order the files hold them.
//
//   [Profile]
//   Format=1
//   CodePage=1252
//   Name=WinDVD
//   [UserDef]
//   FilePath=C:\Program Files\InterVideo\WinDVD\WinDVD.exe
//   ExeFile=WinDVD.exe
//   0=
//   1=0-X
//   ...
//   [UserDefInf]
//   0=
//   1=Exit
//   ...
//
// Writing keeps every value as the files hold it, so a profile read back into
// fresh files gives the same lines. Reading refuses, with what is wrong, any
// file that is not such a profile; it never trusts sizes or counts from the
// file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/ini_store.h"

namespace k7 {

constexpr int kProfileFileFormat = 1;
// The largest profile makes a file of about 40 KB.
constexpr size_t kMaxProfileFileBytes = 256 * 1024;

struct ProfileFileKey {
  std::string key;
  std::string value;
  int line = 0;  // in the file it was read from; 0 when taken from the INI files
};

struct ProfileFile {
  unsigned codePage = 0;
  std::string name;
  int nameLine = 0;
  std::vector<ProfileFileKey> userDef;     // "FilePath", "ExeFile", slots, "Hold<n>", "Repeat<n>"
  std::vector<ProfileFileKey> userDefInf;  // slots, "Hold<n>"
};

// Whether a key of a profile's section goes into its file: the 34 slots and
// their hold actions, and in "UserDef.ini" also the program and the repeat
// rules. Anything else (the mark of the profile for all other programs
// among them) stays on this computer.
bool IsProfileFileKey(std::string_view key, bool inUserDef);

// The profile as saved: its keys that go into the file, in file order, each
// once (the first, which is the one the program reads).
ProfileFile ReadProfileForFile(IIniStore& ini, const char* name, const char* userDef,
                               const char* userDefInf, unsigned codePage);

// The file's text, with CR LF line ends.
std::string FormatProfileFile(const ProfileFile& profile);

// A file's bytes as a profile, its text still in the file's code page; false,
// with what is wrong in problem, for a file that is not a profile file.
bool ParseProfileFile(std::string_view bytes, ProfileFile& profile, std::string& problem);

// Converts text of a code page into the system's ANSI code page.
class IProfileTextConverter {
 public:
  virtual ~IProfileTextConverter() = default;
  virtual unsigned SystemCodePage() const = 0;
  // Whether the system can convert from this code page at all.
  virtual bool Knows(unsigned codePage) const = 0;
  // False when the text is not valid in codePage or a character of it has no
  // exact form in the system's code page (no look-alike stands in).
  virtual bool ToSystem(unsigned codePage, std::string& text) const = 0;
};

// The name and every value brought into the system's code page; false, with
// what is wrong, when one cannot be. Text already in it is left as it is.
bool ConvertProfileFile(ProfileFile& profile, const IProfileTextConverter& converter,
                        std::string& problem);

// The values as the profile files can hold them (checked in the system's
// code page): lengths that fit the program's buffers, hotkeys whose key has
// a name, repeat rules the program reads.
bool CheckProfileFileValues(const ProfileFile& profile, std::string& problem);

// "key=value" strings, each terminated and the list ended by an empty one, as
// a section write takes them.
std::string SectionKeyValues(const std::vector<ProfileFileKey>& keys);

}  // namespace k7
