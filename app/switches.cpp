#include "app/switches.h"

#include <string>
#include <vector>

#include "app/tray_menu.h"
#include "base/text.h"

namespace k7 {
namespace {

struct Named {
  const char* name;
  Switch value;
};
constexpr Named kSwitches[] = {
    {"exit", Switch::kExit},     {"reload", Switch::kReload}, {"disable", Switch::kDisable},
    {"enable", Switch::kEnable}, {"events", Switch::kEvents}, {"status", Switch::kStatus},
    {"?", Switch::kHelp},
};

// Words split at blanks; a double-quoted stretch is part of its word
// (without the quotes), so "/exit" as a shortcut may write it counts too.
// Blanks and quotes are never the second byte of a double-byte character.
std::vector<std::string> Words(const char* line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (const char* p = line; *p != '\0'; ++p) {
    if (*p == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((*p == ' ' || *p == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += *p;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool IsSwitchWord(const std::string& word) {
  return !word.empty() && (word[0] == '/' || word[0] == '-');
}

}  // namespace

Switch ParseSwitch(const char* commandLine) {
  if (commandLine == nullptr) return Switch::kNone;
  const std::vector<std::string> words = Words(commandLine);
  bool any = false;
  for (const std::string& word : words) any = any || IsSwitchWord(word);
  if (!any) return Switch::kNone;
  if (words.size() != 1) return Switch::kUnknown;
  for (const Named& s : kSwitches) {
    if (EqualsNoCase(words[0].c_str() + 1, s.name)) return s.value;
  }
  return Switch::kUnknown;
}

int SwitchRequest(Switch s) {
  switch (s) {
    case Switch::kExit:
      return ID_TRAY_EXIT;
    case Switch::kReload:
      return ID_TRAY_RELOAD;
    case Switch::kDisable:
      return ID_TRAY_DISABLE;
    case Switch::kEnable:
      return ID_TRAY_ENABLE;
    case Switch::kEvents:
      return ID_TRAY_EVENTS;
    case Switch::kStatus:
      return kStatusRequest;
    default:
      return 0;
  }
}

SwitchAnswer AnswerSwitch(int request, bool started, bool disabled, bool connected) {
  if (!started) return {kSwitchBusy, 0, false};
  switch (request) {
    case ID_TRAY_RELOAD:
    case ID_TRAY_DISABLE:
    case ID_TRAY_ENABLE:
      // Done before the reply, so that the caller's next switch (a
      // /status) sees its effect.
      return {kSwitchAnswer + kSwitchDone, request, false};
    case ID_TRAY_EXIT:
    case ID_TRAY_EVENTS:
      // After the reply: Exit may end the process before it could answer,
      // and a window may run a loop of its own.
      return {kSwitchAnswer + kSwitchDone, request, true};
    case kStatusRequest: {
      const int code = disabled ? kSwitchDisabled : connected ? kSwitchDone : kSwitchNoReceiver;
      return {kSwitchAnswer + code, 0, false};
    }
    default:
      return {};
  }
}

int SwitchExitCodeFor(Switch s, const SwitchDelivery& delivery) {
  if (s == Switch::kUnknown) return kSwitchUnknown;
  if (SwitchRequest(s) == 0) return kSwitchDone;  // nothing to ask (no switch, /?)
  switch (delivery.copy) {
    case CopySeen::kNone:
      return kSwitchNoCopy;
    case CopySeen::kRefused:
      return kSwitchUnreachable;
    case CopySeen::kSilent:
      return kSwitchNoAnswer;
    case CopySeen::kFound:
      break;
  }
  if (!delivery.answered) {
    switch (delivery.sendError) {
      case kErrorInvalidWindow:
        return kSwitchNoCopy;  // it ended after it was found
      case kErrorTimeout:
      case 0:  // a timeout, as some systems report it
        return kSwitchNoAnswer;
      default:
        return kSwitchUnreachable;  // kErrorAccessDenied: it runs with more rights
    }
  }
  const intptr_t code = delivery.reply - kSwitchAnswer;
  const bool status = s == Switch::kStatus;
  const bool known =
      code == kSwitchDone || (status && (code == kSwitchDisabled || code == kSwitchNoReceiver));
  if (!known) return kSwitchUnreachable;
  if (s == Switch::kExit && !delivery.ended) return kSwitchNoAnswer;
  return static_cast<int>(code);
}

}  // namespace k7
