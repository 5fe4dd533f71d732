// The INI files read with standard C++ file I/O, with the results the
// private-profile API gives (as Wine implements it) for every read the
// program makes: same lookups, same values, same return values. (The
// program writes through the API only; the same bytes written portably are
// the tests' business, beside them.)
//
// Every call reads its file afresh and keeps nothing: a file changed by
// someone else is seen by the next call, as the program re-reads its
// profiles on each press. Calls are serialised process-wide, as the API does.
//
// What a read does with a file it cannot use:
//  - missing file (its folder exists): the defaults;
//  - a file that cannot be opened or read whole (a folder, no access, missing
//    folder), larger than the size limit, or in UTF-16: the defaults as the
//    API gives them when it cannot open a file (the default then keeps its
//    quotes). last_state() and Check() tell which case it was, for a caller
//    that wants to report it or try again on the next press.
//
// Names and values are bytes of the system's ANSI code page; in a double-byte
// code page a character's second byte is never taken for a bracket or a
// letter to fold (AnsiCodePage). Letter case is ignored for the ASCII
// letters only. A file with a UTF-8 signature keeps it; its text is handled
// as bytes too, which equals the API for ASCII text only.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace k7 {

enum class IniFileState {
  kRead,        // read whole (an empty file included)
  kMissing,     // no such file; its folder exists
  kUnreadable,  // cannot be opened or read whole, or its folder is missing
  kTooLarge,    // larger than the store's limit
  kUnsupported  // UTF-16 text
};

// A file's bytes as one read found them, or why it could not be read whole.
struct FileBytes {
  IniFileState state = IniFileState::kUnreadable;
  std::string bytes;  // only for kRead
};

// Reads the whole file with standard C++ file I/O (forWrite: it must be
// writable too). The caller holds IniFilesLock() when the file may be written
// by this process at the same time.
FileBytes ReadIniFileBytes(const char* file, size_t maxBytes, bool forWrite = false);

// Serialises, within the process, every write of the program's INI files with
// every read of a whole file, so that no read sees a write half done.
std::mutex& IniFilesLock();

// One file's content as read at one moment; answers the four read calls with
// exactly the results PortableIniReader gives for a file holding those bytes.
// Cheap to copy; immutable.
class IniSnapshot {
 public:
  IniSnapshot();  // a file that could not be read
  // A file with more than maxEntries sections and keys is not kept: its
  // state is then kTooLarge.
  explicit IniSnapshot(const FileBytes& file, size_t maxEntries = SIZE_MAX);

  // kRead, kMissing, or why its content cannot be used (kUnsupported for
  // UTF-16 bytes, kTooLarge for too many entries).
  IniFileState state() const;

  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size) const;
  int GetInt(const char* section, const char* key, int def) const;
  uint32_t GetSectionNames(char* out, uint32_t size) const;
  uint32_t GetSection(const char* section, char* out, uint32_t size) const;

 private:
  struct Impl;
  std::shared_ptr<const Impl> impl_;
};

// The four reads, each from the file as it is now.
class PortableIniReader {
 public:
  static constexpr size_t kDefaultMaxFileBytes = size_t{16} << 20;

  explicit PortableIniReader(size_t maxFileBytes = kDefaultMaxFileBytes)
      : maxFileBytes_(maxFileBytes) {}

  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char* file);
  int GetInt(const char* section, const char* key, int def, const char* file);
  uint32_t GetSectionNames(char* out, uint32_t size, const char* file);
  uint32_t GetSection(const char* section, char* out, uint32_t size, const char* file);

  // What the last call through this reader found its file to be.
  IniFileState last_state() const { return lastState_.load(); }

  // Reads the file as a call would, and reports what it found.
  IniFileState Check(const char* file) const;

 protected:
  size_t maxFileBytes_;
  std::atomic<IniFileState> lastState_{IniFileState::kMissing};
};

}  // namespace k7
