// The INI files as one button press sees them. Each file is read whole once
// per press, at its first look-up, and every look-up of that press is answered
// from that copy with the results the private-profile API gives for it; so a
// press costs two or three file reads however many profiles there are, and
// still sees every file as it is at that moment. Writes go to the API.
//
// A file that cannot be read whole (another program holds it, it changed size
// while it was read, it is empty for a moment while being rewritten) is read
// once more; if that fails too, that press reads it through the API. A file in
// a form the copy does not handle (UTF-16, very large) is read through the API
// as well. So a file is never taken as empty because it was busy.
//
// The copy is bounded, in bytes and in sections and keys, so a hostile file
// (16 MiB of short lines) costs neither the memory of millions of keys nor
// the reader thread: such a file, and one whose copy cannot be made for want
// of memory, is read through the API for that press.
//
// Used by one thread at a time (the reader).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "profiles/ini_file.h"
#include "profiles/ini_store.h"

namespace k7 {

class IWholeFileReader {
 public:
  virtual ~IWholeFileReader() = default;
  // The whole file: kRead only when every byte was read and the file did not
  // change size meanwhile; kMissing when there is no such file; kTooLarge
  // beyond maxBytes; kUnreadable for anything else. Called without
  // IniFilesLock(): a read may hang (a network folder), and the program's
  // writes must not wait for it. So each reader keeps the bytes of a write of
  // the program from reaching a kRead half done, by whatever means suit it.
  virtual FileBytes ReadWhole(const char* file, size_t maxBytes) = 0;
  // The press is over: whatever the reader kept open for it may go.
  virtual void EndPress() {}
};

// Reads with standard C++ file I/O (ReadIniFileBytes), under IniFilesLock().
class PortableFileReader : public IWholeFileReader {
 public:
  FileBytes ReadWhole(const char* file, size_t maxBytes) override;
};

class PressIniStore : public IIniStore {
 public:
  // Where the current press gets a file's values from.
  enum class Source { kNotRead, kCopy, kApi };

  // Far beyond any profile file the program writes (a thousand profiles of
  // 36 keys take under 1 MiB and 40,000 entries).
  static constexpr size_t kMaxCopyBytes = size_t{4} << 20;
  static constexpr size_t kMaxCopyEntries = size_t{1} << 18;

  PressIniStore(IWholeFileReader& reader, IIniStore& api, size_t maxFileBytes = kMaxCopyBytes,
                size_t maxEntries = kMaxCopyEntries)
      : reader_(reader), api_(api), maxFileBytes_(maxFileBytes), maxEntries_(maxEntries) {}

  // A new press: every file is read again at its next look-up.
  void BeginPress();
  // The press's work is done (its keys are out): the reader may close files.
  void EndPress() { reader_.EndPress(); }

  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char* file) override;
  int GetInt(const char* section, const char* key, int def, const char* file) override;
  uint32_t GetSectionNames(char* out, uint32_t size, const char* file) override;
  uint32_t GetSection(const char* section, char* out, uint32_t size, const char* file) override;
  // Through the API; the file is read again at its next look-up.
  bool WriteString(const char* section, const char* key, const char* value,
                   const char* file) override;
  bool WriteSection(const char* section, const char* keyValues, const char* file) override;

  // The profiles of the file as this press reads it, in file order: the
  // names the settings list shows for the same bytes (ReadProfileNames). Made
  // once per copy: while the file's bytes stay the same, presses share it.
  std::shared_ptr<const std::vector<std::string>> ProfileNames(const char* file);

  Source SourceOf(const char* file) const;
  // Whole-file reads and parses done so far (a file whose bytes did not
  // change since the previous press is not parsed again).
  uint64_t file_reads() const { return fileReads_; }
  uint64_t parses() const { return parses_; }

  // How many times a file is read before the press turns to the API.
  static constexpr int kReadAttempts = 2;

 private:
  struct Entry {
    std::string path;
    bool current = false;  // read during this press
    Source source = Source::kNotRead;
    bool parsed = false;  // copy and bytes belong together
    std::string bytes;
    IniSnapshot copy;
    // The copy's profiles; null until asked for, and whenever the copy goes.
    std::shared_ptr<const std::vector<std::string>> profiles;
  };

  // The file's entry, read for this press if it was not yet.
  Entry& Fetch(const char* file);
  // Reads and parses the entry's file (may throw for want of memory).
  void Copy(Entry& e);
  // The copy that answers look-ups in the file, or null for the API.
  const IniSnapshot* CopyFor(const char* file);
  Entry* Find(const char* file);
  void Forget(const char* file);

  IWholeFileReader& reader_;
  IIniStore& api_;
  size_t maxFileBytes_;
  size_t maxEntries_;
  std::vector<Entry> entries_;  // the program reads three files
  uint64_t fileReads_ = 0;
  uint64_t parses_ = 0;
};

}  // namespace k7
