// When the receiver is connected, reconnected or given up, and what the user
// sees of it: the connection paths of start-up, the one-second poll and the
// tray's Reload, Enable and Disable.
#pragma once

#include "base/shared_flags.h"

namespace k7 {

// The receiver and its reader thread, as the connection paths use them.
class IReceiver {
 public:
  virtual ~IReceiver() = default;
  // True when the receiver is present; keeps what opening it needs.
  virtual bool FindReceiver() = 0;
  // Opens what FindReceiver kept (closing a previous handle).
  virtual void OpenReceiver() = 0;
  // Starts a reader thread on the open receiver; a previous one has ended.
  virtual void StartReader() = 0;
  // Ends the running reader, if any, and returns once it has ended.
  virtual void StopReader() = 0;
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
  ReceiverConnection(IReceiver& receiver, IConnectionView& view, SharedFlags& flags)
      : receiver_(receiver), view_(view), flags_(flags) {}

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

 private:
  void Reconnect();
  // Reload and Enable once the receiver was found.
  void ConnectFound();

  IReceiver& receiver_;
  IConnectionView& view_;
  SharedFlags& flags_;
  bool readerDue_ = false;  // found at start-up, reader not started yet
};

}  // namespace k7
