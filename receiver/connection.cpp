#include "receiver/connection.h"

#include "res/resource.h"

namespace k7 {

bool ReceiverConnection::StopOldReader() {
  stopPending_ = !receiver_.StopReader(stopPending_ ? 0 : stopWaitMs_);
  return !stopPending_;
}

bool ReceiverConnection::Reconnect() {
  if (!StopOldReader()) {
    flags_.bConnected = false;
    return false;
  }
  receiver_.OpenReceiver();
  // Before the reader starts: a reader that fails at once clears it again,
  // and that must not be overwritten.
  flags_.bConnected = true;
  if (receiver_.StartReader()) return true;
  flags_.bConnected = false;
  return false;
}

int ReceiverConnection::ConnectAtStartup() {
  if (receiver_.FindReceiver()) {
    receiver_.OpenReceiver();  // no reader runs yet
    flags_.bConnected = true;
    flags_.bDisabled = false;
    readerDue_ = true;
    return IDI_READY;
  }
  view_.ShowReceiverMissing();
  flags_.bConnected = false;
  return IDI_OFF;
}

void ReceiverConnection::StartReaderAtStartup() {
  if (!readerDue_) return;
  readerDue_ = false;
  if (receiver_.StartReader()) return;
  // Without a reader the poll connects again.
  flags_.bConnected = false;
  view_.SetTrayIcon(IDI_OFF);
}

void ReceiverConnection::Poll() {
  if (receiver_.FindReceiver()) {
    if (!flags_.bConnected && !flags_.bDisabled) {
      view_.SetTrayIcon(Reconnect() ? IDI_READY : IDI_OFF);
    }
    return;
  }
  view_.SetTrayIcon(IDI_OFF);
  flags_.bConnected = false;
}

void ReceiverConnection::ConnectFound() {
  view_.SetTrayIcon(Reconnect() ? IDI_READY : IDI_OFF);
  flags_.bDisabled = false;
}

void ReceiverConnection::Reload() {
  if (receiver_.FindReceiver()) {
    ConnectFound();
    return;
  }
  view_.ShowReceiverMissing();
  view_.SetTrayIcon(IDI_OFF);
  flags_.bConnected = false;
}

void ReceiverConnection::Enable() {
  if (receiver_.FindReceiver()) {
    ConnectFound();
    return;
  }
  view_.ShowReceiverMissing();
  Disable();
  flags_.bConnected = false;
}

void ReceiverConnection::Disable() {
  flags_.bDisabled = true;
  view_.SetTrayIcon(IDI_OFF);
}

void ReceiverConnection::Stop() {
  StopOldReader();
}

void ReceiverConnection::ShowReaderIcon(int iconId) {
  view_.SetTrayIcon(flags_.bConnected && !flags_.bDisabled ? iconId : IDI_OFF);
}

}  // namespace k7
