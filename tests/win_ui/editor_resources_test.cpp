// The hotkey editor's resources as the system loads them under Wine: its four
// dialog templates built into windows, the picture of the remote with the
// images of its 34 buttons, and the tooltip strings.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "recording_dialog.h"
#include "template_window.h"
#include "res/resource.h"

namespace k7::uitest {
namespace {

// Where the editor puts button n, in its client pixels.
const Box kButtonRects[] = {
    {32, 36, 45, 49},    {91, 36, 104, 49},   {32, 57, 45, 70},    {62, 57, 75, 70},
    {91, 57, 104, 70},   {32, 78, 45, 91},    {62, 78, 75, 91},    {91, 78, 104, 91},
    {32, 99, 45, 112},   {62, 99, 75, 112},   {91, 99, 104, 112},  {32, 120, 45, 133},
    {62, 120, 75, 133},  {91, 120, 104, 133}, {32, 141, 45, 153},  {91, 141, 104, 153},
    {50, 152, 87, 164},  {37, 162, 52, 191},  {56, 168, 80, 183},  {84, 161, 99, 190},
    {50, 187, 86, 200},  {32, 197, 45, 210},  {91, 197, 104, 210}, {36, 225, 50, 235},
    {61, 225, 75, 235},  {87, 225, 101, 235}, {36, 243, 50, 253},  {61, 243, 75, 253},
    {87, 243, 101, 253}, {36, 261, 50, 271},  {61, 261, 75, 271},  {87, 261, 101, 271},
    {49, 283, 63, 293},  {74, 283, 88, 293},
};
constexpr int kSlots = static_cast<int>(std::size(kButtonRects));
// Buttons no code of the remote reaches; the editor shows them disabled.
bool Unreached(int n) {
  return n == 0 || n == 2 || n == 5 || n == 8 || n == 11 || n == 12;
}

void ExpectArial9(HWND hwnd) {
  LOGFONTA lf = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  HDC dc = GetDC(nullptr);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfHeight, -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72));
  ReleaseDC(nullptr, dc);
}

// A kind of control: its class and the style bits that make it that kind.
struct Kind {
  const char* cls;
  DWORD mask, value;
};
constexpr Kind kPush = {"button", BS_TYPEMASK, BS_PUSHBUTTON};
constexpr Kind kDefault = {"button", BS_TYPEMASK, BS_DEFPUSHBUTTON};
constexpr Kind kGroupBox = {"button", BS_TYPEMASK, BS_GROUPBOX};
constexpr Kind kCheckBox = {"button", BS_TYPEMASK, BS_AUTOCHECKBOX};
constexpr DWORD kStaticBits = SS_TYPEMASK | SS_NOTIFY | SS_NOPREFIX;
constexpr Kind kLabel = {"static", kStaticBits, SS_LEFT};
constexpr Kind kCentred = {"static", kStaticBits, SS_CENTER};
// Clicks on the program's name and path reach the editor; a path shows its
// ampersands as they are.
constexpr Kind kNameLabel = {"static", kStaticBits, SS_LEFT | SS_NOTIFY};
constexpr Kind kPathLabel = {"static", kStaticBits, SS_LEFT | SS_NOTIFY | SS_NOPREFIX};
// The buttons are drawn over the picture: it must not paint over them.
constexpr Kind kPicture = {"static", SS_TYPEMASK | WS_CLIPSIBLINGS, SS_BITMAP | WS_CLIPSIBLINGS};
constexpr Kind kCombo = {"combobox", 3 | CBS_SORT, CBS_DROPDOWN};
constexpr Kind kEdit = {"edit", ES_MULTILINE | ES_AUTOHSCROLL, ES_AUTOHSCROLL};
constexpr Kind kHotkey = {"msctls_hotkey32", 0, 0};

constexpr int kNoId = 0xFFFF;

struct ExpectedControl {
  int id;
  Kind kind;
  const char* text;
  bool tabStop;
  int x, y, w, h;
};

// Template order, which is also the tab order.
const ExpectedControl kEditorControls[] = {
    {kNoId, kPicture, "", false, 9, 8, 189, 192},
    {kNoId, kGroupBox, "HotKey Setting", false, 80, 6, 171, 71},
    {IDC_EDITOR_PROFILE, kCombo, "", true, 83, 23, 93, 137},
    {IDC_EDITOR_NEW, kPush, "New", true, 189, 21, 50, 14},
    {IDC_EDITOR_SAVEAS, kPush, "Save As", true, 189, 39, 50, 14},
    {IDC_EDITOR_EXPORT, kPush, "Export...", true, 83, 57, 45, 14},
    {IDC_EDITOR_IMPORT, kPush, "Import...", true, 131, 57, 45, 14},
    {IDC_EDITOR_DELETE, kPush, "Delete", true, 189, 57, 50, 14},
    {kNoId, kGroupBox, "Program Location", false, 80, 79, 171, 54},
    {IDC_EDITOR_NAME, kNameLabel, "", false, 82, 88, 164, 8},
    {IDC_EDITOR_PATH, kPathLabel, "", false, 82, 102, 164, 8},
    {IDC_EDITOR_BROWSE, kPush, "Browse", true, 82, 114, 50, 14},
    {IDC_EDITOR_ALL_OTHERS, kCheckBox, "For all other programs", true, 138, 116, 108, 10},
    {kNoId, kGroupBox, "Corresponding HotKey and OSD Description", false, 80, 134, 171, 45},
    {IDC_HOTKEY, kHotkey, "", true, 84, 143, 85, 14},
    {IDC_DESCRIPTION, kEdit, "", true, 176, 143, 63, 14},
    {IDC_EDITOR_CLEAR, kPush, "Clear", true, 86, 161, 50, 14},
    {IDC_EDITOR_HOLD, kCheckBox, "Hold", true, 142, 163, 28, 10},
    {IDC_EDITOR_REPEAT_LABEL, kNameLabel, "Repeat", false, 172, 164, 26, 8},
    {IDC_EDITOR_REPEAT, kCombo, "", true, 199, 161, 47, 100},
    {IDCANCEL, kPush, "Cancel", true, 82, 187, 50, 14},
    {IDC_EDITOR_SAVE, kPush, "Save", true, 139, 187, 50, 14},
    {IDC_SAVE_EXIT, kPush, "OK", true, 196, 187, 50, 14},
};

const ExpectedControl kAppNameControls[] = {
    {kNoId, kLabel, "Please enter the AP name", false, 30, 7, 97, 8},
    {IDC_APPNAME_EDIT, kEdit, "", true, 35, 21, 69, 14},
    {IDOK, kDefault, "OK", true, 7, 46, 50, 14},
    {IDCANCEL, kPush, "Cancel", true, 82, 46, 50, 14},
};

const ExpectedControl kPathErrorControls[] = {
    {kNoId, kLabel, "Please assign the file path", false, 26, 20, 98, 8},
    {IDC_GIVEUP, kDefault, "Give up", true, 82, 46, 50, 14},
    {IDC_ASSIGN, kPush, "Assign", true, 7, 46, 50, 14},
};

const ExpectedControl kDeleteControls[] = {
    {IDC_DELETE_PROMPT, kCentred, "", false, 7, 7, 125, 35},
    {IDC_DELETE_OK, kDefault, "OK", true, 7, 47, 50, 14},
    {IDC_DELETE_CANCEL, kPush, "Cancel", true, 82, 47, 50, 14},
};

struct ExpectedDialog {
  int id;
  const char* caption;
  int w, h;
  const ExpectedControl* controls;
  size_t count;
};

const ExpectedDialog kDialogs[] = {
    {IDD_EDITOR, "HotKey Configuration", 259, 207, kEditorControls, std::size(kEditorControls)},
    {IDD_APPNAME, "Application Name", 139, 67, kAppNameControls, std::size(kAppNameControls)},
    {IDD_PATHERROR, "File path error", 139, 67, kPathErrorControls, std::size(kPathErrorControls)},
    {IDD_DELETEHOTKEY, "Delete HotKey", 139, 68, kDeleteControls, std::size(kDeleteControls)},
};

TEST(EditorTemplates, HiddenModalFramedPopupsWithCaptionInArial9) {
  for (const ExpectedDialog& want : kDialogs) {
    SCOPED_TRACE("template " + std::to_string(want.id));
    TemplateWindow dlg(want.id);
    ASSERT_NE(dlg.Hwnd(), nullptr) << GetLastError();
    EXPECT_FALSE(IsWindowVisible(dlg.Hwnd()));
    EXPECT_EQ(WindowText(dlg.Hwnd()), want.caption);
    const DWORD style = StyleOf(dlg.Hwnd());
    const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(style & wanted, wanted) << std::hex << style;
    EXPECT_EQ(style & (WS_CHILD | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    ExpectArial9(dlg.Hwnd());
    EXPECT_EQ(ClientOf(dlg.Hwnd()), dlg.Pixels(0, 0, want.w, want.h));
  }
}

TEST(EditorTemplates, ControlsInTabOrderWithIdsKindsTextsAndPlaces) {
  for (const ExpectedDialog& dialog : kDialogs) {
    SCOPED_TRACE("template " + std::to_string(dialog.id));
    TemplateWindow dlg(dialog.id);
    ASSERT_NE(dlg.Hwnd(), nullptr) << GetLastError();
    const std::vector<HWND> children = ChildrenInOrder(dlg.Hwnd());
    ASSERT_EQ(children.size(), dialog.count);

    for (size_t i = 0; i < children.size(); ++i) {
      const ExpectedControl& want = dialog.controls[i];
      HWND c = children[i];
      SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
      EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(c)), want.id);
      EXPECT_EQ(ClassOf(c), want.kind.cls);
      const DWORD style = StyleOf(c);
      EXPECT_EQ(style & want.kind.mask, want.kind.value) << std::hex << style;
      EXPECT_EQ((style & WS_TABSTOP) != 0, want.tabStop);
      EXPECT_EQ(style & (WS_VISIBLE | WS_DISABLED), static_cast<DWORD>(WS_VISIBLE));
      const bool picture = (want.kind.value & SS_TYPEMASK) == SS_BITMAP;
      if (!picture) {
        EXPECT_EQ(WindowText(c), want.text);
      }
      if (ClassOf(c) == "edit" || ClassOf(c) == kHotkey.cls) {
        // The dialog manager may turn WS_BORDER into WS_EX_CLIENTEDGE.
        EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
      }

      Box at = PlaceOf(c);
      Box place = dlg.Pixels(want.x, want.y, want.w, want.h);
      if (picture) {
        // A bitmap static takes its image's size.
        place.right = place.left + 104;
        place.bottom = place.top + 350;
      }
      // A drop-down combo box is as tall as its edit field; the template's
      // height is that of the open list.
      if (ClassOf(c) == kCombo.cls) at.bottom = place.bottom;
      EXPECT_EQ(at, place);
    }
  }
}

TEST(EditorTemplates, PictureShowsTheRemoteBitmap) {
  TemplateWindow dlg(IDD_EDITOR);
  ASSERT_NE(dlg.Hwnd(), nullptr);
  HWND picture = GetWindow(dlg.Hwnd(), GW_CHILD);
  auto shown = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(shown, nullptr);
  BITMAP bm = {};
  ASSERT_TRUE(GetObjectA(shown, sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 104);
  EXPECT_EQ(bm.bmHeight, 350);
}

TEST(EditorTemplates, ProfileComboDropsAScrollingList) {
  TemplateWindow dlg(IDD_EDITOR, true);
  ShowWindow(dlg.Hwnd(), SW_SHOWNORMAL);
  HWND combo = GetDlgItem(dlg.Hwnd(), IDC_EDITOR_PROFILE);
  for (int i = 0; i < 40; ++i) SendMessageA(combo, CB_ADDSTRING, 0, LPARAM("profile"));
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  EXPECT_TRUE(IsWindowVisible(info.hwndList));
  EXPECT_TRUE(StyleOf(info.hwndList) & WS_VSCROLL);
}

// Which control has the focus when a dialog opens, which push button is
// then the default one, and the command Enter sends.
struct Opening {
  int dialog;
  int focus;          // the control, or the combo box whose field has the focus
  int defaultButton;  // 0: none
  int enter;
};

TEST(EditorTemplates, OpenWithTheFocusOnTheFirstFieldAndTheSafeDefault) {
  const Opening openings[] = {
      // Enter in the editor presses no button (no save, no exit by
      // accident): it arrives as IDOK, which no control has.
      {IDD_EDITOR, IDC_EDITOR_PROFILE, 0, IDOK},
      {IDD_APPNAME, IDC_APPNAME_EDIT, IDOK, IDOK},
      {IDD_PATHERROR, IDC_GIVEUP, IDC_GIVEUP, IDC_GIVEUP},
      {IDD_DELETEHOTKEY, IDC_DELETE_OK, IDC_DELETE_OK, IDC_DELETE_OK},
  };
  for (const Opening& want : openings) {
    SCOPED_TRACE("template " + std::to_string(want.dialog));
    TemplateWindow dlg(want.dialog, true);
    ASSERT_NE(dlg.Hwnd(), nullptr);
    ShowWindow(dlg.Hwnd(), SW_SHOWNORMAL);
    HWND focus = GetFocus();
    if (focus != nullptr && GetParent(focus) != dlg.Hwnd()) focus = GetParent(focus);
    EXPECT_EQ(GetDlgCtrlID(focus), want.focus);
    std::vector<int> defaults;
    for (HWND c : ChildrenInOrder(dlg.Hwnd())) {
      if (ClassOf(c) == "button" && (StyleOf(c) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        defaults.push_back(GetDlgCtrlID(c));
      }
    }
    EXPECT_EQ(defaults,
              want.defaultButton ? std::vector<int>{want.defaultButton} : std::vector<int>{});

    TemplateWindow::lastCommand = 0;
    MSG enter = {GetFocus(), WM_KEYDOWN, VK_RETURN, 0x001C0001, GetTickCount(), {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(dlg.Hwnd(), &enter));
    EXPECT_EQ(TemplateWindow::lastCommand, want.enter);
  }
}

TEST(EditorStrings, TooltipsOfExitSaveSaveAndExitAndAllOtherPrograms) {
  auto load = [](int id) {
    char text[64] = {};
    const int length = LoadStringA(Self(), static_cast<UINT>(id), text, sizeof text);
    return std::string(text, static_cast<size_t>(std::max(length, 0)));
  };
  EXPECT_EQ(load(IDCANCEL), "Exit");
  EXPECT_EQ(load(IDC_EDITOR_SAVE), "Save");
  EXPECT_EQ(load(IDC_SAVE_EXIT), "Save and Exit");
  EXPECT_EQ(load(IDC_EDITOR_ALL_OTHERS), "Use this profile in every program no profile names");
}

// A bitmap resource as 0x00RRGGBB pixels, rows top down, read from a
// device-independent bitmap (LR_CREATEDIBSECTION): the screen's depth
// changes nothing.
struct Pixels {
  int width = 0, height = 0, bits = 0;
  std::vector<uint32_t> data;
  uint32_t At(int x, int y) const { return data[static_cast<size_t>(y * width + x)]; }
};

Pixels LoadPixels(int id) {
  Pixels p;
  auto bmp = static_cast<HBITMAP>(
      LoadImageA(Self(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bmp == nullptr) return p;
  DIBSECTION ds = {};
  GetObjectA(bmp, sizeof ds, &ds);
  p.width = ds.dsBm.bmWidth;
  p.height = ds.dsBm.bmHeight;
  p.bits = ds.dsBm.bmBitsPixel;
  p.data.resize(static_cast<size_t>(p.width * p.height));
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof bi.bmiHeader, p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bmp, 0, static_cast<UINT>(p.height), p.data.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(bmp);
  for (uint32_t& v : p.data) v &= 0xFFFFFF;
  return p;
}

int Channel(uint32_t c, int i) {
  return static_cast<int>((c >> (8 * i)) & 0xFF);
}
int Luminance(uint32_t c) {
  return (Channel(c, 2) * 30 + Channel(c, 1) * 59 + Channel(c, 0) * 11) / 100;
}
// How far apart two colours are: the largest difference of a channel.
int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int i = 0; i < 3; ++i) d = std::max(d, std::abs(Channel(a, i) - Channel(b, i)));
  return d;
}
int LuminanceSpread(const Pixels& p) {
  auto [lo, hi] = std::minmax_element(p.data.begin(), p.data.end(), [](uint32_t a, uint32_t b) {
    return Luminance(a) < Luminance(b);
  });
  return Luminance(*hi) - Luminance(*lo);
}
// Mean of (largest channel - smallest channel): 0 for greys.
double MeanSaturation(const Pixels& p) {
  double sum = 0;
  for (uint32_t c : p.data) {
    sum += std::max({Channel(c, 0), Channel(c, 1), Channel(c, 2)}) -
           std::min({Channel(c, 0), Channel(c, 1), Channel(c, 2)});
  }
  return sum / static_cast<double>(p.data.size());
}

TEST(EditorBitmaps, RemoteAndEveryButtonImageAt24BitsInItsSize) {
  const Pixels remote = LoadPixels(IDB_REMOTE);
  EXPECT_EQ(remote.width, 104);
  EXPECT_EQ(remote.height, 350);
  EXPECT_EQ(remote.bits, 24);
  for (int n = 0; n < kSlots; ++n) {
    for (int base : {IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_DISABLED}) {
      SCOPED_TRACE("bitmap " + std::to_string(base + n));
      const Pixels image = LoadPixels(base + n);
      EXPECT_EQ(image.width, kButtonRects[n].Width());
      EXPECT_EQ(image.height, kButtonRects[n].Height());
      EXPECT_EQ(image.bits, 24);
    }
  }
  // Exactly 34 slots.
  for (int base : {IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_DISABLED}) {
    EXPECT_EQ(FindResourceA(Self(), MAKEINTRESOURCEA(base + kSlots), RT_BITMAP), nullptr);
  }
}

// The picture's top left corner in the editor's client pixels.
Box PictureOrigin() {
  TemplateWindow dlg(IDD_EDITOR);
  return PlaceOf(GetWindow(dlg.Hwnd(), GW_CHILD));
}

TEST(EditorBitmaps, EachButtonAtRestIsThePictureUnderItsRectangle) {
  // So a button shows no seam: the picture was drawn with this origin
  // (ORIGIN in res/tools/make_remote.py).
  const Box picture = PictureOrigin();
  const Pixels remote = LoadPixels(IDB_REMOTE);
  ASSERT_EQ(remote.width, 104);
  for (int n = 0; n < kSlots; ++n) {
    SCOPED_TRACE("button " + std::to_string(n));
    const Box& r = kButtonRects[n];
    ASSERT_GE(r.left, picture.left);
    ASSERT_GE(r.top, picture.top);
    ASSERT_LE(r.right, picture.right);
    ASSERT_LE(r.bottom, picture.bottom);
    const Pixels image = LoadPixels(IDB_BUTTON_NORMAL + n);
    ASSERT_EQ(image.width, r.Width());
    int differing = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        differing +=
            image.At(x, y) != remote.At(r.left - picture.left + x, r.top - picture.top + y);
      }
    }
    EXPECT_EQ(differing, 0) << "picture at " << picture;
  }
}

TEST(EditorBitmaps, RemoteEndsInsideTheEditorWindow) {
  // The picture reaches past the bottom of the editor's client area; what is
  // cut off there must be the dialog's ground, not the remote.
  TemplateWindow dlg(IDD_EDITOR);
  const Box client = ClientOf(dlg.Hwnd());
  const Box picture = PlaceOf(GetWindow(dlg.Hwnd(), GW_CHILD));
  const Pixels remote = LoadPixels(IDB_REMOTE);
  ASSERT_EQ(remote.height, 350);
  const uint32_t ground = remote.At(0, remote.height - 1);
  EXPECT_GE(Luminance(ground), 200) << "a light ground";
  int body = 0;
  for (int y = client.bottom - picture.top; y < remote.height; ++y) {
    for (int x = 0; x < remote.width; ++x) body += Distance(remote.At(x, y), ground) > 8;
  }
  EXPECT_EQ(body, 0);
}

TEST(EditorBitmaps, PressedImageStandsOutFromTheNormalOne) {
  // The selected button blinks between the two every second.
  for (int n = 0; n < kSlots; ++n) {
    if (Unreached(n)) continue;
    SCOPED_TRACE("button " + std::to_string(n));
    const Pixels normal = LoadPixels(IDB_BUTTON_NORMAL + n);
    const Pixels pressed = LoadPixels(IDB_BUTTON_PRESSED + n);
    ASSERT_EQ(normal.data.size(), pressed.data.size());
    int changed = 0;
    for (size_t i = 0; i < normal.data.size(); ++i) {
      changed += Distance(normal.data[i], pressed.data[i]) > 48;
    }
    EXPECT_GT(changed * 3, static_cast<int>(normal.data.size()))
        << changed << " of " << normal.data.size() << " pixels changed clearly";
  }
}

TEST(EditorBitmaps, DisabledImageIsGreyedAndFlat) {
  for (int n = 0; n < kSlots; ++n) {
    SCOPED_TRACE("button " + std::to_string(n));
    const Pixels normal = LoadPixels(IDB_BUTTON_NORMAL + n);
    const Pixels disabled = LoadPixels(IDB_BUTTON_DISABLED + n);
    ASSERT_EQ(normal.data.size(), disabled.data.size());
    EXPECT_NE(normal.data, disabled.data);
    EXPECT_LT(MeanSaturation(disabled), 12.0);
    EXPECT_LT(LuminanceSpread(disabled) * 10, LuminanceSpread(normal) * 6)
        << "disabled " << LuminanceSpread(disabled) << ", normal " << LuminanceSpread(normal);
  }
}

}  // namespace
}  // namespace k7::uitest
