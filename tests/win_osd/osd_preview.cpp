// Shows the on-screen display over coloured bands: the caption again every
// 900 ms (so that it stays up) until the given number of seconds have passed.
// Captions separated by | take turns, to see that one leaves nothing behind.
//   osd-preview.exe [seconds] [caption[|caption...]]
// A screenshot of it, from the repository root (one line):
//   WINEPREFIX=... scripts/with-wine.sh bash -c 'wine
//   build/win32/tests/win_osd/osd-preview.exe 5 "Next chapter" & sleep 3;
//   scripts/screenshot.sh /tmp/osd.png --crop 768 0 256 128; wait'
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>

#include "backdrop.h"
#include "dispatch/dispatch.h"
#include "osd/osd_win32.h"
#include "res/resource.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR args, int) {
  int seconds = 5;
  int used = 0;
  if (sscanf(args, "%d %n", &seconds, &used) < 1) used = 0;
  const char* caption = args + used;
  if (*caption == '\0') caption = "Next chapter";
  // Quotes from the command line are not part of the caption.
  char text[k7::kOsdTextLen];
  size_t n = 0;
  for (const char* p = caption; *p != '\0' && n + 1 < sizeof text; ++p) {
    if (*p != '"') text[n++] = *p;
  }
  text[n] = '\0';

  // Stripes narrower than the window: the caption must cross their edges
  // without a box of its own.
  k7::osdtest::Backdrop backdrop(
      {RGB(0, 150, 0), RGB(30, 60, 200), RGB(240, 200, 40), RGB(255, 255, 255)}, 19);
  if (backdrop.Window() == nullptr || !k7::StartOsdThread()) return 1;
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  const char* next = text;
  while (GetTickCount64() < end) {
    const char* bar = strchr(next, '|');
    const size_t len = bar != nullptr ? static_cast<size_t>(bar - next) : strlen(next);
    k7::Caption caption;
    memcpy(caption.text, next, std::min(len, sizeof caption.text - 1));
    next = bar != nullptr ? bar + 1 : text;
    SendMessageA(k7::g_hOsdWnd, WM_OSD_SHOW, 0, reinterpret_cast<LPARAM>(caption.text));
    Sleep(900);
  }
  return k7::StopOsdThread() ? 0 : 1;
}
