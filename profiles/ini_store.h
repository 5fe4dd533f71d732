// The seam through which the program reads and writes its INI files. Each
// call names its file and has the contract of the private-profile function of
// the same name; nothing is held open between calls.
#pragma once

#include <cstdint>
#include <string>

namespace k7 {

// The one call a press makes of the files (the foreground match, the hotkey
// table's loading, the captions, the launches), and all a stand-in for them
// needs to answer.
class IIniStrings {
 public:
  virtual ~IIniStrings() = default;

  // GetPrivateProfileStringA with a section and a key: copies the value (or
  // def, or "" when def is null) into out, cut to size - 1 bytes and always
  // terminated when size > 0; returns the number of bytes copied.
  virtual uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                             uint32_t size, const char* file) = 0;
};

// Every private-profile call the program makes.
class IIniStore : public IIniStrings {
 public:
  // GetPrivateProfileIntA.
  virtual int GetInt(const char* section, const char* key, int def, const char* file) = 0;

  // GetPrivateProfileSectionNamesA: the names, each terminated, the list ended
  // by an empty name, cut to the buffer.
  virtual uint32_t GetSectionNames(char* out, uint32_t size, const char* file) = 0;

  // GetPrivateProfileSectionA: "key=value" lines of one section, each
  // terminated, the list ended by an empty string, cut to the buffer.
  virtual uint32_t GetSection(const char* section, char* out, uint32_t size, const char* file) = 0;

  // WritePrivateProfileStringA: a null key removes the section, a null value
  // removes the key.
  virtual bool WriteString(const char* section, const char* key, const char* value,
                           const char* file) = 0;

  // WritePrivateProfileSectionA: replaces the section's content with the
  // double-terminated list of "key=value" strings (an empty list keeps the
  // header with no keys under it).
  virtual bool WriteSection(const char* section, const char* keyValues, const char* file) = 0;

  // The system's error code of the last write that failed (0: none known).
  virtual uint32_t LastWriteError() const { return 0; }
};

// Passes the reads on to another store; what it does with writes is the
// deriving class's business.
class ReadsThrough : public IIniStore {
 public:
  explicit ReadsThrough(IIniStore& ini) : ini_(ini) {}

  uint32_t GetString(const char* section, const char* key, const char* def, char* out,
                     uint32_t size, const char* file) override {
    return ini_.GetString(section, key, def, out, size, file);
  }
  int GetInt(const char* section, const char* key, int def, const char* file) override {
    return ini_.GetInt(section, key, def, file);
  }
  uint32_t GetSectionNames(char* out, uint32_t size, const char* file) override {
    return ini_.GetSectionNames(out, size, file);
  }
  uint32_t GetSection(const char* section, char* out, uint32_t size, const char* file) override {
    return ini_.GetSection(section, out, size, file);
  }

 protected:
  IIniStore& ini_;
};

// One user command's writes: passes every call on and remembers the first
// file a write could not change. From then on the command's further writes
// are refused without being tried, so a failed command stops where it failed
// and is reported once, not once per key.
class CheckedWrites : public ReadsThrough {
 public:
  explicit CheckedWrites(IIniStore& ini) : ReadsThrough(ini) {}

  bool WriteString(const char* section, const char* key, const char* value,
                   const char* file) override {
    return Check(!Failed() && ini_.WriteString(section, key, value, file), file);
  }
  bool WriteSection(const char* section, const char* keyValues, const char* file) override {
    return Check(!Failed() && ini_.WriteSection(section, keyValues, file), file);
  }

  bool Failed() const { return failed_; }
  // The file that refused the first failed write; empty while none failed.
  const std::string& FailedFile() const { return failedFile_; }
  // Why it refused: the system's error code (0 when not known).
  uint32_t LastWriteError() const override { return failedError_; }

 private:
  bool Check(bool written, const char* file) {
    if (!written && !failed_) {
      failed_ = true;
      failedFile_ = file != nullptr ? file : "";
      failedError_ = ini_.LastWriteError();
    }
    return written;
  }

  bool failed_ = false;
  std::string failedFile_;
  uint32_t failedError_ = 0;
};

}  // namespace k7
