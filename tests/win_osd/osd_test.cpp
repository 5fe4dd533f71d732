// The on-screen display under Wine, with this process playing the reader:
// it sends WM_OSD_SHOW with a caption and watches the window from the
// outside. Meant to run one test per process, as ctest does: each test then
// starts the display thread itself, as the program does at start-up.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "backdrop.h"
#include "dispatch/dispatch.h"
#include "harness/harness.h"
#include "osd/osd_win32.h"
#include "res/resource.h"

namespace k7::osdtest {
namespace {

using harness::WaitUntil;

struct Box {
  LONG left, top, right, bottom;
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

Box ScreenBox(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

double NowMs() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return harness::QpcMs(0, t.QuadPart);
}

HWND Text() {
  return GetDlgItem(g_hOsdWnd, IDC_OSD_TEXT);
}

std::string TextOf(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

LOGFONTA FontOf(HWND hwnd) {
  LOGFONTA lf = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

// Active and focus windows of the thread that owns hwnd (all null when the
// call fails).
GUITHREADINFO GuiOf(HWND hwnd) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) info.cbSize = 0;
  return info;
}

long LiveFonts() {
  const OsdFontCounts c = GetOsdFontCounts();
  return c.created - c.deleted;
}

// What the reader does for one caption.
LRESULT ShowCaption(const char* text) {
  Caption caption;
  strncpy(caption.text, text, kOsdTextLen - 1);
  return SendMessageA(g_hOsdWnd, WM_OSD_SHOW, 0, reinterpret_cast<LPARAM>(caption.text));
}

// Ends the display's modal run and waits until its window is gone.
bool CloseOsd() {
  HWND hwnd = g_hOsdWnd;
  if (hwnd == nullptr) return true;
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  return WaitUntil([&] { return !IsWindow(hwnd); });
}

// Milliseconds from `from` until the display is hidden; negative on timeout.
// Take `from` before the caption is asked for: a late reading can then only
// make the time longer. How long exactly: the timing benchmark.
double HiddenAfter(double from, DWORD timeoutMs = harness::kWaitMs) {
  if (!WaitUntil([] { return !IsWindowVisible(g_hOsdWnd); }, timeoutMs, 2)) return -1;
  return NowMs() - from;
}

class Osd : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::ReleaseModifiers();
    // The figures below are for the pinned virtual screen.
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  }
  void TearDown() override {
    harness::ReleaseModifiers();
    // Ended before the process is: under Wine a thread cut off by the exit
    // while it paints can keep the process from ending at all.
    EXPECT_TRUE(StopOsdThread());
  }

  static void Start() {
    ASSERT_TRUE(StartOsdThread());
    ASSERT_TRUE(IsWindow(g_hOsdWnd));
  }
};

TEST_F(Osd, StartsLaidOutHiddenAndStaysHidden) {
  ASSERT_TRUE(CloseOsd());
  // Gone with its window: a caption before the window exists is lost.
  ASSERT_EQ(g_hOsdWnd, nullptr);
  EXPECT_EQ(ShowCaption("Lost"), 0);

  Start();
  HWND osd = g_hOsdWnd;
  DWORD osdThread = GetWindowThreadProcessId(osd, nullptr);
  EXPECT_NE(osdThread, GetCurrentThreadId());
  EXPECT_EQ(ScreenBox(osd), (Box{819, 0, 1023, 76}));

  const DWORD style = static_cast<DWORD>(GetWindowLongA(osd, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(osd, GWL_EXSTYLE));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME));
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);

  // The text control: empty, visible, left-aligned, at 7,7 by 126 x 32
  // dialog units, as far as they lie inside the window.
  HWND text = Text();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(TextOf(text), "");
  const DWORD textStyle = static_cast<DWORD>(GetWindowLongA(text, GWL_STYLE));
  EXPECT_TRUE(textStyle & WS_VISIBLE);
  EXPECT_EQ(textStyle & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
  RECT units = {7, 7, 126, 32};
  MapDialogRect(osd, &units);
  Box expected = {819 + units.left, units.top, std::min(819 + units.left + units.right, 1023L),
                  std::min(units.top + units.bottom, 76L)};
  EXPECT_EQ(ScreenBox(text), expected);

  // The modal run's own show at start-up never reaches the screen.
  const bool shown = WaitUntil([&] { return IsWindowVisible(osd) != FALSE; }, 800, 1);
  EXPECT_FALSE(shown) << "the display showed itself at start-up";
  const GUITHREADINFO info = GuiOf(osd);
  ASSERT_NE(info.cbSize, 0u);
  EXPECT_EQ(info.hwndActive, nullptr);
  EXPECT_EQ(info.hwndFocus, nullptr);

  // Started once: a second start finds the same window.
  ASSERT_TRUE(StartOsdThread());
  EXPECT_EQ(g_hOsdWnd, osd);
}

TEST_F(Osd, CaptionShowsTopmostInTheCornerAndHidesAboutASecondLater) {
  Start();
  const double shownAt = NowMs();
  EXPECT_EQ(ShowCaption("Next chp"), 0);
  HWND osd = g_hOsdWnd;
  EXPECT_TRUE(IsWindowVisible(osd));
  EXPECT_TRUE(GetWindowLongA(osd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(ScreenBox(osd), (Box{819, 0, 1023, 76}));
  EXPECT_EQ(TextOf(Text()), "Next chp");

  // 8 characters on a 76-pixel window: 76 * (0.6 - 0.12) = 36.48.
  const LOGFONTA lf = FontOf(Text());
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfHeight, 36);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);

  EXPECT_GE(HiddenAfter(shownAt), 750);
  // Hidden, not gone: the next caption reuses it, laid out anew.
  ASSERT_TRUE(IsWindow(osd));
  SetWindowPos(osd, nullptr, 10, 300, 50, 20, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(ShowCaption("Stop"), 0);
  EXPECT_EQ(ScreenBox(osd), (Box{819, 0, 1023, 76}));
}

TEST_F(Osd, SecondCaptionReplacesTheFirstAtOnceAndPostponesTheHide) {
  Start();
  ASSERT_EQ(ShowCaption("Play"), 0);
  Sleep(300);
  ASSERT_TRUE(IsWindowVisible(g_hOsdWnd));
  const double secondAt = NowMs();
  ASSERT_EQ(ShowCaption("Volume up twenty chars"), 0);
  EXPECT_EQ(TextOf(Text()), "Volume up twenty chars");
  EXPECT_TRUE(IsWindowVisible(g_hOsdWnd));
  // 22 characters: 76 * (0.6 - 0.33) = 20.52.
  EXPECT_EQ(FontOf(Text()).lfHeight, 20);

  // The first caption's hide would come 700 ms after the second.
  EXPECT_GE(HiddenAfter(secondAt), 750);
}

// Long captions, which used to get heights of a few pixels or negative ones,
// are drawn at 12 pixels, whole or cut with an ellipsis, and all of the text
// inside the text control.
TEST_F(Osd, LongCaptionsAreWholeOrCutAndFitTheirControl) {
  Start();
  std::string words;
  while (words.size() < 254) words += "Skip forward 30 seconds and show the time. ";
  // 255 bytes without a terminator anywhere: the buffer's end ends it.
  char full[kOsdTextLen];
  memset(full, 'W', sizeof full);
  const struct {
    const char* raw;  // sent as it is instead of whole
    std::string whole;
    bool cut;
  } cases[] = {
      {nullptr, "Skip forward 30 seconds, then!", false},  // 11 pixels before
      {nullptr, "Skip forward 30 seconds and show the time left of the title now.", false},
      {nullptr, words.substr(0, 254), true},
      {full, std::string(255, 'W'), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.whole.substr(0, 20));
    const char* sent = c.raw != nullptr ? c.raw : c.whole.c_str();
    ASSERT_EQ(SendMessageA(g_hOsdWnd, WM_OSD_SHOW, 0, reinterpret_cast<LPARAM>(sent)), 0);
    const std::string shown = TextOf(Text());
    const std::string kept = c.cut && shown.size() >= 3 ? shown.substr(0, shown.size() - 3) : shown;
    EXPECT_EQ(shown, c.cut ? kept + "..." : c.whole);
    EXPECT_EQ(c.whole.substr(0, kept.size()), kept);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Text(), WM_GETFONT, 0, 0));
    EXPECT_EQ(FontOf(Text()).lfHeight, 12);

    // Measured as the control draws it: inside its client area.
    RECT client = {};
    GetClientRect(Text(), &client);
    RECT drawn = client;
    HDC dc = GetDC(Text());
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextA(dc, shown.c_str(), -1, &drawn, DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(Text(), dc);
    EXPECT_LE(drawn.right, client.right);
    EXPECT_LE(drawn.bottom, client.bottom);
  }
}

TEST_F(Osd, ForegroundApplicationKeepsTheKeyboardThroughout) {
  harness::ScratchDir dir("OsdForeground");
  harness::TargetApp target(dir, "WinDVD.exe");
  ASSERT_TRUE(target.RequestForeground());

  // Anything but the target in front, however briefly, is a fault.
  std::atomic<bool> sampling{true};
  std::atomic<int> samples{0};
  std::atomic<HWND> intruder{nullptr};
  std::thread sampler([&] {
    while (sampling) {
      HWND fg = GetForegroundWindow();
      if (fg != target.Window() && intruder == nullptr) intruder = fg;
      ++samples;
      Sleep(1);
    }
  });
  struct Join {
    std::atomic<bool>& flag;
    std::thread& thread;
    ~Join() {
      flag = false;
      if (thread.joinable()) thread.join();
    }
  } join{sampling, sampler};

  // Start-up first: the modal run's own show must not take the foreground.
  Start();
  Sleep(500);

  const BYTE keys[] = {'A', 'B', 'C', 'D', 'E', 'F'};
  for (size_t i = 0; i < sizeof keys; ++i) {
    ASSERT_EQ(ShowCaption(i % 2 ? "Next chapter" : "Pause"), 0);
    harness::TapKey(keys[i]);
    ASSERT_TRUE(target.WaitForKeyLog(2 * (i + 1))) << "key " << keys[i] << " did not arrive";
    Sleep(i == 2 ? 1300 : 150);  // once past the hide, too
  }
  sampling = false;
  sampler.join();
  EXPECT_GT(samples.load(), 100);
  EXPECT_EQ(intruder.load(), nullptr) << "the foreground went to another window";
  std::vector<harness::TargetLogEntry> expected;
  for (BYTE vk : keys) {
    expected.push_back({WM_KEYDOWN, vk});
    expected.push_back({WM_KEYUP, vk});
  }
  EXPECT_EQ(target.KeyLog(), expected);
  EXPECT_EQ(GetForegroundWindow(), target.Window());
  EXPECT_EQ(harness::FocusOfOwner(target.Window()), target.Window());

  const GUITHREADINFO info = GuiOf(g_hOsdWnd);
  ASSERT_NE(info.cbSize, 0u);
  EXPECT_EQ(info.hwndActive, nullptr);
  EXPECT_EQ(info.hwndFocus, nullptr);
}

TEST_F(Osd, FontsStayBalancedOverManyCaptions) {
  ASSERT_TRUE(CloseOsd());
  ASSERT_EQ(LiveFonts(), 0);
  Start();
  const OsdFontCounts before = GetOsdFontCounts();

  HFONT previous = nullptr;
  for (int i = 0; i < 200; ++i) {
    const std::string caption(static_cast<size_t>(1 + (i * 7) % 60),
                              static_cast<char>('a' + i % 26));
    ASSERT_EQ(ShowCaption(caption.c_str()), 0);
    ASSERT_EQ(LiveFonts(), 1) << "after caption " << i;
    // The text control uses a live font, and the one before it is gone.
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(Text(), WM_GETFONT, 0, 0));
    ASSERT_EQ(GetObjectType(current), static_cast<DWORD>(OBJ_FONT)) << "after caption " << i;
    if (previous != nullptr) {
      ASSERT_NE(current, previous);
      ASSERT_EQ(GetObjectType(previous), 0u) << "font of caption " << i - 1 << " leaked";
    }
    previous = current;
  }
  const OsdFontCounts after = GetOsdFontCounts();
  EXPECT_EQ(after.created - before.created, 200);
  EXPECT_EQ(after.deleted - before.deleted, 199);

  ASSERT_TRUE(CloseOsd());
  EXPECT_EQ(LiveFonts(), 0);
  EXPECT_EQ(GetObjectType(previous), 0u);
}

// Keys posted into the display's modal loop, then a caption as a marker:
// once it shows, the keys before it have been through the loop.
void PostKeysThenCaption(HWND dialog) {
  const WPARAM keys[] = {VK_RETURN, VK_ESCAPE, VK_SPACE};
  HWND text = GetDlgItem(dialog, IDC_OSD_TEXT);
  for (WPARAM vk : keys) {
    for (HWND target : {dialog, text}) {
      PostMessageA(target, WM_KEYDOWN, vk, 1);
      PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    }
  }
  static const char kMarkerCaption[] = "marker";  // posted: must outlive the call
  PostMessageA(dialog, WM_OSD_SHOW, 0, reinterpret_cast<LPARAM>(kMarkerCaption));
}

TEST_F(Osd, EnterEscapeAndSpaceDoNotCloseIt) {
  Start();
  HWND osd = g_hOsdWnd;
  PostKeysThenCaption(osd);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(osd) != FALSE; }));
  EXPECT_EQ(TextOf(Text()), "marker");
  EXPECT_TRUE(IsWindow(osd));
  EXPECT_EQ(g_hOsdWnd, osd);
}

// The same keys end a plain dialog of the same template: they do reach the
// dialog manager, which is what the display's filter prevents.
class PlainOsdTemplate : public ui::CDialog {
 public:
  std::atomic<HWND> window{nullptr};

 protected:
  BOOL OnInitDialog() override {
    window = Hwnd();
    return TRUE;
  }
};

TEST_F(Osd, WithoutTheKeyFilterEscapeOrEnterWouldEndIt) {
  for (WPARAM vk : {VK_ESCAPE, VK_RETURN}) {
    PlainOsdTemplate plain;
    std::atomic<INT_PTR> result{-2};
    std::thread run([&] { result = plain.DoModal(GetModuleHandleA(nullptr), IDD_OSD, nullptr); });
    ASSERT_TRUE(WaitUntil([&] { return plain.window != nullptr; }));
    PostMessageA(GetDlgItem(plain.window, IDC_OSD_TEXT), WM_KEYDOWN, vk, 1);
    const bool ended = WaitUntil([&] { return result != -2; });
    if (!ended) PostMessageA(plain.window, WM_COMMAND, IDCANCEL, 0);
    run.join();
    EXPECT_TRUE(ended) << "vk " << vk;
    EXPECT_EQ(result, vk == VK_ESCAPE ? IDCANCEL : IDOK);
  }
}

// The screen under the display, read back: the caption's pixels are red
// (dark red at their smoothed edges) and every other pixel is the
// backdrop's, with no box around the text.
TEST_F(Osd, CaptionIsRedWithNoBoxAroundIt) {
  const COLORREF kGreen = RGB(0, 160, 0);
  Backdrop backdrop({kGreen});
  ASSERT_NE(backdrop.Window(), nullptr);
  Start();
  Sleep(300);
  ASSERT_EQ(ShowCaption("Next chp"), 0);
  Sleep(300);
  ASSERT_TRUE(IsWindowVisible(g_hOsdWnd));

  const int w = 204, h = 76;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  HGDIOBJ old = SelectObject(mem, dib);
  ASSERT_TRUE(BitBlt(mem, 0, 0, w, h, screen, 819, 0, SRCCOPY));
  GdiFlush();

  int backdropPixels = 0, redPixels = 0, strayPixels = 0;
  COLORREF firstStray = 0;
  const auto* px = static_cast<const DWORD*>(bits);
  for (int i = 0; i < w * h; ++i) {
    const int b = px[i] & 0xFF, g = (px[i] >> 8) & 0xFF, r = (px[i] >> 16) & 0xFF;
    if (RGB(r, g, b) == kGreen) {
      ++backdropPixels;
    } else if (r > g && b < 64) {
      if (r >= 200 && g < 64) ++redPixels;  // ink; the rest are its edges
    } else {
      if (strayPixels++ == 0) firstStray = RGB(r, g, b);
    }
  }
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);

  EXPECT_GT(redPixels, 40);
  EXPECT_GT(backdropPixels, w * h / 2);
  EXPECT_EQ(strayPixels, 0) << "first stray colour 0x" << std::hex << firstStray;
}

}  // namespace
}  // namespace k7::osdtest
