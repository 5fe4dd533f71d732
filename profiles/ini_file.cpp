#include "profiles/ini_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "base/text.h"
#include "profiles/ini_document.h"

namespace k7 {
namespace {

using ini::Document;
using ini::Key;
using ini::Loaded;
using ini::Section;
using ini::SkipSpace;
using ini::Trimmed;

// One lock for all files, as the API has: a write is never seen half done by
// a read from another thread of the program.
std::mutex g_filesLock;

constexpr char kUtf8Signature[] = "\xEF\xBB\xBF";

// The API's white space: the C white-space characters and ^Z.
bool IsSpace(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 0x09 && u <= 0x0d) || u == 0x1a || u == 0x20;
}

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// Names and values are C strings in the API: anything after a NUL byte of the
// file is lost.
std::string UpToNul(const char* p, size_t n) {
  size_t len = 0;
  while (len < n && p[len] != '\0') ++len;
  return std::string(p, len);
}

std::string Lowered(const std::string& s) {
  return LowerAscii(s);
}

void BuildIndex(Document& doc) {
  for (size_t i = 0; i < doc.sections.size(); ++i) {
    doc.firstSection.try_emplace(Lowered(doc.sections[i].name), i);
  }
  doc.indexed = true;
}

// The document, or false when it would hold more than maxEntries sections
// and keys (doc then holds only the part parsed so far).
bool Parse(const std::string& bytes, Document& doc, size_t maxEntries = SIZE_MAX) {
  if (bytes.empty()) return true;  // not even the unnamed top section
  size_t entries = 0;
  size_t pos = 0;
  if (bytes.compare(0, 3, kUtf8Signature) == 0) {
    doc.utf8Signature = true;
    pos = 3;
  }
  doc.sections.emplace_back();
  const char* data = bytes.data();
  const size_t end = bytes.size();
  while (pos < end) {
    size_t b = pos;
    while (pos < end && !IsLineEnd(data[pos])) ++pos;
    size_t e = pos;
    while (pos < end && IsLineEnd(data[pos])) ++pos;
    while (b < e && IsSpace(data[b])) ++b;
    while (e > b && IsSpace(data[e - 1])) --e;
    if (b == e) continue;

    if (data[b] == '[') {
      // One past the last ']' that is a character of its own: the second
      // byte of a double-byte character can be 0x5D.
      size_t close = b;
      const CodePage& codePage = AnsiCodePage();
      for (size_t i = b + 1; i < e; ++i) {
        if (codePage.IsLeadByte(data[i]) && i + 1 < e) {
          ++i;
        } else if (data[i] == ']') {
          close = i + 1;
        }
      }
      if (close > b) {
        size_t nb = b + 1;
        size_t ne = close - 1;
        while (nb < ne && IsSpace(data[nb])) ++nb;
        while (ne > nb && IsSpace(data[ne - 1])) --ne;
        if (++entries > maxEntries) return false;
        doc.sections.push_back(Section{UpToNul(data + nb, ne - nb), {}});
        continue;
      }
      // No closing bracket: an ordinary line.
    }

    size_t nameEnd = e;
    size_t valueBegin = e;
    bool hasValue = false;
    const void* eq = std::memchr(data + b, '=', e - b);
    if (eq != nullptr) {
      nameEnd = static_cast<size_t>(static_cast<const char*>(eq) - data);
      valueBegin = nameEnd + 1;
      while (nameEnd > b && IsSpace(data[nameEnd - 1])) --nameEnd;
      while (valueBegin < e && IsSpace(data[valueBegin])) ++valueBegin;
      hasValue = true;
    }
    Section& section = doc.sections.back();
    // The API keeps only the first of consecutive lines with an empty name.
    if (nameEnd > b || section.keys.empty() || !section.keys.back().name.empty()) {
      if (++entries > maxEntries) return false;
      Key key;
      key.name = UpToNul(data + b, nameEnd - b);
      if (hasValue) key.value = UpToNul(data + valueBegin, e - valueBegin);
      key.hasValue = hasValue;
      section.keys.push_back(std::move(key));
    }
  }
  return true;
}

Loaded FromBytes(const FileBytes& file, size_t maxEntries = SIZE_MAX) {
  Loaded result;
  result.state = file.state;
  if (file.state != IniFileState::kRead) return result;
  const std::string& bytes = file.bytes;
  if (bytes.size() >= 2 &&
      ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    result.state = IniFileState::kUnsupported;
    return result;
  }
  if (!Parse(bytes, result.doc, maxEntries)) {
    result.doc = Document{};
    result.state = IniFileState::kTooLarge;
  }
  return result;
}

// What the API puts in its own (wide) buffer, byte for byte in a single-byte
// code page, and the count it returns; the narrow functions then copy from it
// each in their own way.
struct Listing {
  std::string chars;
  uint64_t ret = 0;
};

// The default as a lookup by key uses it: trailing spaces removed, though one
// is left of a default made of spaces only.
std::string DefaultForKey(const char* def) {
  std::string d = def != nullptr ? def : "";
  size_t n = d.size();
  while (n > 1 && d[n - 1] == ' ') --n;
  d.resize(n);
  return d;
}

// A value (or default) copied into size chars: cut to size - 1, and a pair of
// matching quotes removed; when the cut falls on the closing quote the API
// removes one more character, and so does this.
std::string CopyEntry(const std::string& value, uint64_t size) {
  size_t begin = 0;
  size_t len = value.size();
  bool quoted = false;
  if (len >= 2 && (value[0] == '"' || value[0] == '\'') && value[len - 1] == value[0]) {
    quoted = true;
    begin = 1;
    len -= 1;
  }
  std::string out = value.substr(begin, static_cast<size_t>(std::min<uint64_t>(size - 1, len)));
  if (quoted && size >= len && !out.empty()) out.pop_back();
  return out;
}

const Section* FindSectionExact(const Document& doc, const char* name) {
  if (doc.indexed) {
    const auto it = doc.firstSection.find(Lowered(name));
    return it == doc.firstSection.end() ? nullptr : &doc.sections[it->second];
  }
  for (const Section& section : doc.sections) {
    if (EqualsNoCase(section.name.c_str(), name)) return &section;
  }
  return nullptr;
}

// Lookup by key: names trimmed, first matching section only, first key in it.
const Key* FindKey(const Document& doc, const char* section, const char* key) {
  const Section* s = FindSectionExact(doc, Trimmed(section).c_str());
  if (s == nullptr) return nullptr;
  const std::string keyName = Trimmed(key);
  for (const Key& k : s->keys) {
    if (EqualsNoCase(k.name.c_str(), keyName.c_str())) return &k;
  }
  return nullptr;
}

// The section names for a buffer of size chars (size >= 1): those that fit,
// then the first that does not, cut.
Listing SectionNames(const Document& doc, uint64_t size) {
  Listing list;
  if (size == 1) {
    list.chars.assign(1, '\0');
    return list;
  }
  uint64_t room = size - 1;
  for (const Section& section : doc.sections) {
    if (section.name.empty()) continue;
    const uint64_t need = section.name.size() + 1;
    if (need >= room) {
      list.chars.append(section.name, 0, static_cast<size_t>(room - 1));
      list.chars.append(2, '\0');
      list.ret = size - 2;
      return list;
    }
    list.chars += section.name;
    list.chars += '\0';
    room -= need;
  }
  list.chars += '\0';
  list.ret = list.chars.size() - 1;
  return list;
}

// The lines of the first section named exactly `name` (no trimming here), for
// a buffer of size chars (size >= 1): "key=value" or, without values, the
// names of the keys that have one. Comments, and lines that had nothing but
// NUL bytes before the end or the "=", are skipped.
Listing SectionLines(const Document& doc, const char* name, uint64_t size, bool withValues) {
  Listing list;
  const Section* section = FindSectionExact(doc, name);
  if (section == nullptr) {
    list.chars.assign(2, '\0');
    return list;
  }
  uint64_t room = size;
  for (const Key& key : section->keys) {
    if (room <= 2) break;
    if (key.name.empty() && !key.hasValue) continue;
    if (!key.name.empty() && key.name[0] == ';') continue;
    if (!withValues && !key.hasValue) continue;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(key.name.size(), room - 2));
    list.chars.append(key.name, 0, n);
    list.chars += '\0';
    room -= n + 1;
    if (room < 2) break;
    if (withValues && key.hasValue) {
      list.chars.back() = '=';
      const size_t m = static_cast<size_t>(std::min<uint64_t>(key.value.size(), room - 2));
      list.chars.append(key.value, 0, m);
      list.chars += '\0';
      room -= m + 1;
    }
  }
  list.chars += '\0';
  if (room <= 1) {
    if (list.chars.size() >= 2) list.chars[list.chars.size() - 2] = '\0';
    list.ret = size - 2;
    return list;
  }
  list.ret = size - room;
  return list;
}

// The wide GetPrivateProfileString for a buffer of size chars (size >= 1).
Listing WideGetString(const Loaded& f, const char* section, const char* key, const char* def,
                      uint64_t size) {
  const std::string rawDefault = def != nullptr ? def : "";
  Listing list;
  if (section == nullptr) {
    if (f.usable()) list = SectionNames(f.doc, size);
    return list;
  }
  if (key == nullptr) {
    if (f.usable()) list = SectionLines(f.doc, section, size, false);
    if (list.chars.empty() || list.chars[0] == '\0') {
      list.chars = CopyEntry(rawDefault, size);
      list.ret = list.chars.size();
      list.chars += '\0';
    }
    return list;
  }
  const std::string defaultValue = DefaultForKey(def);
  if (!f.usable()) {
    // The API copies the default as it is when it cannot open the file.
    list.chars = defaultValue.substr(
        0, static_cast<size_t>(std::min<uint64_t>(size - 1, defaultValue.size())));
  } else {
    const Key* found = FindKey(f.doc, section, key);
    list.chars = CopyEntry(found != nullptr && found->hasValue ? found->value : defaultValue, size);
  }
  list.ret = list.chars.size();
  list.chars += '\0';
  return list;
}

// RtlUnicodeStringToInteger with base 0, as GetPrivateProfileInt uses it:
// "0x", "0o" and "0b" prefixes (lower case only), digits until the first
// other character, and wrap-around on overflow.
uint32_t ParseInt(const char* s) {
  while (*s != '\0' && static_cast<unsigned char>(*s) <= ' ') ++s;
  bool minus = false;
  if (*s == '+') {
    ++s;
  } else if (*s == '-') {
    minus = true;
    ++s;
  }
  uint32_t base = 10;
  if (s[0] == '0' && s[1] != '\0') {
    if (s[1] == 'b') base = 2;
    if (s[1] == 'o') base = 8;
    if (s[1] == 'x') base = 16;
    if (base != 10) s += 2;
  }
  uint32_t total = 0;
  for (; *s != '\0'; ++s) {
    uint32_t digit;
    if (*s >= '0' && *s <= '9') {
      digit = static_cast<uint32_t>(*s - '0');
    } else if (*s >= 'A' && *s <= 'Z') {
      digit = static_cast<uint32_t>(*s - 'A' + 10);
    } else if (*s >= 'a' && *s <= 'z') {
      digit = static_cast<uint32_t>(*s - 'a' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    total = total * base + digit;
  }
  return minus ? 0u - total : total;
}

}  // namespace

FileBytes ReadIniFileBytes(const char* file, size_t maxBytes, bool forWrite) {
  namespace fs = std::filesystem;
  FileBytes result;
  result.state = IniFileState::kUnreadable;
  if (file == nullptr || *file == '\0') return result;

  std::error_code ec;
  const fs::path path(file);
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) {
    const fs::path parent = path.parent_path();
    std::error_code parentEc;
    if (parent.empty() || fs::is_directory(parent, parentEc)) result.state = IniFileState::kMissing;
    return result;
  }
  if (ec || fs::is_directory(status)) return result;

  // A write needs the file writable, as the API opens it for writing first.
  std::fstream in(file, forWrite ? (std::ios::in | std::ios::out | std::ios::binary)
                                 : (std::ios::in | std::ios::binary));
  if (!in) return result;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return result;
  if (static_cast<unsigned long long>(size) > maxBytes) {
    result.state = IniFileState::kTooLarge;
    return result;
  }
  in.seekg(0, std::ios::beg);
  result.bytes.assign(static_cast<size_t>(size), '\0');
  in.read(result.bytes.data(), size);
  if (in.gcount() != size) {
    result.bytes.clear();
    return result;
  }
  result.state = IniFileState::kRead;
  return result;
}

std::mutex& IniFilesLock() {
  return g_filesLock;
}

const char* ini::SkipSpace(const char* s) {
  while (IsSpace(*s)) ++s;
  return s;
}

std::string ini::Trimmed(const char* s) {
  s = SkipSpace(s);
  size_t n = std::strlen(s);
  while (n > 0 && IsSpace(s[n - 1])) --n;
  return std::string(s, n);
}

Loaded ini::Load(const char* file, size_t maxBytes, bool forWrite) {
  return FromBytes(ReadIniFileBytes(file, maxBytes, forWrite));
}

namespace {

uint32_t QueryString(const Loaded& f, const char* section, const char* key, const char* def,
                     char* out, uint32_t size) {
  const Listing list = WideGetString(f, section, key, def, size);
  // The narrow copy takes ret chars and terminates them; the list's own final
  // terminator lands on the buffer's last byte at most, which is set anyway.
  const size_t n = static_cast<size_t>(std::min<uint64_t>(list.ret, size - 1));
  std::memcpy(out, list.chars.data(), n);
  out[n] = '\0';
  out[size - 1] = '\0';
  return static_cast<uint32_t>(n);
}

int QueryInt(const Loaded& f, const char* section, const char* key, int def) {
  // The API reads the value into 30 chars and parses what it got.
  const Listing list = WideGetString(f, section, key, "", 30);
  if (list.ret == 0 || list.chars[0] == '\0') return def;
  return static_cast<int>(ParseInt(list.chars.c_str()));
}

uint32_t QuerySectionNames(const Loaded& f, char* out, uint32_t size) {
  Listing list;
  if (f.usable()) list = SectionNames(f.doc, size);
  uint32_t ret = 0;
  if (list.ret != 0) {
    // ret + 1 chars: the list ends with its empty name unless it was cut.
    std::memcpy(out, list.chars.data(), static_cast<size_t>(list.ret) + 1);
    ret = static_cast<uint32_t>(list.ret);
  } else {
    out[0] = '\0';
  }
  // A cut list has no final empty name in the API's copy; end it here so the
  // list can always be walked to its end.
  out[size - 1] = '\0';
  return ret;
}

// For size >= 2 and a section.
uint32_t QuerySection(const Loaded& f, const char* section, char* out, uint32_t size) {
  // The API gathers the lines into twice the size, then copies what fits.
  const uint64_t wideSize = uint64_t{size} * 2;
  Listing list;
  if (f.usable()) list = SectionLines(f.doc, section, wideSize, true);
  if (list.ret == 0) {
    out[0] = '\0';
    out[1] = '\0';
    return 0;
  }
  uint64_t ret = list.ret;
  if (ret == wideSize - 2) ++ret;  // cut in the wide buffer
  const uint64_t copied = ret + 1;
  bool cut = true;
  if (copied > size) {
    std::memcpy(out, list.chars.data(), size);
  } else {
    std::memcpy(out, list.chars.data(), static_cast<size_t>(copied));
    cut = copied == size;  // the API counts an exact fit as cut
  }
  if (!cut) return static_cast<uint32_t>(copied - 1);
  out[size - 2] = '\0';
  out[size - 1] = '\0';
  return size - 2;
}

// The checks the API makes before it looks at the file.
bool SectionCallAllowed(const char* section, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  if (size == 1) {
    out[0] = '\0';
    return false;
  }
  return section != nullptr;
}

}  // namespace

struct IniSnapshot::Impl {
  Loaded file;
};

IniSnapshot::IniSnapshot() : IniSnapshot(FileBytes{}) {}

IniSnapshot::IniSnapshot(const FileBytes& file, size_t maxEntries) {
  auto impl = std::make_shared<Impl>(Impl{FromBytes(file, maxEntries)});
  // A copy answers a whole press's look-ups: find sections by name at once.
  BuildIndex(impl->file.doc);
  impl_ = std::move(impl);
}

IniFileState IniSnapshot::state() const {
  return impl_->file.state;
}

uint32_t IniSnapshot::GetString(const char* section, const char* key, const char* def, char* out,
                                uint32_t size) const {
  if (out == nullptr || size == 0) return 0;
  return QueryString(impl_->file, section, key, def, out, size);
}

int IniSnapshot::GetInt(const char* section, const char* key, int def) const {
  return QueryInt(impl_->file, section, key, def);
}

uint32_t IniSnapshot::GetSectionNames(char* out, uint32_t size) const {
  if (out == nullptr || size == 0) return 0;
  return QuerySectionNames(impl_->file, out, size);
}

uint32_t IniSnapshot::GetSection(const char* section, char* out, uint32_t size) const {
  if (!SectionCallAllowed(section, out, size)) return 0;
  return QuerySection(impl_->file, section, out, size);
}

uint32_t PortableIniReader::GetString(const char* section, const char* key, const char* def,
                                      char* out, uint32_t size, const char* file) {
  if (out == nullptr || size == 0) return 0;
  std::lock_guard<std::mutex> lock(g_filesLock);
  const Loaded f = ini::Load(file, maxFileBytes_, false);
  lastState_ = f.state;
  return QueryString(f, section, key, def, out, size);
}

int PortableIniReader::GetInt(const char* section, const char* key, int def, const char* file) {
  std::lock_guard<std::mutex> lock(g_filesLock);
  const Loaded f = ini::Load(file, maxFileBytes_, false);
  lastState_ = f.state;
  return QueryInt(f, section, key, def);
}

uint32_t PortableIniReader::GetSectionNames(char* out, uint32_t size, const char* file) {
  if (out == nullptr || size == 0) return 0;
  std::lock_guard<std::mutex> lock(g_filesLock);
  const Loaded f = ini::Load(file, maxFileBytes_, false);
  lastState_ = f.state;
  return QuerySectionNames(f, out, size);
}

uint32_t PortableIniReader::GetSection(const char* section, char* out, uint32_t size,
                                       const char* file) {
  if (!SectionCallAllowed(section, out, size)) return 0;
  std::lock_guard<std::mutex> lock(g_filesLock);
  const Loaded f = ini::Load(file, maxFileBytes_, false);
  lastState_ = f.state;
  return QuerySection(f, section, out, size);
}

IniFileState PortableIniReader::Check(const char* file) const {
  std::lock_guard<std::mutex> lock(g_filesLock);
  return ini::Load(file, maxFileBytes_, false).state;
}

}  // namespace k7
