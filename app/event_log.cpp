#include "app/event_log.h"

#include <cstdio>

namespace k7 {
namespace {

std::string Stamp(const PressEvent& e) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", e.year, e.month, e.day,
                e.hour, e.minute, e.second, e.millis);
  return text;
}

std::string Bytes(const PressEvent& e) {
  if (e.fired) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X timeout", e.bytes[0]);
    return text;
  }
  if (e.byteCount == 0) return "(none)";
  std::string text;
  for (int i = 0; i < e.byteCount; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X", e.bytes[i]);
    if (i > 0) text += ' ';
    text += byte;
  }
  return text;
}

std::string Program(const PressEvent& e) {
  if (e.drop != ReportDrop::kNone || e.outcome.profile == ProfileUse::kNotLooked) return "-";
  return e.outcome.program[0] != '\0' ? e.outcome.program : "(unknown)";
}

std::string Profile(const PressOutcome& o) {
  switch (o.profile) {
    case ProfileUse::kNotLooked:
      return "-";
    case ProfileUse::kNone:
      return "(none)";
    case ProfileUse::kNamed:
      return o.profileName;
    case ProfileUse::kCatchAll: {
      std::string text = o.profileName;
      text += " (all other programs)";
      return text;
    }
    case ProfileUse::kElevated:
      return "refused: runs elevated";
  }
  return "-";
}

const char* Direction(int dx, int dy) {
  static const char* const kNames[3][3] = {
      {"up-left", "left", "down-left"}, {"up", "-", "down"}, {"up-right", "right", "down-right"}};
  return kNames[dx + 1][dy + 1];
}

std::string Launch(const PressOutcome& o) {
  std::string text = "launch ";
  text += o.category != nullptr ? o.category : "?";
  if (o.application[0] != '\0') {
    text += " (";
    text += o.application;
    text += ")";
  }
  switch (o.launch) {
    case LaunchResult::kStarted:
      text += ": started ";
      text += o.path;
      break;
    case LaunchResult::kNoApplication:
      text += ": failed, no application chosen";
      break;
    case LaunchResult::kPathMissing:
      text += ": failed, ";
      text += o.path[0] != '\0' ? o.path : "no path";
      text += " not found";
      break;
    case LaunchResult::kStartFailed:
      text += ": failed to start ";
      text += o.path;
      break;
    case LaunchResult::kNone:
      break;
  }
  return text;
}

std::string WithSlot(const char* what, const PressOutcome& o) {
  std::string text = what;
  text += " (slot ";
  text += std::to_string(o.slot);
  text += ")";
  return text;
}

// What was done, and whether it set the caption.
std::string Action(const PressEvent& e, bool* captioned) {
  *captioned = false;
  switch (e.drop) {
    case ReportDrop::kTooShort:
      return "nothing: too short";
    case ReportDrop::kDisabled:
      return "nothing: disabled";
    case ReportDrop::kLearning:
      return "nothing: learning";
    case ReportDrop::kNone:
      break;
  }
  const PressOutcome& o = e.outcome;
  *captioned = true;
  switch (o.action) {
    case PressAction::kHotkey: {
      if (o.hotkey[0] == '\0') return WithSlot("nothing: empty slot", o);
      const std::string hotkey = std::string("hotkey ") + o.hotkey;
      return WithSlot(hotkey.c_str(), o);
    }
    case PressAction::kHoldAction: {
      const std::string hotkey = std::string("hold action ") + o.hotkey;
      return WithSlot(hotkey.c_str(), o);
    }
    case PressAction::kNoProfile:
      return WithSlot("nothing: no profile", o);
    case PressAction::kInputRefused: {
      std::string text = "nothing: ";
      text += o.program;
      text += " runs elevated";
      return text;
    }
    case PressAction::kMouseToggle:
      return o.mouseModeOn ? "mouse mode on" : "mouse mode off";
    case PressAction::kLight:
      return "light";
    case PressAction::kLaunch:
      return Launch(o);
    default:
      break;
  }
  *captioned = false;
  switch (o.action) {
    case PressAction::kWrongMarker:
      return "nothing: wrong marker";
    case PressAction::kRepeatIgnored:
      return "nothing: repeat ignored";
    case PressAction::kHoldPending:
      return WithSlot("waiting: tap or hold", o);
    case PressAction::kMouseMove: {
      std::string text = "mouse move ";
      text += Direction(o.dx, o.dy);
      text += ' ';
      text += std::to_string(o.distance);
      return text;
    }
    case PressAction::kMouseClick:
      return "mouse left click";
    default:
      return "nothing: no slot";
  }
}

}  // namespace

std::string FormatEventLine(const PressEvent& event) {
  bool captioned = false;
  std::string line = Stamp(event);
  line += " | ";
  line += Bytes(event);
  line += " | ";
  line += Program(event);
  line += " | ";
  line += event.drop == ReportDrop::kNone ? Profile(event.outcome) : "-";
  line += " | ";
  // An action of a held button that fired later says so.
  if (event.fired) line += "on timeout: ";
  line += Action(event, &captioned);
  line += " | ";
  if (captioned) {
    line += '"';
    line += event.caption.text;
    line += '"';
  } else {
    line += '-';
  }
  return line;
}

std::string LogFailureText(const std::string& path, uint32_t error) {
  std::string text = "The log ";
  text += path;
  text += " could not be written (error ";
  text += std::to_string(error);
  text += "). Presses go on; the log misses their lines.";
  return text;
}

std::string LogFailureLine(const PressEvent& event, const std::string& text) {
  std::string line = Stamp(event);
  line += " | log | ";
  line += text;
  return line;
}

LogWrite EventLogFile::Write(const std::string& line) {
  const std::string bytes = line + "\r\n";
  uint32_t error = 0;
  const uint64_t size = files_.Size(path_);
  bool ok = true;
  if (size > 0 && size + bytes.size() > maxBytes_) {
    ok = files_.Replace(path_, path_ + kOlderLogSuffix, &error);
  }
  if (ok) ok = files_.Append(path_, bytes, &error);
  if (ok) return LogWrite::kWritten;
  lastError_ = error;
  if (failureTold_) return LogWrite::kFailed;
  failureTold_ = true;
  return LogWrite::kFirstFailure;
}

}  // namespace k7
