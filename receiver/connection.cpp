#include "receiver/connection.h"

#include "receiver/report_route.h"

namespace k7 {

std::atomic<bool> g_bConnected{false};

void ReceiverConnection::Reconnect() {
  receiver_.StopReader();
  receiver_.OpenReceiver();
  // Before the reader starts: a reader that fails at once clears it again,
  // and that must not be overwritten.
  g_bConnected = true;
  receiver_.StartReader();
}

int ReceiverConnection::ConnectAtStartup() {
  if (receiver_.FindReceiver()) {
    receiver_.StopReader();
    receiver_.OpenReceiver();
    g_bConnected = true;
    g_bDisabled = false;
    readerDue_ = true;
    return IDI_READY;
  }
  view_.ShowReceiverMissing();
  g_bConnected = false;
  return IDI_OFF;
}

void ReceiverConnection::StartReaderAtStartup() {
  if (!readerDue_) return;
  readerDue_ = false;
  receiver_.StartReader();
}

void ReceiverConnection::Poll() {
  if (receiver_.FindReceiver()) {
    if (!g_bConnected && !g_bDisabled) {
      Reconnect();
      view_.SetTrayIcon(IDI_READY);
    }
    return;
  }
  view_.SetTrayIcon(IDI_OFF);
  g_bConnected = false;
}

void ReceiverConnection::ConnectFound() {
  Reconnect();
  view_.SetTrayIcon(IDI_READY);
  g_bDisabled = false;
}

void ReceiverConnection::Reload() {
  if (receiver_.FindReceiver()) {
    ConnectFound();
    return;
  }
  view_.ShowReceiverMissing();
  view_.SetTrayIcon(IDI_OFF);
  g_bConnected = false;
}

void ReceiverConnection::Enable() {
  if (receiver_.FindReceiver()) {
    ConnectFound();
    return;
  }
  view_.ShowReceiverMissing();
  Disable();
  g_bConnected = false;
}

void ReceiverConnection::Disable() {
  g_bDisabled = true;
  view_.SetTrayIcon(IDI_OFF);
}

void ReceiverConnection::Stop() {
  receiver_.StopReader();
}

}  // namespace k7
