// A start with a switch: the request sent to the running copy's main window.
#pragma once

#include <windows.h>

#include "app/switches.h"

namespace k7 {

// The message a running copy takes requests by (RegisterWindowMessage): a
// window message, so that Windows lets only processes of our user at our
// integrity level or above send it.
constexpr char kSwitchMessageName[] = "Quorvan-K7F3-switch";

// The title of the list "/?" shows: not the main window's, or a dialog of
// ours under it would pass for a running copy.
constexpr char kSwitchHelpTitle[] = "Quorvan K7F3 switches";

// Carries out s (not kNone) and returns the process's exit code: shows the
// list for "/?", otherwise asks the copy that runs in this session.
int RunSwitch(Switch s);

}  // namespace k7
