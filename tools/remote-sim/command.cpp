#include "tools/remote-sim/command.h"

#include <initializer_list>
#include <vector>

namespace k7::sim {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Appends piece by piece: GCC 12 warns falsely (-Wrestrict) about chained
// operator+ on strings at -O3.
std::string Join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view p : parts) out.append(p);
  return out;
}

ParsedLine Error(std::string text) {
  ParsedLine out;
  out.kind = ParsedLine::Kind::kError;
  out.error = std::move(text);
  return out;
}

ParsedLine Ok(const Command& command) {
  ParsedLine out;
  out.kind = ParsedLine::Kind::kCommand;
  out.command = command;
  return out;
}

// Reads words[first..] as bytes into report[1..]; false (and *error) on a bad one.
bool ReadBytes(const std::vector<std::string_view>& words, size_t first, Report& report,
               std::string* error) {
  for (size_t i = first; i < words.size(); ++i) {
    const std::optional<uint32_t> value = ParseNumber(words[i], 255);
    if (!value) {
      *error = Join({"\"", words[i], "\" is not a number from 0 to 255"});
      return false;
    }
    report[1 + i - first] = static_cast<uint8_t>(*value);
  }
  return true;
}

}  // namespace

std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t max) {
  bool hex = false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = true;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    const int digit = DigitValue(c, hex);
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (value > max) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

Report PressReport(uint8_t code, uint8_t repeat) {
  Report report{};
  report[1] = code;
  report[2] = kMarker;
  report[3] = repeat;
  return report;
}

ParsedLine ParseLine(std::string_view line) {
  const std::vector<std::string_view> words = Words(line);
  if (words.empty() || words[0][0] == '#') return ParsedLine{};
  const std::string_view verb = words[0];
  const size_t args = words.size() - 1;
  Command command;
  std::string error;

  if (verb == "press") {
    if (args < 1 || args > 2) return Error("usage: press CODE [REPEAT]");
    Report bytes{};
    if (!ReadBytes(words, 1, bytes, &error)) return Error(error);
    command.verb = Verb::kPress;
    command.report = PressReport(bytes[1], args == 2 ? bytes[2] : 0);
    return Ok(command);
  }
  if (verb == "raw") {
    if (args < 3 || args > kReportSize - 1) return Error("usage: raw B1 B2 B3 [B4 ... B7]");
    if (!ReadBytes(words, 1, command.report, &error)) return Error(error);
    command.verb = Verb::kRaw;
    return Ok(command);
  }
  if (verb == "message") {
    if (args < 1 || args > kMaxMessageSize) return Error("usage: message B0 [B1 ... B15]");
    for (size_t i = 1; i <= args; ++i) {
      const std::optional<uint32_t> value = ParseNumber(words[i], 255);
      if (!value) return Error(Join({"\"", words[i], "\" is not a number from 0 to 255"}));
      command.message.push_back(static_cast<uint8_t>(*value));
    }
    command.verb = Verb::kMessage;
    return Ok(command);
  }
  if (verb == "wait-client" || verb == "sleep") {
    if (args != 1) return Error(Join({"usage: ", verb, " MS"}));
    const std::optional<uint32_t> ms = ParseNumber(words[1], kMaxMs);
    if (!ms) {
      return Error(Join({"\"", words[1], "\" is not a number of milliseconds from 0 to ",
                         std::to_string(kMaxMs)}));
    }
    command.verb = verb == "sleep" ? Verb::kSleep : Verb::kWaitClient;
    command.ms = *ms;
    return Ok(command);
  }
  if (verb == "unplug" || verb == "plug") {
    if (args != 0) return Error(Join({verb, " takes no arguments"}));
    command.verb = verb == "plug" ? Verb::kPlug : Verb::kUnplug;
    return Ok(command);
  }
  return Error(Join({"unknown command \"", verb, "\""}));
}

void LineSplitter::Feed(std::string_view bytes) {
  pending_.append(bytes);
}

std::optional<std::string> LineSplitter::Next() {
  const size_t end = pending_.find('\n');
  if (end == std::string::npos) return std::nullopt;
  std::string line = pending_.substr(0, end);
  pending_.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<std::string> LineSplitter::Rest() {
  if (pending_.empty()) return std::nullopt;
  std::string line;
  line.swap(pending_);
  if (line.back() == '\r') line.pop_back();
  return line;
}

std::optional<Options> ParseOptions(int argc, const char* const* argv, std::string* error) {
  Options options;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--unplugged") {
      options.unplugged = true;
    } else if (arg == "--stamp") {
      options.stamp = true;
    } else {
      *error = Join({"unknown argument \"", arg, "\"; usage: remote-sim [--unplugged] [--stamp]"});
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace k7::sim
