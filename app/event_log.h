// The events window's lines and the log file "K7F3.log": one line per report,
// made from the record the reader hands on, and the file that keeps them
// beside the INI files, begun anew at 1 MiB (the older one kept as
// "K7F3.log.1").
#pragma once

#include <cstdint>
#include <string>

#include "receiver/report_route.h"

namespace k7 {

constexpr char kLogFileName[] = "K7F3.log";
constexpr char kOlderLogSuffix[] = ".1";
constexpr int kEventLinesKept = 1000;

// "2026-12-09 07:45:01.123 | 02 7F 00 | WinDVD.exe | WinDVD | hotkey 1-PGDOWN
// (slot 28) | "Next"": the time, the report's bytes (code, marker, repeat),
// the program in front, the profile used, what was done or why nothing, and
// the caption; "-" where a report never got that far.
std::string FormatEventLine(const PressEvent& event);

// What the user is told of a log write that failed, and the events
// window's line for it, at the time of event.
std::string LogFailureText(const std::string& path, uint32_t error);
std::string LogFailureLine(const PressEvent& event, const std::string& text);

// What the log needs of the file system.
class ILogFiles {
 public:
  virtual ~ILogFiles() = default;
  // The file's size in bytes; 0 when there is none.
  virtual uint64_t Size(const std::string& path) = 0;
  // Appends the bytes, making the file when there is none; false when
  // refused, with the system's error code in *error.
  virtual bool Append(const std::string& path, const std::string& bytes, uint32_t* error) = 0;
  // Renames from to to, replacing to; false when refused.
  virtual bool Replace(const std::string& from, const std::string& to, uint32_t* error) = 0;
};

enum class LogWrite { kWritten, kFailed, kFirstFailure };

class EventLogFile {
 public:
  static constexpr uint64_t kMaxBytes = uint64_t{1} << 20;

  // folder ends with its separator, as the INI paths' folder does.
  EventLogFile(ILogFiles& files, const std::string& folder, uint64_t maxBytes = kMaxBytes)
      : files_(files), path_(folder + kLogFileName), maxBytes_(maxBytes) {}

  // Appends the line and a line break; a line that would take the file past
  // its bound first moves the file to the older name. A failure is told
  // (kFirstFailure) only the first time in the run.
  LogWrite Write(const std::string& line);

  const std::string& Path() const { return path_; }
  uint32_t LastError() const { return lastError_; }

 private:
  ILogFiles& files_;
  std::string path_;
  uint64_t maxBytes_;
  uint32_t lastError_ = 0;
  bool failureTold_ = false;
};

}  // namespace k7
