// The virtual receiver's command language and report format, free of any
// platform code so that it is tested natively. See docs/VIRTUAL-RECEIVER.md.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k7::sim {

// The pipe the program looks for in place of the USB receiver.
constexpr char kPipeName[] = "\\\\.\\pipe\\K7F3-receiver";

constexpr size_t kReportSize = 8;
constexpr uint8_t kMarker = 0x7F;
using Report = std::array<uint8_t, kReportSize>;

// Longest wait a command may ask for: a day, so that a typo cannot hang a
// script for weeks and the value stays clear of INFINITE.
constexpr uint32_t kMaxMs = 86400000;

enum class Verb { kPress, kRaw, kMessage, kWaitClient, kUnplug, kPlug, kSleep };

// The longest message that `message` sends: twice a report, enough to test
// what a client makes of one that is too long.
constexpr size_t kMaxMessageSize = 2 * kReportSize;

struct Command {
  Verb verb = Verb::kPress;
  Report report{};               // press, raw
  std::vector<uint8_t> message;  // message: the bytes exactly as sent
  uint32_t ms = 0;               // wait-client, sleep
};

// What one input line asks for: nothing (blank or comment, no answer), a
// command, or an error to answer with.
struct ParsedLine {
  enum class Kind { kSilent, kCommand, kError };
  Kind kind = Kind::kSilent;
  Command command;
  std::string error;  // without the "error: " prefix
};

ParsedLine ParseLine(std::string_view line);

// Decimal or 0x hex, nothing else (no sign, no blanks); nullopt when the text
// is not such a number or is above max.
std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t max);

// The report a button press sends: byte 1 the code, byte 2 the marker,
// byte 3 the repeat flag, the rest zero.
Report PressReport(uint8_t code, uint8_t repeat);

// Cuts a byte stream into lines ending in LF or CR LF.
class LineSplitter {
 public:
  void Feed(std::string_view bytes);
  // The next complete line without its line end; nullopt when none is whole.
  std::optional<std::string> Next();
  // At end of input: a last line that had no line end, if any.
  std::optional<std::string> Rest();

 private:
  std::string pending_;
};

struct Options {
  bool unplugged = false;
  // press and raw answers also give the QueryPerformanceCounter value taken
  // just before the report was written, for timing from the pipe write.
  bool stamp = false;
};

// Command-line arguments (without the program name); nullopt and *error set
// on an unknown one.
std::optional<Options> ParseOptions(int argc, const char* const* argv, std::string* error);

}  // namespace k7::sim
