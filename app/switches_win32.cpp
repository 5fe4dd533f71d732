#include "app/switches_win32.h"

#include "app/single_instance_win32.h"
#include "app/tray_win32.h"

namespace k7 {
namespace {

// How long a copy may take to show its window and finish its start-up (the
// receiver-missing notice alone stays three seconds).
constexpr DWORD kStartWaitMs = 10000;
// How long a request may take: Reload and Enable wait up to ten seconds for
// a reader that is busy in a press.
constexpr DWORD kAnswerWaitMs = 20000;
// How long /exit waits for the copy to end: it too may wait that long for
// its reader.
constexpr DWORD kEndWaitMs = 20000;

constexpr char kHelpText[] =
    "Controls the copy of the program that runs in this session:\n\n"
    "K7F3.exe /exit\tends it\n"
    "K7F3.exe /reload\tlooks for the receiver again (tray menu: Reload)\n"
    "K7F3.exe /disable\tignores the remote (tray menu: Disable)\n"
    "K7F3.exe /enable\tacts on the remote again (tray menu: Enable)\n"
    "K7F3.exe /events\topens the events window\n"
    "K7F3.exe /status\ttells its state by the exit code\n"
    "K7F3.exe /?\tshows this list\n\n"
    "Exit codes: 0 done (/status: enabled, receiver connected), 1 not running, "
    "2 unknown switch, 3 disabled, 4 no receiver, 5 running with more rights, "
    "6 no answer in time.";

// True when the session mutex could be taken: the copy that held it has
// ended. It is let go at once, so a copy may start again.
bool TakeAndRelease(HANDLE mutex, DWORD waitMs) {
  const DWORD result = WaitForSingleObject(mutex, waitMs);
  if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) return false;
  ReleaseMutex(mutex);
  return true;
}

// Sends the request to the copy that holds mutex, once its window is there
// and its start-up over, or until the copy ends or kStartWaitMs have passed.
void Deliver(Switch s, HANDLE mutex, SwitchDelivery& delivery) {
  const UINT message = RegisterWindowMessageA(kSwitchMessageName);
  const ULONGLONG deadline = GetTickCount64() + kStartWaitMs;
  for (;;) {
    HWND window = FindRunningCopy(kProgramTitle);
    if (window != nullptr && message != 0) {
      if (s == Switch::kEvents) {
        // Ours to give: we were started in front, and the window it opens
        // belongs in front.
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        AllowSetForegroundWindow(processId);
      }
      DWORD_PTR reply = 0;
      SetLastError(0);
      delivery.copy = CopySeen::kFound;
      delivery.answered = SendMessageTimeoutA(window, message, SwitchRequest(s), 0, SMTO_NORMAL,
                                              kAnswerWaitMs, &reply) != 0;
      delivery.sendError = delivery.answered ? 0 : GetLastError();
      delivery.reply = static_cast<intptr_t>(reply);
      if (!delivery.answered || delivery.reply != kSwitchBusy) return;
    }
    if (GetTickCount64() >= deadline) {
      delivery.copy = CopySeen::kSilent;
      return;
    }
    if (TakeAndRelease(mutex, 100)) {
      delivery.copy = CopySeen::kNone;
      return;
    }
  }
}

}  // namespace

int RunSwitch(Switch s) {
  if (s == Switch::kHelp) {
    MessageBoxA(nullptr, kHelpText, kSwitchHelpTitle, MB_OK | MB_ICONINFORMATION);
    return kSwitchDone;
  }
  SwitchDelivery delivery;
  if (SwitchRequest(s) != 0) {
    // Opened, never made: this start must not pass for a running copy.
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kSessionMutexName);
    if (mutex == nullptr) {
      delivery.copy = GetLastError() == ERROR_ACCESS_DENIED ? CopySeen::kRefused : CopySeen::kNone;
    } else {
      Deliver(s, mutex, delivery);
      if (s == Switch::kExit && delivery.answered && delivery.reply == kSwitchAnswer) {
        delivery.ended = TakeAndRelease(mutex, kEndWaitMs);
      }
      CloseHandle(mutex);
    }
  }
  return SwitchExitCodeFor(s, delivery);
}

}  // namespace k7
