#include "profiles/press_ini.h"

#include <exception>
#include <mutex>

#include "profiles/profile_store.h"

namespace k7 {

FileBytes PortableFileReader::ReadWhole(const char* file, size_t maxBytes) {
  // Never in the middle of one of the program's own writes.
  std::lock_guard<std::mutex> lock(IniFilesLock());
  return ReadIniFileBytes(file, maxBytes);
}

void PressIniStore::BeginPress() {
  for (Entry& e : entries_) e.current = false;
}

PressIniStore::Entry* PressIniStore::Find(const char* file) {
  if (file == nullptr) return nullptr;
  for (Entry& e : entries_) {
    if (e.path == file) return &e;
  }
  return nullptr;
}

PressIniStore::Source PressIniStore::SourceOf(const char* file) const {
  for (const Entry& e : entries_) {
    if (file != nullptr && e.path == file) return e.current ? e.source : Source::kNotRead;
  }
  return Source::kNotRead;
}

void PressIniStore::Forget(const char* file) {
  if (Entry* e = Find(file)) e->current = false;
}

const IniSnapshot* PressIniStore::CopyFor(const char* file) {
  if (file == nullptr) return nullptr;  // the API's own default file
  const Entry& e = Fetch(file);
  return e.source == Source::kCopy ? &e.copy : nullptr;
}

PressIniStore::Entry& PressIniStore::Fetch(const char* file) {
  Entry* found = Find(file);
  if (found == nullptr) {
    entries_.push_back(Entry{});
    found = &entries_.back();
    found->path = file;
  }
  Entry& e = *found;
  if (e.current) return e;
  e.current = true;
  try {
    Copy(e);
  } catch (const std::exception&) {
    // Out of memory for the copy or its bytes: the API still answers. The
    // copy is made afresh at the next press.
    e.source = Source::kApi;
    e.parsed = false;
    e.profiles.reset();
  }
  return e;
}

void PressIniStore::Copy(Entry& e) {
  const char* file = e.path.c_str();

  FileBytes read;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    read = reader_.ReadWhole(file, maxFileBytes_);
    ++fileReads_;
    const bool busy = read.state == IniFileState::kUnreadable ||
                      (read.state == IniFileState::kRead && read.bytes.empty());
    if (!busy) break;
  }

  if (read.state == IniFileState::kMissing) {
    // As the API: a file that is not there gives the defaults.
    e.source = Source::kCopy;
    e.copy = IniSnapshot(read);
    e.parsed = false;
    e.profiles.reset();
    return;
  }
  if (read.state != IniFileState::kRead || read.bytes.empty()) {
    e.source = Source::kApi;
    return;
  }
  if (!e.parsed || read.bytes != e.bytes) {
    // Nothing of the old copy is kept while the new one is made.
    e.parsed = false;
    e.profiles.reset();
    e.bytes = std::string();
    e.copy = IniSnapshot();
    e.copy = IniSnapshot(read, maxEntries_);
    e.bytes = std::move(read.bytes);
    e.parsed = true;
    ++parses_;
  }
  // UTF-16 text, or too many keys: the API reads it, the copy does not.
  e.source = e.copy.state() == IniFileState::kRead ? Source::kCopy : Source::kApi;
}

uint32_t PressIniStore::GetString(const char* section, const char* key, const char* def, char* out,
                                  uint32_t size, const char* file) {
  const IniSnapshot* copy = CopyFor(file);
  if (copy == nullptr) return api_.GetString(section, key, def, out, size, file);
  return copy->GetString(section, key, def, out, size);
}

int PressIniStore::GetInt(const char* section, const char* key, int def, const char* file) {
  const IniSnapshot* copy = CopyFor(file);
  if (copy == nullptr) return api_.GetInt(section, key, def, file);
  return copy->GetInt(section, key, def);
}

uint32_t PressIniStore::GetSectionNames(char* out, uint32_t size, const char* file) {
  const IniSnapshot* copy = CopyFor(file);
  if (copy == nullptr) return api_.GetSectionNames(out, size, file);
  return copy->GetSectionNames(out, size);
}

uint32_t PressIniStore::GetSection(const char* section, char* out, uint32_t size,
                                   const char* file) {
  const IniSnapshot* copy = CopyFor(file);
  if (copy == nullptr) return api_.GetSection(section, out, size, file);
  return copy->GetSection(section, out, size);
}

std::shared_ptr<const std::vector<std::string>> PressIniStore::ProfileNames(const char* file) {
  if (const Entry& e = Fetch(file); e.source == Source::kCopy && e.profiles) return e.profiles;
  // From the copy, or, when the file could not be copied, through the API.
  auto names = std::make_shared<const std::vector<std::string>>(ReadProfileNames(*this, file));
  Entry& e = Fetch(file);
  if (e.source == Source::kCopy) e.profiles = names;
  return names;
}

bool PressIniStore::WriteString(const char* section, const char* key, const char* value,
                                const char* file) {
  const bool ok = api_.WriteString(section, key, value, file);
  Forget(file);
  return ok;
}

bool PressIniStore::WriteSection(const char* section, const char* keyValues, const char* file) {
  const bool ok = api_.WriteSection(section, keyValues, file);
  Forget(file);
  return ok;
}

}  // namespace k7
