// Shows one of the program's dialogs, or all its icons, until it is closed or
// killed, or for the given number of seconds: a look at the resources
// without the program, and something to take screenshots of.
//   ui-preview.exe 102 | 381 | 129 | 129-lit | 130 | 133 | 134 | icons [seconds]
// The hotkey editor (129) gets its 34 remote buttons over the picture, as
// owner-drawn buttons showing their bitmaps: at rest, or greyed where no code
// of the remote reaches them; 129-lit shows the reachable ones pressed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "res/resource.h"
#include "ui/editor_layout.h"

namespace {

constexpr UINT_PTR kQuitTimer = 1;
const int kIcons[] = {IDI_APP, IDI_READY, IDI_RECEIVING, IDI_OFF};

bool g_lit = false;

// A remote button's image for its state, as the editor's buttons choose it.
void DrawRemoteButton(const DRAWITEMSTRUCT& item) {
  const int n = static_cast<int>(item.CtlID) - IDC_REMOTE_FIRST;
  int base = IDB_BUTTON_NORMAL;
  if (item.itemState & ODS_DISABLED) {
    base = IDB_BUTTON_DISABLED;
  } else if (g_lit || (item.itemState & ODS_SELECTED)) {
    base = IDB_BUTTON_PRESSED;
  }
  HBITMAP bmp = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(base + n), IMAGE_BITMAP, 0, 0, 0));
  HDC mem = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
         item.rcItem.bottom - item.rcItem.top, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
}

// The buttons go above the picture (a new child is placed below its elder
// siblings, and the picture would hide them).
void AddRemoteButtons(HWND dialog) {
  for (int n = 0; n < k7::kEditorButtonCount; ++n) {
    const k7::ButtonRect& r = k7::kEditorButtonRects[n];
    HWND button =
        CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, dialog,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_REMOTE_FIRST + n)),
                        GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  for (int n : k7::kDisabledSlots) EnableWindow(GetDlgItem(dialog, IDC_REMOTE_FIRST + n), FALSE);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (item.CtlID < IDC_REMOTE_FIRST) return FALSE;
      DrawRemoteButton(item);
      return TRUE;
    }
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

// Each icon at each of its sizes, on a light and a dark band.
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
      int left = 16 + i * 200;
      for (int size : {16, 20, 24, 32, 48}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(self, MAKEINTRESOURCEA(kIcons[i]), IMAGE_ICON, size, size, 0));
        DrawIconEx(dc, left, top, icon, size, size, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
        left += size + 8;
      }
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
    MessageBoxA(nullptr,
                "ui-preview.exe 102 | 381 | 129 | 129-lit | 130 | 133 | 134 | icons [seconds]",
                "ui-preview", MB_OK);
    return 2;
  }
  HWND hwnd = nullptr;
  if (strcmp(what, "icons") == 0) {
    hwnd = ShowIcons(instance);
  } else {
    // The editor's hotkey control is a common control.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&icc);
    const int id = atoi(what);
    g_lit = strstr(what, "-lit") != nullptr;
    hwnd = CreateDialogParamA(instance, MAKEINTRESOURCEA(id), nullptr, DialogProc, 0);
    if (hwnd != nullptr) {
      if (id == IDD_EDITOR) AddRemoteButtons(hwnd);
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
