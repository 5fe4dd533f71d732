// When the receiver is connected, reconnected or given up, and what the user
// sees of it: the connection paths of start-up, the one-second poll and the
// tray's Reload, Enable and Disable.
#pragma once

#include <cstdint>

#include "base/shared_flags.h"

namespace k7 {

// The longest the user-interface thread waits for a reader to end. A reader
// never waits on that thread, but a press may take long: a launch or a path
// check on a network path that does not answer.
constexpr uint32_t kReaderStopWaitMs = 10000;

// The receiver and its reader thread, as the connection paths use them.
class IReceiver {
 public:
  virtual ~IReceiver() = default;
  // True when the receiver is present; keeps what opening it needs.
  virtual bool FindReceiver() = 0;
  // Opens what FindReceiver kept (closing a previous handle).
  virtual void OpenReceiver() = 0;
  // Starts a reader thread on the open receiver; false when none started
  // (a previous reader is still held, or the system refused the thread).
  virtual bool StartReader() = 0;
  // Tells the reader, if any, to stop and waits at most waitMs for it to end.
  // True when no reader is left; false when it is still busy in a press: it
  // stays told to stop and ends after that press.
  virtual bool StopReader(uint32_t waitMs) = 0;
};

// What the user sees of the connection.
class IConnectionView {
 public:
  virtual ~IConnectionView() = default;
  // The receiver-missing notice: modal, closes itself after three seconds.
  virtual void ShowReceiverMissing() = 0;
  virtual void SetTrayIcon(int iconId) = 0;
};

class ReceiverConnection {
 public:
  ReceiverConnection(IReceiver& receiver, IConnectionView& view, SharedFlags& flags,
                     uint32_t stopWaitMs = kReaderStopWaitMs)
      : receiver_(receiver), view_(view), flags_(flags), stopWaitMs_(stopWaitMs) {}

  // Start-up: the icon is not in the tray yet, so this only decides which
  // icon start-up then puts there, and returns it. A receiver found is
  // opened; its reader starts with StartReaderAtStartup.
  int ConnectAtStartup();
  // Start-up, once the INI paths are built and the profile list is
  // published: a press must not be read before it can be looked up.
  void StartReaderAtStartup();
  // Timer 1000: silent; reconnects a receiver that came back while enabled.
  void Poll();
  // Tray command Reload.
  void Reload();
  // Tray command Enable.
  void Enable();
  // Tray command Disable: the receiver stays open, reports are discarded.
  void Disable();
  // Shutdown.
  void Stop();
  // An icon the reader posted around a press: shown only while connected and
  // enabled, so a reader that was given up and finishes its press late
  // cannot make the tray look ready.
  void ShowReaderIcon(int iconId);

 private:
  // Ends the old reader; false when it is still busy in a press.
  bool StopOldReader();
  // True when a new reader runs on a newly opened receiver. When the old
  // reader does not end in time nothing is opened or started (it still uses
  // the handle) and the connection counts as lost: the poll connects again
  // once that reader has ended.
  bool Reconnect();
  // Reload and Enable once the receiver was found.
  void ConnectFound();

  IReceiver& receiver_;
  IConnectionView& view_;
  SharedFlags& flags_;
  const uint32_t stopWaitMs_;
  bool readerDue_ = false;  // found at start-up, reader not started yet
  // A reader was told to stop and had not ended: it is not waited for again,
  // each poll only looks whether it has ended.
  bool stopPending_ = false;
};

}  // namespace k7
