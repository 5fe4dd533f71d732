// The Win32 side of profile files: the code-page conversion, and reading and
// writing a file named by its full (wide) path.
#pragma once

#include <windows.h>

#include <string>

#include "profiles/profile_file.h"

namespace k7 {

class Win32ProfileTextConverter : public IProfileTextConverter {
 public:
  unsigned SystemCodePage() const override;
  bool Knows(unsigned codePage) const override;
  bool ToSystem(unsigned codePage, std::string& text) const override;
};

// The whole file, when it is no larger than kMaxProfileFileBytes; false
// otherwise, with the system's error code (ERROR_FILE_TOO_LARGE for a file
// too large).
bool ReadProfileFileBytes(const std::wstring& path, std::string& bytes, DWORD& error);

// Replaces the file with bytes; false with the system's error code. A file
// written only in part is removed again.
bool WriteProfileFileBytes(const std::wstring& path, const std::string& bytes, DWORD& error);

}  // namespace k7
