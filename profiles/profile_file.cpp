#include "profiles/profile_file.h"

#include <unordered_set>

#include "base/text.h"
#include "keys/hotkey_notation.h"
#include "profiles/hold_keys.h"
#include "profiles/ini_paths.h"
#include "profiles/profile_store.h"

namespace k7 {
namespace {

enum class KeyKind { kNone, kFilePath, kExeFile, kSlot, kHold, kRepeat };

bool StartsNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(s[i]) != AsciiLower(prefix[i])) return false;
  }
  return true;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsNoCase(a, b);
}

// A slot number as the program writes its keys ("%d", 0 to 33); -1 for
// anything else, "03" included: the API would not find it as key 3.
int SlotNumber(std::string_view s) {
  if (s.empty() || s.size() > 2 || (s.size() == 2 && s[0] == '0')) return -1;
  int n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n < kSlotCount ? n : -1;
}

KeyKind KindOf(std::string_view key, bool inUserDef) {
  if (SlotNumber(key) >= 0) return KeyKind::kSlot;
  if (StartsNoCase(key, "Hold") && SlotNumber(key.substr(4)) >= 0) return KeyKind::kHold;
  if (!inUserDef) return KeyKind::kNone;
  if (StartsNoCase(key, "Repeat") && SlotNumber(key.substr(6)) >= 0) return KeyKind::kRepeat;
  if (EqualNoCase(key, "FilePath")) return KeyKind::kFilePath;
  if (EqualNoCase(key, "ExeFile")) return KeyKind::kExeFile;
  return KeyKind::kNone;
}

std::vector<ProfileFileKey> ReadKeys(IIniStore& ini, const char* name, const char* file,
                                     bool inUserDef) {
  std::vector<ProfileFileKey> keys;
  std::unordered_set<std::string> seen;
  for (const std::string& line : ReadSectionLines(ini, name, file)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    if (!IsProfileFileKey(key, inUserDef) || !seen.insert(LowerAscii(key)).second) continue;
    keys.push_back({std::move(key), line.substr(eq + 1), 0});
  }
  return keys;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// Text from the file, for a message in any code page: printable ASCII only,
// and not too much of it.
std::string Shown(std::string_view s) {
  constexpr size_t kMost = 40;
  std::string out;
  for (char c : s.substr(0, kMost)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
  if (s.size() > kMost) out += "...";
  return out;
}

std::string AtLine(int line) {
  return "Line " + std::to_string(line) + ": ";
}

constexpr const char* kSectionNames[] = {"Profile", "UserDef", "UserDefInf"};
enum SectionIndex { kProfileSection, kUserDefSection, kUserDefInfSection, kNoSection };

// Decimal 1 to 65535, the range of Windows code page numbers; 0 otherwise.
unsigned CodePageNumber(std::string_view s) {
  if (s.empty() || s.size() > 5) return 0;
  unsigned n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + unsigned(c - '0');
  }
  return n <= 65535 ? n : 0;
}

const ProfileFileKey* FindKey(const std::vector<ProfileFileKey>& keys, std::string_view key) {
  for (const ProfileFileKey& k : keys) {
    if (EqualNoCase(k.key, key)) return &k;
  }
  return nullptr;
}

bool Fail(std::string& problem, std::string text) {
  problem = std::move(text);
  return false;
}

// What a hotkey value's key is called once the notation has read it; empty
// for a value without a key ("", "0-").
bool HotkeyNamesAKey(const std::string& value) {
  BUTTONSLOT slot{};
  CopyBounded(slot.szHotkey, value.c_str());
  ParseHotkeyString(slot);
  return slot.szHotkey[0] == '\0' || slot.byKey != 0;
}

}  // namespace

bool IsProfileFileKey(std::string_view key, bool inUserDef) {
  return KindOf(key, inUserDef) != KeyKind::kNone;
}

ProfileFile ReadProfileForFile(IIniStore& ini, const char* name, const char* userDef,
                               const char* userDefInf, unsigned codePage) {
  ProfileFile profile;
  profile.codePage = codePage;
  profile.name = name;
  profile.userDef = ReadKeys(ini, name, userDef, true);
  profile.userDefInf = ReadKeys(ini, name, userDefInf, false);
  return profile;
}

std::string FormatProfileFile(const ProfileFile& profile) {
  std::string text =
      "; A profile of Quorvan K7F3. \"Import...\" in the hotkey editor adds it.\r\n"
      "; [UserDef] holds its keys of UserDef.ini, [UserDefInf] those of UserDefInf.ini.\r\n";
  auto line = [&text](std::string_view key, std::string_view value) {
    text.append(key).append("=").append(value).append("\r\n");
  };
  text += "[Profile]\r\n";
  line("Format", std::to_string(kProfileFileFormat));
  line("CodePage", std::to_string(profile.codePage));
  line("Name", profile.name);
  text += "[UserDef]\r\n";
  for (const ProfileFileKey& k : profile.userDef) line(k.key, k.value);
  text += "[UserDefInf]\r\n";
  for (const ProfileFileKey& k : profile.userDefInf) line(k.key, k.value);
  return text;
}

bool ParseProfileFile(std::string_view bytes, ProfileFile& profile, std::string& problem) {
  profile = ProfileFile{};
  if (bytes.size() > kMaxProfileFileBytes) {
    return Fail(problem, "The file is larger than a profile file can be (" +
                             std::to_string(kMaxProfileFileBytes / 1024) + " KB).");
  }
  if (bytes.empty()) return Fail(problem, "The file is empty.");
  const bool utf8Signature = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (utf8Signature) bytes.remove_prefix(3);
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" ||
      bytes.find('\0') != std::string_view::npos) {
    return Fail(problem,
                "The file is not plain text in an 8-bit code page (it holds UTF-16 text or "
                "binary data). Save it as ANSI or UTF-8 text.");
  }

  bool seenSection[3] = {};
  std::unordered_set<std::string> seenKeys[3];
  int current = kNoSection;
  int lineNo = 0;
  int codePageLine = 0;
  bool format = false;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view text = Trim(bytes.substr(start, end - start));
    start = end + 1;
    ++lineNo;
    if (text.empty() || text[0] == ';') continue;
    if (text[0] == '[') {
      if (text.back() != ']') {
        return Fail(problem, AtLine(lineNo) + "a section header without its closing \"]\".");
      }
      const std::string_view name = Trim(text.substr(1, text.size() - 2));
      current = kNoSection;
      for (int i = 0; i < kNoSection; ++i) {
        if (EqualNoCase(name, kSectionNames[i])) current = i;
      }
      if (current == kNoSection) {
        return Fail(problem, AtLine(lineNo) + "a profile file has no section [" + Shown(name) +
                                 "], only [Profile], [UserDef] and [UserDefInf].");
      }
      if (seenSection[current]) {
        return Fail(problem, AtLine(lineNo) + "the section [" + kSectionNames[current] +
                                 "] comes a second time.");
      }
      seenSection[current] = true;
      continue;
    }
    if (current == kNoSection) {
      return Fail(problem, AtLine(lineNo) +
                               "text outside any section. This is not a profile file (it "
                               "begins with [Profile]).");
    }
    const size_t eq = text.find('=');
    const std::string_view key = eq == std::string_view::npos ? "" : Trim(text.substr(0, eq));
    if (key.empty()) {
      return Fail(problem, AtLine(lineNo) + "not a line of the form key=value.");
    }
    const std::string_view value = Trim(text.substr(eq + 1));
    const std::string section = std::string("[") + kSectionNames[current] + "]";
    if (!seenKeys[current].insert(LowerAscii(std::string(key))).second) {
      return Fail(problem, AtLine(lineNo) + "the key \"" + Shown(key) +
                               "\" comes a second time in " + section + ".");
    }
    if (current == kProfileSection) {
      if (EqualNoCase(key, "Format")) {
        if (value != std::to_string(kProfileFileFormat)) {
          return Fail(problem, AtLine(lineNo) + "Format=" + Shown(value) +
                                   " is not a format this version reads (Format=" +
                                   std::to_string(kProfileFileFormat) + ").");
        }
        format = true;
      } else if (EqualNoCase(key, "CodePage")) {
        profile.codePage = CodePageNumber(value);
        if (profile.codePage == 0) {
          return Fail(problem,
                      AtLine(lineNo) + "CodePage=" + Shown(value) + " is not a code page number.");
        }
        codePageLine = lineNo;
      } else if (EqualNoCase(key, "Name")) {
        profile.name = std::string(value);
        profile.nameLine = lineNo;
      } else {
        return Fail(problem, AtLine(lineNo) + "\"" + Shown(key) +
                                 "\" is not a key of [Profile] (Format, CodePage and Name are).");
      }
      continue;
    }
    const bool inUserDef = current == kUserDefSection;
    if (!IsProfileFileKey(key, inUserDef)) {
      return Fail(problem, AtLine(lineNo) + "\"" + Shown(key) + "\" is not a key of a profile's " +
                               section + ".");
    }
    (inUserDef ? profile.userDef : profile.userDefInf)
        .push_back({std::string(key), std::string(value), lineNo});
  }

  if (!seenSection[kProfileSection]) {
    return Fail(problem, "There is no [Profile] section: this is not a profile file.");
  }
  if (!format) return Fail(problem, "[Profile] has no Format key.");
  if (profile.codePage == 0) return Fail(problem, "[Profile] has no CodePage key.");
  if (profile.nameLine == 0) return Fail(problem, "[Profile] has no Name key.");
  if (profile.name.empty()) return Fail(problem, AtLine(profile.nameLine) + "the Name is empty.");
  if (utf8Signature && profile.codePage != 65001) {
    return Fail(problem, AtLine(codePageLine) +
                             "the file begins as UTF-8 text but names code page " +
                             std::to_string(profile.codePage) + ".");
  }
  if (!seenSection[kUserDefSection]) {
    return Fail(problem, "There is no [UserDef] section: the file holds no profile.");
  }
  for (const char* required : {"FilePath", "ExeFile"}) {
    if (FindKey(profile.userDef, required) == nullptr) {
      return Fail(problem, std::string("[UserDef] has no ") + required + " key.");
    }
  }
  return true;
}

bool ConvertProfileFile(ProfileFile& profile, const IProfileTextConverter& converter,
                        std::string& problem) {
  const unsigned from = profile.codePage;
  const std::string fromText = std::to_string(from);
  if (!converter.Knows(from)) {
    return Fail(problem, "The file's text is in code page " + fromText +
                             ", which this computer cannot read.");
  }
  const unsigned to = converter.SystemCodePage();
  if (from == to) return true;
  auto convert = [&](std::string& text, int line, const std::string& what) {
    if (converter.ToSystem(from, text)) return true;
    return Fail(problem, AtLine(line) + what + " has characters that this computer's code page " +
                             std::to_string(to) + " cannot represent, or bytes that are not text " +
                             "of code page " + fromText +
                             ". The profiles can hold only text of the system's language for "
                             "non-Unicode programs.");
  };
  if (!convert(profile.name, profile.nameLine, "the Name")) return false;
  for (auto* keys : {&profile.userDef, &profile.userDefInf}) {
    const char* section = keys == &profile.userDef ? "[UserDef]" : "[UserDefInf]";
    for (ProfileFileKey& k : *keys) {
      if (!convert(k.value, k.line, "the value of " + k.key + " in " + section)) return false;
    }
  }
  return true;
}

bool CheckProfileFileValues(const ProfileFile& profile, std::string& problem) {
  auto tooLong = [&](const ProfileFileKey& k, const char* section, size_t most) {
    return Fail(problem, AtLine(k.line) + k.key + " in " + section + " is longer than " +
                             std::to_string(most) + " bytes.");
  };
  for (const ProfileFileKey& k : profile.userDef) {
    switch (KindOf(k.key, true)) {
      case KeyKind::kFilePath:
        if (k.value.size() >= size_t(kMaxPath)) return tooLong(k, "[UserDef]", kMaxPath - 1);
        break;
      case KeyKind::kExeFile:
        if (k.value.size() > size_t(kMaxProfileName)) {
          return tooLong(k, "[UserDef]", kMaxProfileName);
        }
        break;
      case KeyKind::kSlot:
      case KeyKind::kHold:
        if (k.value.size() >= size_t(kHotkeyLen)) return tooLong(k, "[UserDef]", kHotkeyLen - 1);
        if (!HotkeyNamesAKey(k.value)) {
          return Fail(problem, AtLine(k.line) + k.key + "=" + Shown(k.value) +
                                   " names no key of the hotkey notation.");
        }
        break;
      case KeyKind::kRepeat:
        if (!k.value.empty() && ParseRepeatRule(k.value.c_str()).kind == RepeatKind::kDefault) {
          return Fail(problem, AtLine(k.line) + k.key + "=" + Shown(k.value) +
                                   " is not a repeat rule (every, first, or " +
                                   std::to_string(kMinRepeatMs) + " to " +
                                   std::to_string(kMaxRepeatMs) + " milliseconds).");
        }
        break;
      case KeyKind::kNone:
        break;
    }
  }
  for (const ProfileFileKey& k : profile.userDefInf) {
    if (k.value.size() >= size_t(kDescriptionLen)) {
      return tooLong(k, "[UserDefInf]", kDescriptionLen - 1);
    }
  }
  return true;
}

std::string SectionKeyValues(const std::vector<ProfileFileKey>& keys) {
  std::string list;
  for (const ProfileFileKey& k : keys) {
    list.append(k.key).append("=").append(k.value).push_back('\0');
  }
  // With the string's own terminator, the list ends in an empty string.
  if (list.empty()) list.push_back('\0');
  return list;
}

}  // namespace k7
