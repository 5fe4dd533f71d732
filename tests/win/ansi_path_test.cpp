// The ANSI form of a path the program takes from the system (its own path, a
// picked file) on code page 1252: the path itself, its short form, or none
// when the volume keeps no short names (forced through the seam: Wine
// always makes them).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/ansi_path_win32.h"
#include "harness/harness.h"

namespace k7 {
namespace {

struct NoShortNames : IShortPaths {
  std::wstring ShortPath(const std::wstring&) override { return std::wstring(); }
};

// A volume whose short names are as long as the names themselves.
struct LongShortNames : IShortPaths {
  std::wstring ShortPath(const std::wstring& path) override { return path; }
};

TEST(AnsiPath, ThePathItselfItsShortFormOrNone) {
  harness::ScratchDir scratch("AnsiPath");
  Win32ShortPaths real;
  NoShortNames none;
  LongShortNames longShort;
  const struct {
    const wchar_t* name;
    IShortPaths* shortPaths;
    bool found;
    bool itself;  // the ANSI form is the name as it is
  } rows[] = {
      {L"Plain", &none, true, true},
      {L"\u0141ukasz", &real, true, false},
      {L"\u042E\u043B\u0438\u044F", &real, true, false},
      {L"\u0141ukasz", &none, false, false},
      {L"\u042E\u043B\u0438\u044F", &longShort, false, false},
  };
  for (const auto& row : rows) {
    const std::wstring folder =
        std::wstring(scratch.Path().begin(), scratch.Path().end()) + L"\\" + row.name;
    SCOPED_TRACE(harness::ToAnsi(folder.c_str(), static_cast<int>(folder.size())));
    CreateDirectoryW(folder.c_str(), nullptr);
    std::string ansi = "unchanged";
    ASSERT_EQ(AnsiPathOf(folder, ansi, *row.shortPaths), row.found);
    if (!row.found) continue;
    EXPECT_EQ(ansi == scratch.Path() + "\\" + harness::ToAnsi(row.name, lstrlenW(row.name)),
              row.itself)
        << ansi;
    // Named through the ANSI API, it is the same folder.
    EXPECT_EQ(harness::LongPathOf(ansi), folder) << ansi;
  }
}

}  // namespace
}  // namespace k7
