// Small pieces every part of the Windows-side test harness uses: waiting for a
// condition, errors that carry GetLastError, and UTF-16 to ANSI conversion.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace k7::harness {

// Default bound for anything that normally happens within milliseconds; only
// a broken build or a hung process should ever reach it.
constexpr DWORD kWaitMs = 5000;
// Bound for a program's whole start-up under Wine (a new process, its
// windows, the receiver), which takes seconds on a machine busy elsewhere.
constexpr DWORD kStartMs = 15000;

// Polls done() until it returns true or timeoutMs have passed; true when it did.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs, DWORD pollMs = 5);

// Throws std::runtime_error with what and the current GetLastError code.
[[noreturn]] void ThrowLastError(const std::string& what);

// Text in the ANSI code page, as the program under test sees it.
std::string ToAnsi(const wchar_t* text, int length);

// The long form of an ANSI path (which may be a short one), and the short
// (ASCII, under Wine) form of a wide one; each empty when the file is missing.
std::wstring LongPathOf(const std::string& ansiPath);
std::string ShortPathOf(const std::wstring& path);

// Windows path of a Unix path the build wrote (Wine maps the root to a drive);
// a path that is not absolute Unix is returned as it is.
std::string DosPathOf(const char* unixPath);

// Milliseconds between two QueryPerformanceCounter values.
double QpcMs(LONGLONG from, LONGLONG to);

}  // namespace k7::harness
