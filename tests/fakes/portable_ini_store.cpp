#include "fakes/portable_ini_store.h"

#include <cstring>
#include <fstream>
#include <mutex>
#include <string>

#include "base/text.h"
#include "profiles/ini_document.h"

namespace k7 {
namespace {

using ini::Document;
using ini::Key;
using ini::Section;
using ini::SkipSpace;
using ini::Trimmed;

constexpr char kUtf8Signature[] = "\xEF\xBB\xBF";

// As the API writes a file: CRLF, no blank lines, no header for the unnamed
// top section (nor for a section whose name is empty).
std::string Serialize(const Document& doc) {
  std::string out;
  if (doc.utf8Signature) out += kUtf8Signature;
  for (const Section& section : doc.sections) {
    if (!section.name.empty()) {
      out += '[';
      out += section.name;
      out += "]\r\n";
    }
    for (const Key& key : section.keys) {
      out += key.name;
      if (key.hasValue) {
        out += '=';
        out += key.value;
      }
      out += "\r\n";
    }
  }
  return out;
}

bool Save(const char* file, const Document& doc) {
  const std::string bytes = Serialize(doc);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

// Returns the key to set, appending it (and its section) when missing, or
// always when alwaysNew. New names keep trailing white space, as the API's do.
Key& FindOrAdd(Document& doc, const char* section, const char* key, bool alwaysNew) {
  const std::string sectionName = Trimmed(section);
  const std::string keyName = Trimmed(key);
  for (Section& s : doc.sections) {
    if (!EqualsNoCase(s.name.c_str(), sectionName.c_str())) continue;
    if (!alwaysNew) {
      for (Key& k : s.keys) {
        if (EqualsNoCase(k.name.c_str(), keyName.c_str())) return k;
      }
    }
    s.keys.push_back(Key{SkipSpace(key), {}, false});
    return s.keys.back();
  }
  doc.sections.push_back(Section{SkipSpace(section), {}});
  doc.sections.back().keys.push_back(Key{SkipSpace(key), {}, false});
  return doc.sections.back().keys.back();
}

// Removes the first section named exactly `name`; true when one was removed.
bool DeleteSection(Document& doc, const char* name) {
  for (auto it = doc.sections.begin(); it != doc.sections.end(); ++it) {
    if (EqualsNoCase(it->name.c_str(), name)) {
      doc.sections.erase(it);
      return true;
    }
  }
  return false;
}

// Removes the first key named exactly `key` in any section named exactly
// `section` (duplicates included).
bool DeleteKey(Document& doc, const char* section, const char* key) {
  for (Section& s : doc.sections) {
    if (!EqualsNoCase(s.name.c_str(), section)) continue;
    for (auto it = s.keys.begin(); it != s.keys.end(); ++it) {
      if (EqualsNoCase(it->name.c_str(), key)) {
        s.keys.erase(it);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool PortableIniStore::WriteString(const char* section, const char* key, const char* value,
                                   const char* file) {
  // (NULL, NULL, NULL) only flushes the API's cache; there is none here.
  if (section == nullptr) return false;
  std::lock_guard<std::mutex> lock(IniFilesLock());
  ini::Loaded f = ini::Load(file, maxFileBytes_, true);
  lastState_ = f.state;
  if (!f.usable()) return false;
  bool changed;
  if (key == nullptr) {
    changed = DeleteSection(f.doc, section);
  } else if (value == nullptr) {
    changed = DeleteKey(f.doc, section, key);
  } else {
    Key& k = FindOrAdd(f.doc, section, key, false);
    const char* v = SkipSpace(value);
    changed = !(k.hasValue && k.value == v);
    k.value = v;
    k.hasValue = true;
  }
  // Like the API, a call that changes nothing leaves the file as it is.
  return !changed || Save(file, f.doc);
}

bool PortableIniStore::WriteSection(const char* section, const char* keyValues, const char* file) {
  if (section == nullptr) return false;
  std::lock_guard<std::mutex> lock(IniFilesLock());
  ini::Loaded f = ini::Load(file, maxFileBytes_, true);
  lastState_ = f.state;
  if (!f.usable()) return false;
  if (keyValues == nullptr) return !DeleteSection(f.doc, section) || Save(file, f.doc);

  bool changed = false;
  // Every section of that exact name is emptied; the header stays.
  for (Section& s : f.doc.sections) {
    if (EqualsNoCase(s.name.c_str(), section) && !s.keys.empty()) {
      s.keys.clear();
      changed = true;
    }
  }
  for (const char* entry = keyValues; *entry != '\0'; entry += std::strlen(entry) + 1) {
    const char* eq = std::strchr(entry, '=');
    if (eq == nullptr) continue;  // the API ignores entries without "="
    const std::string name(entry, static_cast<size_t>(eq - entry));
    Key& k = FindOrAdd(f.doc, section, name.c_str(), true);
    k.value = SkipSpace(eq + 1);
    k.hasValue = true;
    changed = true;
  }
  return !changed || Save(file, f.doc);
}

}  // namespace k7
