// A fresh directory per test, with helpers to fill it (our helper programs
// under any name, INI files) and to read what programs wrote into it.
#pragma once

#include <string>
#include <vector>

namespace k7::harness {

// The helper programs built with the tests (see tests/apps).
enum class HelperExe {
  kTargetApp,     // a window that logs its input; see target_app.h
  kLaunchTarget,  // appends its process id to "launched.log" (its command line and
                  // working directory to "launch-args.log") beside itself and exits
};

// Absolute Windows path of a helper program in the build tree.
std::string HelperExePath(HelperExe exe);

// Root of all scratch directories: "scratch" beside the test executable, so
// that a kept directory is easy to find in the build tree.
std::string ScratchRoot();

class ScratchDir {
 public:
  // Creates <root>\<label>-<pid>-<n>, emptied first should a stale one exist.
  explicit ScratchDir(const std::string& label);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Absolute path, no trailing backslash.
  const std::string& Path() const { return path_; }
  // Absolute path of name inside the directory.
  std::string File(const std::string& name) const;
  bool Exists(const std::string& name) const;

  // Copies a file in under the given name; returns the new absolute path.
  std::string CopyIn(const std::string& source, const std::string& name) const;
  std::string CopyHelper(HelperExe exe, const std::string& name) const;

  // WritePrivateProfileStringA on the file name inside the directory; a null
  // value removes the key.
  void WriteIni(const std::string& name, const char* section, const char* key,
                const char* value) const;

  // Complete lines of a text file inside the directory (CR LF or LF); a last
  // line still being written (no line end yet) is left out. Empty when the
  // file does not exist.
  std::vector<std::string> ReadLines(const std::string& name) const;

  // Leaves the directory in place when this object goes (for a failed test).
  void Keep() { keep_ = true; }

 private:
  std::string path_;
  bool keep_ = false;
};

// Whole content of a file opened with full sharing; empty when it is missing.
std::string ReadFileShared(const std::string& path);

// Complete lines of a text, as ScratchDir::ReadLines.
std::vector<std::string> SplitCompleteLines(const std::string& text);

// Deletes a directory and everything under it; failures are ignored.
void RemoveTree(const std::string& path);

}  // namespace k7::harness
