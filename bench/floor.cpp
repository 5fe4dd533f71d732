// The least any reader of the virtual receiver must do per button: the
// program's pipe connection and read loop (receiver/receiver_win32.cpp) and
// one keybd_event down and up, with no profile lookup, no dispatch and no
// caption. The press benchmark sets the program against it.
//
//   k7_bench_floor.exe
//
// Exits 0 once the pipe breaks (remote-sim's unplug), 1 when it cannot
// connect.
#include <windows.h>

#include <cstdint>

#include "tools/remote-sim/command.h"

namespace {

HANDLE Connect() {
  auto open = [] {
    return CreateFileA(k7::sim::kPipeName, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
  };
  HANDLE pipe = open();
  if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY &&
      WaitNamedPipeA(k7::sim::kPipeName, 1000)) {
    pipe = open();
  }
  if (pipe == INVALID_HANDLE_VALUE) return pipe;
  DWORD mode = PIPE_READMODE_MESSAGE;
  SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
  return pipe;
}

void PageDown() {
  keybd_event(VK_NEXT, 0, 0, 0);
  keybd_event(VK_NEXT, 0, KEYEVENTF_KEYUP, 0);
}

}  // namespace

int main() {
  const HANDLE pipe = Connect();
  if (pipe == INVALID_HANDLE_VALUE) return 1;
  // The same two events as the program's reader: a reader that can be
  // stopped waits on a stop event too, so that wait belongs to the floor.
  const HANDLE report = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  const HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  OVERLAPPED ov;
  ZeroMemory(&ov, sizeof ov);
  ov.hEvent = report;
  uint8_t buffer[k7::sim::kReportSize] = {};
  auto issue = [&] {
    ResetEvent(report);
    return ReadFile(pipe, buffer, sizeof buffer, nullptr, &ov) ||
           GetLastError() == ERROR_IO_PENDING;
  };
  if (!issue()) return 0;
  const HANDLE waits[2] = {stop, report};
  for (;;) {
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
    DWORD bytes = 0;
    if (!GetOverlappedResult(pipe, &ov, &bytes, FALSE)) {
      if (GetLastError() == ERROR_IO_INCOMPLETE) {
        ResetEvent(report);
        if (HasOverlappedIoCompleted(&ov)) SetEvent(report);
        continue;
      }
      break;  // unplugged
    }
    if (bytes >= 4 && buffer[2] == k7::sim::kMarker) PageDown();
    if (!issue()) break;
  }
  return 0;
}
