// The system's ANSI code page for the portable text helpers, and ANSI forms
// of paths: the program keeps the ANSI API, so a path it takes from the
// system (its own, a picked file) must have an ANSI form that names the
// same file.
#pragma once

#include <windows.h>

#include <string>

#include "base/text.h"

namespace k7 {

// The lead bytes of the system's ANSI code page.
CodePage SystemAnsiCodePage();

// The short (8.3) form of a path, as the file system gives it.
class IShortPaths {
 public:
  virtual ~IShortPaths() = default;
  // Empty when there is none (short names switched off on the volume).
  virtual std::wstring ShortPath(const std::wstring& path) = 0;
};

class Win32ShortPaths : public IShortPaths {
 public:
  std::wstring ShortPath(const std::wstring& path) override;
};

// The ANSI form of a path that names the same file: the path itself when
// the code page writes each of its characters, else its short form when the
// code page writes that (on 1252, "Łukasz" would come out as "Lukasz", which
// is another folder). False when neither does.
bool AnsiPathOf(const std::wstring& path, std::string& ansi, IShortPaths& shortPaths);
bool AnsiPathOf(const std::wstring& path, std::string& ansi);

// What the user is told when a path has no ANSI form (the caller adds the
// remedy); whatName says what it names ("the program's folder").
std::wstring UnrepresentablePathText(const std::wstring& path, const wchar_t* whatName);

}  // namespace k7
