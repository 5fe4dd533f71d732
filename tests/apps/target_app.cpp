// A window for the tests to aim input at: logs what it receives; its title is
// its own executable name (see harness/target_protocol.h).
#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <cstring>

#include "harness/target_protocol.h"

namespace {

using k7::harness::kTargetMessages;
using k7::harness::TargetMessageName;

char g_logPath[MAX_PATH];
UINT g_foregroundMessage;

void AppendLine(const char* line) {
  // Opened and closed per line, so the harness always reads what happened.
  HANDLE file = CreateFileA(g_logPath, FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  CloseHandle(file);
}

const TargetMessageName* Logged(UINT msg) {
  for (const TargetMessageName& m : kTargetMessages) {
    if (m.message == msg) return &m;
  }
  return nullptr;
}

void ComeForward(HWND hwnd) {
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  // Under Wine the X focus arrives as events this thread would handle only
  // when idle, and with them Wine lets go of any injected key still held:
  // take them in before answering. Reading the pointer asks the X server
  // from this thread, so the events are queued once it returns; a wait with
  // no time handles them.
  POINT pointer;
  GetCursorPos(&pointer);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != 0 && msg == g_foregroundMessage) {
    ComeForward(hwnd);
    return 0;
  }
  if (const TargetMessageName* m = Logged(msg)) {
    char line[64];
    if (m->mouse) {
      std::snprintf(line, sizeof line, "%s %d %d\r\n", m->name, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    } else {
      std::snprintf(line, sizeof line, "%s %02X\r\n", m->name, static_cast<unsigned>(wp & 0xFF));
    }
    AppendLine(line);
    // Alt alone would open the system menu, whose modal loop would swallow
    // the keys that follow.
    if (msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  char module[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
  if (n == 0 || n >= sizeof module) return 1;
  char* name = std::strrchr(module, '\\');
  name = name != nullptr ? name + 1 : module;
  char title[MAX_PATH];
  lstrcpynA(title, name, sizeof title);
  // "<dir>\<name without extension>.log"
  lstrcpynA(g_logPath, module, sizeof g_logPath);
  char* base = g_logPath + (name - module);
  char* dot = std::strrchr(base, '.');
  if (dot != nullptr) *dot = '\0';
  if (std::strlen(g_logPath) + 5 > sizeof g_logPath) return 1;
  std::strcat(g_logPath, ".log");

  g_foregroundMessage = RegisterWindowMessageA(k7::harness::kTargetForegroundMessage);

  WNDCLASSA wc;
  ZeroMemory(&wc, sizeof wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = k7::harness::kTargetWindowClass;
  if (!RegisterClassA(&wc)) return 1;

  HWND hwnd = CreateWindowExA(0, k7::harness::kTargetWindowClass, title, WS_OVERLAPPEDWINDOW, 120,
                              120, 480, 320, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;
  HWND combo = CreateWindowExA(
      0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 200, 120, hwnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(k7::harness::kTargetComboId)), instance,
      nullptr);
  for (const char* item : k7::harness::kTargetComboItems) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  ComeForward(hwnd);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
