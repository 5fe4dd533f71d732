#include "receiver/connection.h"

#include "res/resource.h"

namespace k7 {

void ReceiverConnection::Reconnect() {
  receiver_.StopReader();
  receiver_.OpenReceiver();
  // Before the reader starts: a reader that fails at once clears it again,
  // and that must not be overwritten.
  flags_.bConnected = true;
  receiver_.StartReader();
}

int ReceiverConnection::ConnectAtStartup() {
  if (receiver_.FindReceiver()) {
    receiver_.StopReader();
    receiver_.OpenReceiver();
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
  receiver_.StartReader();
}

void ReceiverConnection::Poll() {
  if (receiver_.FindReceiver()) {
    if (!flags_.bConnected && !flags_.bDisabled) {
      Reconnect();
      view_.SetTrayIcon(IDI_READY);
    }
    return;
  }
  view_.SetTrayIcon(IDI_OFF);
  flags_.bConnected = false;
}

void ReceiverConnection::ConnectFound() {
  Reconnect();
  view_.SetTrayIcon(IDI_READY);
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
  receiver_.StopReader();
}

}  // namespace k7
