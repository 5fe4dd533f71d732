// The dialog layer in a running modal loop under Wine: which object each
// message reaches, what the key filter sees and swallows, tooltips.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "harness/harness.h"
#include "recording_dialog.h"
#include "res/resource.h"

namespace k7::uitest {
namespace {

using harness::TapKey;
using harness::WaitUntil;

// Clicks a button the way a user's click ends: the button itself reports it.
void Click(HWND button) {
  SendMessageA(button, BM_CLICK, 0, 0);
}

TEST(DialogLayer, EachDialogGetsItsOwnInitAndCommands) {
  RecordingDialog first;
  RecordingDialog second;
  ModalRun runFirst(first, IDD_MAIN);
  ModalRun runSecond(second, IDD_MAIN);
  ASSERT_NE(runFirst.Window(), nullptr);
  ASSERT_NE(runSecond.Window(), nullptr);
  ASSERT_NE(runFirst.Window(), runSecond.Window());

  EXPECT_EQ(first.InitWindow(), runFirst.Window());
  EXPECT_EQ(second.InitWindow(), runSecond.Window());
  EXPECT_TRUE(first.InitSawItself());
  EXPECT_TRUE(second.InitSawItself());

  Click(runFirst.Item(IDC_BROWSE));
  Click(runSecond.Item(IDC_DEFAULT));
  Click(runSecond.Item(IDC_ADVANCE));
  EXPECT_EQ(first.Commands(),
            (std::vector<Command>{{IDC_BROWSE, BN_CLICKED, runFirst.Item(IDC_BROWSE)}}));
  EXPECT_EQ(second.Commands(),
            (std::vector<Command>{{IDC_DEFAULT, BN_CLICKED, runSecond.Item(IDC_DEFAULT)},
                                  {IDC_ADVANCE, BN_CLICKED, runSecond.Item(IDC_ADVANCE)}}));

  // OK and Cancel go to their own handlers, not to OnCommand, and end the
  // dialog with their ids by default.
  Click(runFirst.Item(IDOK));
  PostMessageA(runSecond.Window(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(runFirst.WaitForEnd());
  ASSERT_TRUE(runSecond.WaitForEnd());
  EXPECT_EQ(runFirst.Result(), IDOK);
  EXPECT_EQ(runSecond.Result(), IDCANCEL);
  EXPECT_EQ(first.OkCount(), 1);
  EXPECT_EQ(first.CancelCount(), 0);
  EXPECT_EQ(second.OkCount(), 0);
  EXPECT_EQ(second.CancelCount(), 1);
  EXPECT_EQ(first.Commands().size(), 1u);
}

TEST(DialogLayer, MissingTemplateFails) {
  RecordingDialog missing;
  EXPECT_EQ(missing.DoModal(GetModuleHandleA(nullptr), 4242, nullptr), -1);
}

TEST(DialogLayer, ItemHelpersOnALiveDialog) {
  RecordingDialog dialog;
  ModalRun run(dialog, IDD_MAIN);
  ASSERT_NE(run.Window(), nullptr);

  dialog.Call([&] {
    const char path[] = "C:\\Program Files\\Quorvan\\player.exe";
    dialog.SetItemText(IDC_EXE_PATH, path);

    char whole[64];
    EXPECT_EQ(dialog.GetItemText(IDC_EXE_PATH, whole, sizeof whole),
              static_cast<int>(strlen(path)));
    EXPECT_STREQ(whole, path);

    // A short buffer gets the start of the text, terminated, and nothing
    // past its end is written.
    char guarded[12];
    memset(guarded, '#', sizeof guarded);
    EXPECT_EQ(dialog.GetItemText(IDC_EXE_PATH, guarded, 8), 7);
    EXPECT_STREQ(guarded, "C:\\Prog");
    EXPECT_EQ(std::string(guarded + 8, 4), "####");

    char one[2] = {'#', '#'};
    EXPECT_EQ(dialog.GetItemText(IDC_EXE_PATH, one, 1), 0);
    EXPECT_EQ(std::string(one, 2), std::string("\0#", 2));

    dialog.CheckRadio(IDC_CAT_DVD, IDC_CAT_SPEECH, IDC_CAT_MUSIC);
    dialog.CheckRadio(IDC_CAT_DVD, IDC_CAT_SPEECH, IDC_CAT_WWW);
    const bool checked[] = {dialog.IsChecked(IDC_CAT_DVD), dialog.IsChecked(IDC_CAT_MUSIC),
                            dialog.IsChecked(IDC_CAT_WWW), dialog.IsChecked(IDC_CAT_SPEECH)};
    EXPECT_EQ(std::vector<bool>(checked, checked + 4),
              (std::vector<bool>{false, false, true, false}));
  });
  EXPECT_EQ(WindowText(run.Item(IDC_EXE_PATH)), "C:\\Program Files\\Quorvan\\player.exe");
}

// Real keystrokes into the settings window: the dialog foreground, the focus
// on the OSD check box.
class DialogLayerKeyFilter : public ::testing::Test {
 protected:
  void TearDown() override { harness::ReleaseModifiers(); }

  void StartWithFocusOnOsd(ModalRun& run) {
    ASSERT_NE(run.Window(), nullptr);
    ASSERT_TRUE(harness::MakeForeground(run.Window()));
    SendMessageA(run.Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(run.Item(IDC_OSD)), TRUE);
    ASSERT_EQ(harness::FocusOfOwner(run.Window()), run.Item(IDC_OSD));
  }
};

TEST_F(DialogLayerKeyFilter, SwallowsEnterEscapeAndSpaceAndPassesOtherKeys) {
  RecordingDialog dialog({VK_RETURN, VK_ESCAPE, VK_SPACE});
  ModalRun run(dialog, IDD_MAIN);
  StartWithFocusOnOsd(run);

  // Space on the check box; Tab wraps to OK; Enter, Escape and Space on OK;
  // Tab on to the combo box (the radio buttons are no tab stops); a letter.
  const BYTE keys[] = {VK_SPACE, VK_TAB, VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB, 'X'};
  for (BYTE vk : keys) TapKey(vk);
  HWND combo = run.Item(IDC_PROFILE);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(combo) == "x"; }))
      << "combo box text: " << WindowText(combo);

  const std::vector<KeySeen> expected = {
      {VK_SPACE, IDC_OSD}, {VK_TAB, IDC_OSD}, {VK_RETURN, IDOK},  {VK_ESCAPE, IDOK},
      {VK_SPACE, IDOK},    {VK_TAB, IDOK},    {'X', IDC_PROFILE},
  };
  EXPECT_EQ(dialog.Keys(), expected);
  EXPECT_EQ(IsDlgButtonChecked(run.Window(), IDC_OSD), BST_UNCHECKED);
  EXPECT_TRUE(run.Running());
  EXPECT_EQ(dialog.OkCount(), 0);
  EXPECT_EQ(dialog.CancelCount(), 0);
  // Only the combo box's own notifications (focus, edit) may have come.
  for (const Command& c : dialog.Commands()) EXPECT_EQ(c.id, IDC_PROFILE) << c;
}

// The same keys without swallowing, to show that they would have acted.
TEST_F(DialogLayerKeyFilter, WithoutSwallowingSpaceChecksAndEnterEndsTheDialog) {
  RecordingDialog dialog;
  ModalRun run(dialog, IDD_MAIN);
  StartWithFocusOnOsd(run);

  TapKey(VK_SPACE);
  ASSERT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(run.Window(), IDC_OSD) == BST_CHECKED; }));
  TapKey(VK_TAB);
  TapKey(VK_RETURN);
  ASSERT_TRUE(run.WaitForEnd());
  EXPECT_EQ(run.Result(), IDOK);
  EXPECT_EQ(dialog.OkCount(), 1);
  EXPECT_EQ(dialog.Keys(),
            (std::vector<KeySeen>{{VK_SPACE, IDC_OSD}, {VK_TAB, IDC_OSD}, {VK_RETURN, IDOK}}));
}

TEST_F(DialogLayerKeyFilter, EscapeEndsTheDialogWithCancelWhenNotSwallowed) {
  RecordingDialog dialog({VK_RETURN});
  ModalRun run(dialog, IDD_MAIN);
  StartWithFocusOnOsd(run);

  TapKey(VK_RETURN);
  TapKey(VK_ESCAPE);
  ASSERT_TRUE(run.WaitForEnd());
  EXPECT_EQ(run.Result(), IDCANCEL);
  EXPECT_EQ(dialog.OkCount(), 0);
  EXPECT_EQ(dialog.CancelCount(), 1);
}

TEST(DialogLayerTooltip, HoveringAControlAsksTheDialogForItsText) {
  const char kTip[] = "Choose the program's .exe file";
  RecordingDialog dialog;
  dialog.WantTooltips({{IDC_BROWSE, kTip}, {IDC_DEFAULT, "Back to the factory settings"}});
  ModalRun run(dialog, IDD_MAIN);
  ASSERT_NE(run.Window(), nullptr);
  EXPECT_TRUE(dialog.TooltipsAdded());
  ASSERT_TRUE(harness::MakeForeground(run.Window()));

  RECT r;
  GetWindowRect(run.Item(IDC_BROWSE), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ASSERT_TRUE(WaitUntil([&] { return !dialog.TooltipRequests().empty(); }))
      << "no TTN_NEEDTEXTA reached the dialog";
  EXPECT_EQ(dialog.TooltipRequests()[0], IDC_BROWSE);

  DWORD threadId = GetWindowThreadProcessId(run.Window(), nullptr);
  HWND tip = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (tip = FindThreadWindow(threadId, TOOLTIPS_CLASSA)); }));
  EXPECT_EQ(GetWindow(tip, GW_OWNER), run.Window());
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  ASSERT_TRUE(SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(run.Item(IDC_BROWSE)));
}

}  // namespace
}  // namespace k7::uitest
