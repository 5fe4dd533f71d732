#include "ui/write_messages.h"

namespace k7 {
namespace {

struct Reason {
  uint32_t error;
  const char* words;
  const char* remedy;
};

// The codes a private-profile write gives for the usual causes.
constexpr Reason kReasons[] = {
    {5, "access is denied",
     "The file may be read-only (clear Read-only in its Properties), or your account may not "
     "change files in this folder."},
    {32, "the file is in use by another program",
     "Close the program that holds it open (a text editor, a backup or a virus scanner) and try "
     "again."},
    {33, "the file is in use by another program",
     "Close the program that holds it open (a text editor, a backup or a virus scanner) and try "
     "again."},
    {2, "its folder was not found",
     "The program's folder was moved, renamed or removed while the program ran: end the program "
     "and start it again from where it is now."},
    {3, "its folder was not found",
     "The program's folder was moved, renamed or removed while the program ran: end the program "
     "and start it again from where it is now."},
    {19, "the disk is write-protected", "Remove the disk's write protection."},
    {112, "the disk is full", "Free some space on the disk."},
};

const Reason* Known(uint32_t error) {
  for (const Reason& r : kReasons) {
    if (r.error == error) return &r;
  }
  return nullptr;
}

std::string Opening(const char* file, uint32_t error, const std::string& systemText) {
  return std::string("Could not write to \"") + file +
         "\": " + WriteErrorReason(error, systemText) + ".";
}

std::string Remedy(uint32_t error) {
  const Reason* known = Known(error);
  return known != nullptr ? std::string(" ") + known->remedy : std::string();
}

}  // namespace

std::string WriteErrorReason(uint32_t error, const std::string& systemText) {
  if (const Reason* known = Known(error)) return known->words;
  std::string text = systemText;
  // The system's text ends with a full stop and a line end.
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  if (text.empty()) text = "Windows refused the write";
  return text + " (error " + std::to_string(error) + ")";
}

std::string WriteFailedText(const char* file, uint32_t error, const std::string& systemText) {
  return Opening(file, error, systemText) + "\n\nThe change was not saved." + Remedy(error);
}

std::string StartupWriteFailedText(const char* file, uint32_t error, const std::string& systemText,
                                   bool markerWritten) {
  const std::string what =
      markerWritten
          ? "\n\nThe built-in profiles may be incomplete. Nothing tries them again by itself: "
            "once the file can be written, click Default in the settings window to restore them."
          : "\n\nThe built-in profiles were not installed, and settings and profiles cannot be "
            "saved until the file can be written. The next start installs them.";
  return Opening(file, error, systemText) + what + Remedy(error);
}

}  // namespace k7
