// The caption the running program shows after a press, seen from the
// outside: where and how long it shows, which presses show none, and the
// display switch of the settings window. The caption window is watched by a
// thread of this process that polls it every few milliseconds.
#include <windows.h>

#include "res/resource.h"
#include "settings_test.h"

namespace k7::settingstest {
namespace {

using harness::CaptionWatch;
using harness::NowMs;
using harness::TargetLogEntry;
using Log = std::vector<TargetLogEntry>;

constexpr unsigned kCodeNext = 0x02;  // slot 28 in WinDVD: "1-PGDOWN", "Next"
constexpr unsigned kCodeMouseToggle = 0x47;
// Pointer buttons: in WinDVD, outside mouse mode, the slots of "Chapter"
// (0-C), "Mute On/Off" (0-M), "Enter" (0-ENTER), "Screen" (0-Z), "Esc" (ESC).
constexpr unsigned kPointerCodes[] = {0x40, 0x42, 0x45, 0x48, 0x4A};
const Log kPointerHotkeys = {
    {WM_KEYDOWN, 'C'},       {WM_KEYUP, 'C'},       {WM_KEYDOWN, 'M'}, {WM_KEYUP, 'M'},
    {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, 'Z'}, {WM_KEYUP, 'Z'},
    {WM_KEYDOWN, VK_ESCAPE}, {WM_KEYUP, VK_ESCAPE},
};

// A caption asked for would be up well within this, and stay for a second.
constexpr DWORD kQuietMs = 300;

struct Box {
  LONG left, top, right, bottom;
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

std::string Describe(const std::vector<CaptionWatch::Sample>& samples) {
  std::string out;
  for (const CaptionWatch::Sample& s : samples) {
    out += "\n  " + std::to_string(static_cast<long long>(s.ms)) +
           " ms: " + (s.visible ? "shown \"" + s.text + "\"" : std::string("hidden"));
  }
  return out.empty() ? std::string(" none") : out;
}

class CaptionTest : public SettingsTest {
 protected:
  // The program running, its caption window found and watched, WinDVD in
  // front.
  void StartWatched() {
    StartProgram();
    caption_ = harness::WaitForCaptionWindow(program_->Id());
    ASSERT_NE(caption_, nullptr) << "the program has no caption window";
    EXPECT_FALSE(IsWindowVisible(caption_)) << "the caption window shows before any press";
    watch_ = std::make_unique<CaptionWatch>(caption_);
    Front("WinDVD.exe");
  }

  // Presses a code with a caption and returns when it showed; *pressed (when
  // given) is a time before the press. How soon and for how long exactly:
  // the timing benchmark.
  std::optional<CaptionWatch::Sample> PressAndWaitShown(unsigned code, const std::string& text,
                                                        double* pressed = nullptr) {
    const double before = NowMs();
    if (pressed != nullptr) *pressed = before;
    Press(code);
    return watch_->WaitShown(text, before);
  }

  // Program-injected mouse events so far.
  size_t ProgramMice() {
    size_t n = 0;
    for (const harness::HookEvent& e : recorder_->Mice()) {
      n += e.Injected() && e.extraInfo != harness::kHarnessExtraInfo;
    }
    return n;
  }

  void TearDown() override {
    if (watch_) watch_->Stop();
    SettingsTest::TearDown();
  }

  HWND caption_ = nullptr;
  std::unique_ptr<CaptionWatch> watch_;
};

TEST_F(CaptionTest, ShowsTopRightOverTheApplicationWhichKeepsTheFocusThenHides) {
  StartWatched();
  harness::TargetApp& player = *target_;
  double pressed = 0;
  const auto shown = PressAndWaitShown(kCodeNext, "Next", &pressed);
  ASSERT_TRUE(shown) << "no caption; the window went:" << Describe(watch_->Changes());
  // The application in front keeps the keyboard: a key typed while the
  // caption shows reaches it.
  EXPECT_EQ(GetForegroundWindow(), player.Window());
  EXPECT_TRUE(IsWindowVisible(caption_)) << "hidden already when the key was typed";
  harness::TapKey('K');

  RECT r = {};
  GetWindowRect(caption_, &r);
  EXPECT_EQ((Box{r.left, r.top, r.right, r.bottom}), (Box{819, 0, 819 + 204, 76}));
  const LONG style = GetWindowLongA(caption_, GWL_STYLE);
  EXPECT_NE(style & WS_POPUP, 0) << "not a popup";
  EXPECT_NE(style & WS_CAPTION, WS_CAPTION) << "has a title bar";
  EXPECT_NE(GetWindowLongA(caption_, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "not topmost";

  ASSERT_TRUE(player.WaitForKeyLog(4));
  EXPECT_EQ(player.KeyLog(),
            (Log{{WM_KEYDOWN, VK_NEXT}, {WM_KEYUP, VK_NEXT}, {WM_KEYDOWN, 'K'}, {WM_KEYUP, 'K'}}));

  const auto hidden = watch_->WaitHidden(shown->ms);
  ASSERT_TRUE(hidden) << "never hid:" << Describe(watch_->Changes());
  EXPECT_GE(hidden->ms - pressed, 750);
}

TEST_F(CaptionTest, SecondPressReplacesTheCaptionAtOnceAndTheHideFollowsIt) {
  StartWatched();
  const auto first = PressAndWaitShown(kCodeNext, "Next");
  ASSERT_TRUE(first) << "no caption; the window went:" << Describe(watch_->Changes());
  const double wait = first->ms + 300 - NowMs();
  if (wait > 0) Sleep(static_cast<DWORD>(wait));

  const double pressed = NowMs();
  Press(kCodeMouseToggle);
  const auto second = watch_->WaitShown("Mouse On", pressed);
  ASSERT_TRUE(second) << "not replaced; the window went:" << Describe(watch_->Changes());

  // Timed from the second press: the first caption's hide would come about
  // 700 ms after it.
  const auto hidden = watch_->WaitHidden(second->ms);
  ASSERT_TRUE(hidden) << "never hid:" << Describe(watch_->Changes());
  EXPECT_GE(hidden->ms - pressed, 750) << Describe(watch_->Changes());
  for (const CaptionWatch::Sample& s : watch_->ShownSince(second->ms)) {
    EXPECT_EQ(s.text, "Mouse On") << "the first caption came back";
  }
}

TEST_F(CaptionTest, PointerButtonsSendTheirHotkeysWithoutACaption) {
  StartWatched();
  harness::TargetApp& player = *target_;
  const double start = NowMs();
  for (unsigned code : kPointerCodes) Press(code);
  ASSERT_TRUE(player.WaitForKeyLog(kPointerHotkeys.size()));
  EXPECT_EQ(player.KeyLog(), kPointerHotkeys);
  Sleep(kQuietMs);
  EXPECT_TRUE(watch_->ShownSince(start).empty())
      << "a pointer button showed a caption:" << Describe(watch_->Changes());

  // The display itself works.
  EXPECT_TRUE(PressAndWaitShown(kCodeNext, "Next")) << Describe(watch_->Changes());
}

TEST_F(CaptionTest, PointerButtonsInMouseModeShowNoCaption) {
  StartWatched();
  harness::TargetApp& player = *target_;
  // Over the target window, so that the click lands there.
  SetCursorPos(300, 300);
  const auto on = PressAndWaitShown(kCodeMouseToggle, "Mouse On");
  ASSERT_TRUE(on) << Describe(watch_->Changes());
  ASSERT_TRUE(watch_->WaitHidden(on->ms)) << Describe(watch_->Changes());

  const double start = NowMs();
  const size_t miceBefore = ProgramMice();
  for (unsigned code : kPointerCodes) Press(code);
  // Four moves and a click (down, up).
  ASSERT_TRUE(harness::WaitUntil([&] { return ProgramMice() >= miceBefore + 6; }))
      << "the pointer buttons did not act";
  Sleep(kQuietMs);
  EXPECT_TRUE(watch_->ShownSince(start).empty())
      << "a pointer button showed a caption:" << Describe(watch_->Changes());
  EXPECT_EQ(player.KeyLog(), Log{}) << "hotkeys sent in mouse mode";

  EXPECT_TRUE(PressAndWaitShown(kCodeMouseToggle, "Mouse Off")) << Describe(watch_->Changes());
}

TEST_F(CaptionTest, SwitchedOffInTheSettingsShowsNoCaptionUntilSwitchedOnAgain) {
  StartWatched();
  harness::TargetApp& player = *target_;
  OpenSettings();
  ASSERT_TRUE(settings_->Checked(IDC_OSD));
  settings_->ClickCheckBox(IDC_OSD, false);
  EXPECT_EQ(Value("QVCtrl.ini", "Default", "OSD"), "0") << "not written at once";
  settings_->ClickButton(IDOK);
  ASSERT_TRUE(settings_->WaitVisible(false));

  Front("WinDVD.exe");
  const double start = NowMs();
  Press(kCodeNext);
  ASSERT_TRUE(player.WaitForKeyLog(2)) << "the press did nothing";
  Sleep(kQuietMs);
  EXPECT_TRUE(watch_->ShownSince(start).empty())
      << "a caption with the display off:" << Describe(watch_->Changes());

  OpenSettings();
  EXPECT_FALSE(settings_->Checked(IDC_OSD));
  settings_->ClickCheckBox(IDC_OSD, true);
  EXPECT_EQ(Value("QVCtrl.ini", "Default", "OSD"), "1") << "not written at once";
  settings_->ClickButton(IDOK);
  Front("WinDVD.exe");
  EXPECT_TRUE(PressAndWaitShown(kCodeNext, "Next"))
      << "no caption once switched on again:" << Describe(watch_->Changes());
}

TEST_F(CaptionTest, SwitchedOffInTheFileStaysOffAfterAStart) {
  PlaceGoldenFiles();
  WriteIni("QVCtrl.ini", "Default", "OSD", "0");
  StartWatched();
  harness::TargetApp& player = *target_;
  const double start = NowMs();
  Press(kCodeNext);
  ASSERT_TRUE(player.WaitForKeyLog(2)) << "the press did nothing";
  Sleep(kQuietMs);
  EXPECT_TRUE(watch_->ShownSince(start).empty())
      << "a caption with the display off:" << Describe(watch_->Changes());
  OpenSettings();
  EXPECT_FALSE(settings_->Checked(IDC_OSD)) << "the box does not show the stored setting";
}

// Rewrites a file in place with one substring swapped for another of the same
// length, and gives it back its modification time: the file looks untouched
// to anything that goes by size and time.
void EditKeepingSizeAndTime(const std::string& path, const std::string& from,
                            const std::string& to) {
  ASSERT_EQ(from.size(), to.size());
  std::string text = harness::ReadFileShared(path);
  const size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from << " not in " << path;
  text.replace(at, from.size(), to);
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
  FILETIME written = {};
  GetFileTime(f, nullptr, nullptr, &written);
  DWORD n = 0;
  const BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
  SetFileTime(f, nullptr, nullptr, &written);
  CloseHandle(f);
  ASSERT_TRUE(ok && n == text.size()) << path;
}

// Both profile files edited by another program the moment before a press
// (same size, same time stamp): that press already sends the new hotkey and
// shows the new caption. Back and forth, so no earlier copy can pass for it.
TEST_F(CaptionTest, AnEditSavedJustBeforeAPressIsSeenByThatPress) {
  constexpr unsigned kCodeExit = 0x5C;  // WinDVD slot 1: "0-X", "Exit"
  StartWatched();
  harness::TargetApp& player = *target_;
  ASSERT_TRUE(PressAndWaitShown(kCodeExit, "Exit")) << Describe(watch_->Changes());
  const std::string userDef = program_->IniPath("UserDef.ini");
  const std::string userDefInf = program_->IniPath("UserDefInf.ini");
  Log expected = {{WM_KEYDOWN, 'X'}, {WM_KEYUP, 'X'}};
  ASSERT_TRUE(player.WaitForKeyLog(expected.size()));
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const bool even = round % 2 == 0;
    EditKeepingSizeAndTime(userDef, even ? "\r\n1=0-X\r\n" : "\r\n1=0-Y\r\n",
                           even ? "\r\n1=0-Y\r\n" : "\r\n1=0-X\r\n");
    EditKeepingSizeAndTime(userDefInf, even ? "\r\n1=Exit\r\n" : "\r\n1=Exot\r\n",
                           even ? "\r\n1=Exot\r\n" : "\r\n1=Exit\r\n");
    const UINT key = even ? 'Y' : 'X';
    expected.push_back({WM_KEYDOWN, key});
    expected.push_back({WM_KEYUP, key});
    EXPECT_TRUE(PressAndWaitShown(kCodeExit, even ? "Exot" : "Exit"))
        << Describe(watch_->Changes());
    ASSERT_TRUE(player.WaitForKeyLog(expected.size()));
    EXPECT_EQ(player.KeyLog(), expected);
  }
}

}  // namespace
}  // namespace k7::settingstest
