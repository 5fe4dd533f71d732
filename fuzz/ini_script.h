// A fuzz input for the INI readers, decoded: the bytes of one file and the
// read calls to make on it, with names and buffer sizes from the input. The
// fuzz target and the differential test under Wine decode a corpus file alike.
//
// Input: two bytes (little endian) give the length of the script, the script
// follows, and the rest is the file. Each call takes from the script a kind,
// a buffer size (0 to 4096) and its names; a name is either up to 31 bytes of
// the script or, to reach what the file holds, one of the file's section
// names or one of that section's keys, as the store lists them.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "profiles/ini_store.h"

namespace k7::fuzz {

struct IniCall {
  enum Kind { kString, kInt, kSectionNames, kSection, kNameList, kKeyList, kKinds };
  Kind kind = kString;
  std::string section, key, def;
  bool nullDef = false;
  uint32_t size = 0;
};

inline size_t IniScriptLength(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t length = size_t(data[0]) | size_t(data[1]) << 8;
  return length < size - 2 ? length : size - 2;
}

inline std::string IniScriptFile(const uint8_t* data, size_t size) {
  if (size < 2) return std::string();
  const size_t skip = 2 + IniScriptLength(data, size);
  return std::string(reinterpret_cast<const char*>(data) + skip, size - skip);
}

// list(nullptr) gives the file's section names, list(name) that section's
// "key=value" lines.
inline std::vector<IniCall> IniScriptCalls(
    const uint8_t* data, size_t size,
    const std::function<std::vector<std::string>(const char*)>& list) {
  const uint8_t* p = data + (size < 2 ? size : 2);
  const uint8_t* end = p + IniScriptLength(data, size);
  auto next = [&]() -> uint8_t { return p < end ? *p++ : 0; };
  const std::vector<std::string> sections = list(nullptr);
  auto name = [&](const std::vector<std::string>& known, bool keys) {
    const uint8_t b = next();
    if ((b & 0x80) != 0 && !known.empty()) {
      std::string n = known[(b & 0x7F) % known.size()];
      return keys ? n.substr(0, n.find('=')) : n;
    }
    std::string n;
    for (int i = b & 0x1F; i > 0 && p < end; --i) n += char(next());
    // Not a C string past a NUL, as every caller passes it.
    return n.substr(0, std::strlen(n.c_str()));
  };
  std::vector<IniCall> calls;
  while (p < end && calls.size() < 64) {
    IniCall call;
    call.kind = IniCall::Kind(next() % IniCall::kKinds);
    call.size = (uint32_t(next()) | uint32_t(next()) << 8) % 4097;
    call.section = name(sections, false);
    call.key = name(list(call.section.c_str()), true);
    const uint8_t d = next();
    call.nullDef = (d & 1) != 0;
    call.def = std::string("'\" d x ").substr(0, (d >> 1) % 8);
    calls.push_back(call);
  }
  return calls;
}

// Makes the call on the store, into out (call.size bytes); its result.
inline int64_t RunIniCall(IIniStore& ini, const IniCall& c, const char* file, char* out) {
  const char* def = c.nullDef ? nullptr : c.def.c_str();
  switch (c.kind) {
    case IniCall::kString:
      return ini.GetString(c.section.c_str(), c.key.c_str(), def, out, c.size, file);
    case IniCall::kInt:
      return ini.GetInt(c.section.c_str(), c.key.c_str(), -7, file);
    case IniCall::kSectionNames:
      return ini.GetSectionNames(out, c.size, file);
    case IniCall::kSection:
      return ini.GetSection(c.section.c_str(), out, c.size, file);
    case IniCall::kNameList:
      return ini.GetString(nullptr, c.key.c_str(), def, out, c.size, file);
    case IniCall::kKeyList:
    case IniCall::kKinds:
      break;
  }
  return ini.GetString(c.section.c_str(), nullptr, def, out, c.size, file);
}

}  // namespace k7::fuzz
