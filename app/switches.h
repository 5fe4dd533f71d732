// Command-line switches: a second start of the program that tells the copy
// already running in the session what to do, and the exit code it ends with.
#pragma once

#include <cstdint>

namespace k7 {

enum class Switch {
  kNone,  // no switch: the program starts as usual
  kExit,
  kReload,
  kDisable,
  kEnable,
  kEvents,
  kStatus,
  kHelp,     // "/?": a message box lists the switches
  kUnknown,  // a switch we do not know, or more than one
};

// The switch on a command line (without the program's name). A word that
// begins with '/' or '-' is a switch; its name is case-blind. A line with
// no such word starts the program as it always did (any other words are
// ignored, as before); one with a switch must hold exactly one known one.
Switch ParseSwitch(const char* commandLine);

// The exit codes of a start with a switch.
enum SwitchExitCode : int {
  kSwitchDone = 0,         // the running copy took the command (/status: enabled and connected)
  kSwitchNoCopy = 1,       // no copy runs in this session
  kSwitchUnknown = 2,      // a switch we do not know
  kSwitchDisabled = 3,     // /status: reception is disabled
  kSwitchNoReceiver = 4,   // /status: enabled, but no receiver is connected
  kSwitchUnreachable = 5,  // a copy runs with more rights than ours, or does not take switches
  kSwitchNoAnswer = 6,     // a copy runs but did not answer in time (for /exit: did not end)
};

// What the running copy is asked: a tray command id, or kStatusRequest.
// 0 for a switch that asks the running copy nothing.
constexpr int kStatusRequest = 0x4B30;
int SwitchRequest(Switch s);

// The running copy's answer to a request it took: kSwitchAnswer plus the
// exit code. kSwitchBusy: it is still starting, ask again. Anything else (0:
// a build that knows no switches) is no answer.
constexpr intptr_t kSwitchAnswer = 0x4B370000;
constexpr intptr_t kSwitchBusy = kSwitchAnswer + 0xFF;

// How the running copy answers a request.
struct SwitchAnswer {
  intptr_t reply = 0;   // sent back to the caller
  int command = 0;      // tray command to carry out, 0 for none
  bool posted = false;  // carried out after the reply (it may end the process)
};
// started: its start-up is over (before that it only says it is busy).
SwitchAnswer AnswerSwitch(int request, bool started, bool disabled, bool connected);

// What the starting process saw of the running copy.
enum class CopySeen {
  kNone,     // no session mutex, no window
  kRefused,  // the session mutex exists but refuses us: the copy has more rights
  kSilent,   // the mutex is held, but no window of the copy answered within the wait
  kFound,    // its main window was found and the request sent
};
struct SwitchDelivery {
  CopySeen copy = CopySeen::kNone;
  bool answered = false;   // the send returned within its bound
  uint32_t sendError = 0;  // the system's error code of a send that did not
  intptr_t reply = 0;      // the reply of one that did
  bool ended = false;      // /exit: the copy's process ended within the bound
};

// The system's error codes a send may end with (winerror.h).
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidWindow = 1400;
constexpr uint32_t kErrorTimeout = 1460;

int SwitchExitCodeFor(Switch s, const SwitchDelivery& delivery);

}  // namespace k7
