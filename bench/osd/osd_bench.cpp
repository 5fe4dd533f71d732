// The reader's wait for one caption: from sending WM_OSD_SHOW to its return,
// over captions of different lengths, and the display's fonts over them.
//   osd-bench.exe [captions]      (default 1000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dispatch/dispatch.h"
#include "osd/osd_win32.h"
#include "res/resource.h"

namespace {

double Percentile(std::vector<double> sorted, double p) {
  if (sorted.empty()) return 0;
  const size_t i = static_cast<size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(i, sorted.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
  if (!k7::StartOsdThread()) {
    std::fprintf(stderr, "the display did not start\n");
    return 1;
  }
  // Let the modal run settle (its start-up show) before measuring.
  Sleep(300);
  const k7::OsdFontCounts before = k7::GetOsdFontCounts();

  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  std::vector<double> ms;
  ms.reserve(static_cast<size_t>(count));
  const char kLetters[] = "Next chapter Volume up Pause Play Mute Stop ";
  for (int i = 0; i < count; ++i) {
    // 1 to 64 characters, every length over and over.
    const size_t len = 1 + static_cast<size_t>(i) % 64;
    k7::Caption caption;
    for (size_t k = 0; k < len; ++k) caption.text[k] = kLetters[(i + k) % (sizeof kLetters - 1)];
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    SendMessageA(k7::g_hOsdWnd, WM_OSD_SHOW, 0, reinterpret_cast<LPARAM>(caption.text));
    QueryPerformanceCounter(&t1);
    ms.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1000.0 /
                 static_cast<double>(freq.QuadPart));
  }
  const k7::OsdFontCounts after = k7::GetOsdFontCounts();

  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  std::printf("captions: %d\n", count);
  std::printf("WM_OSD_SHOW round trip: median %.2f ms, p99 %.2f ms, min %.2f ms, max %.2f ms\n",
              Percentile(sorted, 0.5), Percentile(sorted, 0.99), sorted.front(), sorted.back());
  std::printf("fonts over the run: created %ld, deleted %ld (one stays in use)\n",
              after.created - before.created, after.deleted - before.deleted);
  const long live = after.created - after.deleted;

  // Closing the display releases the font in use as well.
  const bool stopped = k7::StopOsdThread();
  const k7::OsdFontCounts closed = k7::GetOsdFontCounts();
  std::printf("after closing the display: created %ld, deleted %ld\n", closed.created,
              closed.deleted);
  return stopped && live == 1 && closed.created == closed.deleted ? 0 : 2;
}
