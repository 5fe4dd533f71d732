#include "harness/remote_window.h"

#include <cstring>
#include <vector>

namespace k7::harness {
namespace {

struct FindRequest {
  DWORD pid;
  const char* title;
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lp) {
  auto* req = reinterpret_cast<FindRequest*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != req->pid || !IsWindowVisible(hwnd)) return TRUE;
  char text[256];
  if (req->title != nullptr) {
    GetWindowTextA(hwnd, text, sizeof text);
    if (std::strcmp(text, req->title) != 0) return TRUE;
  }
  if (req->className != nullptr) {
    GetClassNameA(hwnd, text, sizeof text);
    if (std::strcmp(text, req->className) != 0) return TRUE;
  }
  req->found = hwnd;
  return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD pid, const char* title, const char* className) {
  FindRequest req{pid, title, className, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&req));
  return req.found;
}

HWND WaitForProcessWindow(DWORD pid, const char* title, const char* className, DWORD timeoutMs) {
  HWND hwnd = nullptr;
  WaitUntil([&] { return (hwnd = FindProcessWindow(pid, title, className)) != nullptr; }, timeoutMs,
            10);
  return hwnd;
}

LRESULT SendTo(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs, bool* delivered) {
  DWORD_PTR result = 0;
  const LRESULT ok = SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, timeoutMs, &result);
  if (delivered != nullptr) *delivered = ok != 0;
  return static_cast<LRESULT>(result);
}

bool PostTo(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return PostMessageA(hwnd, msg, wp, lp) != FALSE;
}

std::optional<std::string> ReadWindowText(HWND hwnd) {
  bool ok = false;
  const LRESULT len = SendTo(hwnd, WM_GETTEXTLENGTH, 0, 0, kWaitMs, &ok);
  if (!ok || len < 0) return std::nullopt;
  std::vector<wchar_t> buffer(static_cast<size_t>(len) + 1, L'\0');
  const LRESULT got = SendTo(hwnd, WM_GETTEXT, buffer.size(),
                             reinterpret_cast<LPARAM>(buffer.data()), kWaitMs, &ok);
  if (!ok) return std::nullopt;
  return ToAnsi(buffer.data(), static_cast<int>(got));
}

std::optional<std::string> ReadComboItem(HWND combo, int index) {
  bool ok = false;
  const LRESULT len = SendTo(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, kWaitMs, &ok);
  if (!ok || len == CB_ERR) return std::nullopt;
  std::vector<wchar_t> buffer(static_cast<size_t>(len) + 1, L'\0');
  const LRESULT got = SendTo(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(buffer.data()), kWaitMs, &ok);
  if (!ok || got == CB_ERR) return std::nullopt;
  return ToAnsi(buffer.data(), static_cast<int>(got));
}

HWND FocusOfOwner(HWND hwnd) {
  GUITHREADINFO info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool WaitForForeground(HWND hwnd, DWORD timeoutMs) {
  // Held for a while, not just seen once: a late activation from the X
  // server can still move the foreground right after a switch.
  constexpr ULONGLONG kSettleMs = 100;
  ULONGLONG heldSince = 0;
  return WaitUntil(
      [&] {
        HWND focus = GetForegroundWindow() == hwnd ? FocusOfOwner(hwnd) : nullptr;
        if (focus == nullptr || (focus != hwnd && !IsChild(hwnd, focus))) {
          heldSince = 0;
          return false;
        }
        const ULONGLONG now = GetTickCount64();
        if (heldSince == 0) heldSince = now;
        return now - heldSince >= kSettleMs;
      },
      timeoutMs);
}

bool QueueXEventsOf(HWND hwnd, DWORD timeoutMs) {
  // DefWindowProc answers WM_KEYF1 with WM_HELP after reading the pointer
  // position, which under Wine asks the X server from the window's own
  // thread: once the answer is there, so are the events due to that
  // thread's earlier requests.
  constexpr UINT kWmKeyF1 = 0x004D;
  bool delivered = false;
  SendTo(hwnd, kWmKeyF1, 0, 0, timeoutMs, &delivered);
  return delivered;
}

bool SettleThreadOf(HWND control, UINT setMsg, UINT getMsg, WPARAM marker, DWORD timeoutMs) {
  if (!QueueXEventsOf(control, timeoutMs)) return false;
  bool ok = false;
  const LRESULT own = SendTo(control, getMsg, 0, 0, timeoutMs, &ok);
  if (!ok || own == static_cast<LRESULT>(marker)) return false;
  constexpr int kMessages = 200;
  for (int i = 0; i < kMessages; ++i) {
    if (!PostTo(control, WM_NULL)) return false;
  }
  if (!PostTo(control, setMsg, marker)) return false;
  const bool taken = WaitUntil(
      [&] { return SendTo(control, getMsg, 0, 0, timeoutMs) == static_cast<LRESULT>(marker); },
      timeoutMs);
  SendTo(control, setMsg, static_cast<WPARAM>(own), 0, timeoutMs, &ok);
  return taken && ok;
}

bool MakeForeground(HWND hwnd, DWORD timeoutMs) {
  SetForegroundWindow(hwnd);
  return WaitForForeground(hwnd, timeoutMs);
}

}  // namespace k7::harness
