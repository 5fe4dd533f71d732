// The portable INI store with one file that refuses every write, as a file
// another program holds open without sharing makes the private-profile API
// refuse them (error 32, in use); reads go through. Counts the refused
// writes.
#pragma once

#include <string>

#include "fakes/portable_ini_store.h"

namespace k7::test {

// Holds the store in a base of its own, so that it exists before
// ReadsThrough refers to it.
struct PortableStoreHolder {
  PortableIniStore store;
};

class RefusingIni : private PortableStoreHolder, public ReadsThrough {
 public:
  RefusingIni() : ReadsThrough(store) {}

  std::string refused;  // full path; empty: every write goes through
  int refusedWrites = 0;

  bool WriteString(const char* section, const char* key, const char* value,
                   const char* file) override {
    return !Refuses(file) && ini_.WriteString(section, key, value, file);
  }
  bool WriteSection(const char* section, const char* keyValues, const char* file) override {
    return !Refuses(file) && ini_.WriteSection(section, keyValues, file);
  }
  uint32_t LastWriteError() const override { return refusedWrites > 0 ? 32 : 0; }

 private:
  bool Refuses(const char* file) {
    if (refused.empty() || refused != file) return false;
    ++refusedWrites;
    return true;
  }
};

}  // namespace k7::test
