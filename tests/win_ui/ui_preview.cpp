// Shows one of the program's dialogs, or all its icons, until it is closed or
// killed, or for the given number of seconds: a look at the resources
// without the program, and something to take screenshots of.
//   ui-preview.exe 102 | 381 | icons [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/resource.h"

namespace {

constexpr UINT_PTR kQuitTimer = 1;
const int kIcons[] = {IDI_APP, IDI_READY, IDI_RECEIVING, IDI_OFF};

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) DestroyWindow(hwnd);
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

// Each icon at 16, 32 and 32 stretched four times, on a light and a dark band.
void PaintIcons(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  RECT dark = client;
  dark.top = client.bottom / 2;
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  HBRUSH darkBrush = CreateSolidBrush(RGB(40, 44, 52));
  FillRect(dc, &dark, darkBrush);
  DeleteObject(darkBrush);
  HINSTANCE self = GetModuleHandleA(nullptr);
  for (int band = 0; band < 2; ++band) {
    const int top = band * client.bottom / 2 + 16;
    for (int i = 0; i < 4; ++i) {
      const int left = 16 + i * 200;
      auto load = [&](int size) {
        return static_cast<HICON>(
            LoadImageA(self, MAKEINTRESOURCEA(kIcons[i]), IMAGE_ICON, size, size, 0));
      };
      HICON small = load(16), large = load(32);
      DrawIconEx(dc, left, top, small, 16, 16, 0, nullptr, DI_NORMAL);
      DrawIconEx(dc, left + 24, top, large, 32, 32, 0, nullptr, DI_NORMAL);
      DrawIconEx(dc, left + 64, top, large, 128, 128, 0, nullptr, DI_NORMAL);
      DestroyIcon(small);
      DestroyIcon(large);
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK IconWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      PaintIcons(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

HWND ShowIcons(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = IconWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
  wc.lpszClassName = "K7F3IconPreview";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Quorvan K7F3 icons", WS_OVERLAPPEDWINDOW, 20,
                              20, 832, 360, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  return hwnd;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int) {
  char what[32] = {};
  int seconds = 0;
  if (sscanf(args, "%31s %d", what, &seconds) < 1) {
    MessageBoxA(nullptr, "ui-preview.exe 102 | 381 | icons [seconds]", "ui-preview", MB_OK);
    return 2;
  }
  HWND hwnd = nullptr;
  if (strcmp(what, "icons") == 0) {
    hwnd = ShowIcons(instance);
  } else {
    hwnd = CreateDialogParamA(instance, MAKEINTRESOURCEA(atoi(what)), nullptr, DialogProc, 0);
    if (hwnd != nullptr) {
      // Away from the corner, unless the template centres itself.
      if (!(GetWindowLongA(hwnd, GWL_STYLE) & DS_CENTER)) {
        SetWindowPos(hwnd, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      }
      ShowWindow(hwnd, SW_SHOWNORMAL);
    }
  }
  if (hwnd == nullptr) return 1;
  if (seconds > 0) SetTimer(nullptr, kQuitTimer, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) break;
    if (!IsDialogMessageA(hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return 0;
}
