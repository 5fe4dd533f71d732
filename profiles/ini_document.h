// One INI file parsed as the private-profile API sees it: sections and keys in
// file order. The portable reads answer from it; a writer that must leave the
// same bytes as the API edits it and writes it back.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "profiles/ini_file.h"

namespace k7::ini {

struct Key {
  std::string name;
  std::string value;
  bool hasValue = false;  // false for a line without "="
};

struct Section {
  std::string name;  // empty for the lines above the first header
  std::vector<Key> keys;
};

struct Document {
  bool utf8Signature = false;
  std::vector<Section> sections;
  // For a document that is only read, many times: the first section of each
  // name (lower case). Left empty, and unused, for one that is changed.
  std::unordered_map<std::string, size_t> firstSection;
  bool indexed = false;
};

struct Loaded {
  IniFileState state = IniFileState::kMissing;
  Document doc;
  // Reads and writes go ahead for these; for the rest the API's "could not
  // open the file" results apply.
  bool usable() const { return state == IniFileState::kRead || state == IniFileState::kMissing; }
};

// The file read whole (forWrite: it must be writable too) and parsed. The
// caller holds IniFilesLock().
Loaded Load(const char* file, size_t maxBytes, bool forWrite);

// The API's white space skipped at the start of s.
const char* SkipSpace(const char* s);
// A name as the API looks it up by key: without white space at either end.
std::string Trimmed(const char* s);

}  // namespace k7::ini
