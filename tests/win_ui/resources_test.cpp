// The program's resources as the system loads them under Wine: the two
// dialog templates built into windows, the icons, version and manifest.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "recording_dialog.h"
#include "template_window.h"
#include "app/tray_win32.h"
#include "base/dpi.h"
#include "base/dpi_win32.h"
#include "res/resource.h"
#include "ui/dpi_layout_win32.h"

namespace k7::uitest {
namespace {

// Face and height of a window's font, against a face and a point size.
void ExpectFont(HWND hwnd, const char* face, int points) {
  LOGFONTA lf = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  HDC dc = GetDC(nullptr);
  EXPECT_STREQ(lf.lfFaceName, face);
  EXPECT_EQ(lf.lfHeight, -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72));
  ReleaseDC(nullptr, dc);
}

// A kind of control: its class and the style bits that make it that kind.
struct Kind {
  const char* cls;
  DWORD mask, value;
};
// The dialog manager makes the focused push button the default one (BS_DEFPUSHBUTTON).
constexpr Kind kPush = {"button", BS_TYPEMASK & ~1u, BS_PUSHBUTTON};
constexpr Kind kRadio = {"button", BS_TYPEMASK, BS_AUTORADIOBUTTON};
constexpr Kind kCheck = {"button", BS_TYPEMASK, BS_AUTOCHECKBOX};
constexpr Kind kGroupBox = {"button", BS_TYPEMASK, BS_GROUPBOX};
constexpr Kind kLabel = {"static", SS_TYPEMASK, SS_LEFT};
// Its WS_VSCROLL goes to its list (see the combo box test).
constexpr Kind kCombo = {"combobox", 3 | CBS_SORT, CBS_DROPDOWN | CBS_SORT};
// The dialog manager turns an edit field's WS_BORDER into WS_EX_CLIENTEDGE.
constexpr Kind kEdit = {"edit", ES_MULTILINE | ES_AUTOHSCROLL, ES_AUTOHSCROLL};

constexpr int kNoId = 0xFFFF;

struct ExpectedControl {
  int id;
  Kind kind;
  const char* text;
  bool tabStop, group;
  int x, y, w, h;
};

// Template order, which is also the tab order.
const ExpectedControl kMainControls[] = {
    {IDOK, kPush, "OK", true, false, 183, 148, 50, 14},
    {IDC_CAT_DVD, kRadio, "DVD", false, true, 13, 10, 32, 10},
    {IDC_CAT_MUSIC, kRadio, "MUSIC", false, false, 69, 10, 35, 10},
    {IDC_CAT_WWW, kRadio, "WWW", false, false, 125, 10, 35, 10},
    {IDC_CAT_SPEECH, kRadio, "SPEECH", false, false, 181, 10, 45, 10},
    {IDC_PROFILE, kCombo, "", true, false, 13, 53, 89, 123},
    {kNoId, kGroupBox, "1. Select Application", false, true, 7, 2, 233, 35},
    {IDC_ADVANCE, kPush, "Advance", true, false, 125, 148, 50, 14},
    {IDC_DEFAULT, kPush, "Default", true, false, 9, 148, 50, 14},
    {IDC_LABEL_DVD, kLabel, "Static", false, false, 17, 21, 46, 10},
    {IDC_LABEL_WWW, kLabel, "Static", false, false, 129, 21, 46, 10},
    {IDC_LABEL_MUSIC, kLabel, "Static", false, false, 73, 21, 46, 10},
    {IDC_LABEL_SPEECH, kLabel, "Static", false, false, 185, 21, 46, 10},
    {IDC_EXE_PATH, kEdit, "", true, false, 11, 88, 168, 14},
    {IDC_BROWSE, kPush, "Browse", true, false, 183, 87, 50, 14},
    {IDC_PATH_OK, kPush, "OK", true, false, 183, 104, 50, 14},
    {kNoId, kGroupBox, "2. Load Application HotKey Setting", false, false, 7, 42, 162, 30},
    {kNoId, kGroupBox, "3. Locate .exe file for selected application", false, false, 7, 78, 233,
     53},
    {IDC_OSD, kCheck, "Enable OSD (On Screen Display)", true, false, 9, 133, 119, 10},
    {kNoId, kLabel, "Click \"Browse\" to assign the path of your application's execution file .",
     false, false, 13, 108, 165, 19},
};

TEST(ResourcesMainDialog, HiddenCaptionedWindowInArial9) {
  TemplateWindow dlg(IDD_MAIN, true);
  ASSERT_NE(dlg.Hwnd(), nullptr) << GetLastError();
  EXPECT_FALSE(IsWindowVisible(dlg.Hwnd()));
  EXPECT_EQ(WindowText(dlg.Hwnd()), "Quorvan K7F3 v2.1");
  const DWORD style = StyleOf(dlg.Hwnd());
  const DWORD wanted = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0u);
  ExpectFont(dlg.Hwnd(), "Arial", 9);
  EXPECT_EQ(ClientOf(dlg.Hwnd()), dlg.Pixels(0, 0, 247, 172));
}

TEST(ResourcesMainDialog, ControlsInTabOrderWithIdsKindsTextAndPlaces) {
  TemplateWindow dlg(IDD_MAIN, true);
  ASSERT_NE(dlg.Hwnd(), nullptr);
  const std::vector<HWND> children = ChildrenInOrder(dlg.Hwnd());
  ASSERT_EQ(children.size(), std::size(kMainControls));

  for (size_t i = 0; i < children.size(); ++i) {
    const ExpectedControl& want = kMainControls[i];
    HWND c = children[i];
    SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
    EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(c)), want.id);
    EXPECT_EQ(ClassOf(c), want.kind.cls);
    const DWORD style = StyleOf(c);
    EXPECT_EQ(style & want.kind.mask, want.kind.value) << std::hex << style;
    EXPECT_EQ((style & WS_TABSTOP) != 0, want.tabStop);
    EXPECT_EQ((style & WS_GROUP) != 0, want.group);
    EXPECT_EQ(style & (WS_VISIBLE | WS_DISABLED), static_cast<DWORD>(WS_VISIBLE));
    EXPECT_EQ(WindowText(c), want.text);
    if (want.id == IDC_EXE_PATH) {
      EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    }

    Box at = PlaceOf(c);
    Box place = dlg.Pixels(want.x, want.y, want.w, want.h);
    // A drop-down combo box is as tall as its edit field; the template's
    // height is that of the open list.
    if (want.id == IDC_PROFILE) at.bottom = place.bottom;
    EXPECT_EQ(at, place);
  }
}

TEST(ResourcesMainDialog, ProfileComboDropsAScrollingListOfTheTemplateHeight) {
  TemplateWindow dlg(IDD_MAIN, true);
  ShowWindow(dlg.Hwnd(), SW_SHOWNORMAL);
  HWND combo = GetDlgItem(dlg.Hwnd(), IDC_PROFILE);
  for (int i = 0; i < 40; ++i) SendMessageA(combo, CB_ADDSTRING, 0, LPARAM("profile"));
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  EXPECT_TRUE(IsWindowVisible(info.hwndList));
  EXPECT_TRUE(StyleOf(info.hwndList) & WS_VSCROLL);

  // Windows counts the edit field into the dropped rectangle, Wine 8 only
  // the list (a pixel short). Version 6 lists then show up to 30 items
  // whatever that height.
  RECT dropped;
  SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  const Box field = PlaceOf(combo), place = dlg.Pixels(13, 53, 89, 123);
  const LONG want = place.bottom - place.top, list = dropped.bottom - dropped.top;
  const LONG withField = list + field.bottom - field.top;
  EXPECT_LE(std::min(std::abs(list - want), std::abs(withField - want)), 2)
      << "dropped " << list << ", with the field " << withField << ", template " << want;
}

// A DPI change moves every control and sizes the font from the layout the
// window was made with; going back restores it to the pixel. Wine sends no
// WM_DPICHANGED: the handler is called as Windows would call it.
TEST(ResourcesMainDialog, RescalesItselfOnADpiChangeAndBackToThePixel) {
  TemplateWindow dlg(IDD_MAIN);
  ASSERT_NE(dlg.Hwnd(), nullptr);
  const std::vector<HWND> children = ChildrenInOrder(dlg.Hwnd());
  const auto fontHeight = [](HWND hwnd) {
    LOGFONTA lf = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return static_cast<int>(lf.lfHeight);
  };
  std::vector<Box> made;
  for (HWND c : children) made.push_back(PlaceOf(c));
  const Box window = PlaceOf(dlg.Hwnd());
  const int from = static_cast<int>(DpiOfWindow(dlg.Hwnd())), font = fontHeight(dlg.Hwnd());

  ui::CDpiLayout layout;
  layout.Capture(dlg.Hwnd());
  for (int to : {from * 3 / 2, from * 2, from * 5 / 4, from}) {
    SCOPED_TRACE("to " + std::to_string(to) + " dpi from " + std::to_string(from));
    const RECT suggested = {window.left + 7, window.top + 5,
                            window.left + 7 + ScaleToDpi(window.Width(), from, to),
                            window.top + 5 + ScaleToDpi(window.Height(), from, to)};
    layout.OnDpiChanged(static_cast<UINT>(to), suggested);
    EXPECT_EQ(PlaceOf(dlg.Hwnd()),
              (Box{suggested.left, suggested.top, suggested.right, suggested.bottom}));
    for (size_t i = 0; i < children.size(); ++i) {
      const PixelRect want =
          ScaleToDpi(PixelRect{made[i].left, made[i].top, made[i].right, made[i].bottom}, from, to);
      Box at = PlaceOf(children[i]);
      // A drop-down combo box's field is as tall as its font makes it.
      if (GetDlgCtrlID(children[i]) == IDC_PROFILE) at.bottom = want.bottom;
      EXPECT_EQ(at, (Box{want.left, want.top, want.right, want.bottom})) << "control " << i;
      EXPECT_EQ(fontHeight(children[i]), ScaleToDpi(font, from, to)) << "control " << i;
    }
  }
}

TEST(ResourcesNoDevice, CentredCaptionlessNoticeInVerdana11) {
  TemplateWindow dlg(IDD_NODEVICE, true);
  ASSERT_NE(dlg.Hwnd(), nullptr);
  const DWORD style = StyleOf(dlg.Hwnd());
  EXPECT_EQ(style & (WS_POPUP | WS_BORDER | DS_CENTER), WS_POPUP | WS_BORDER | DS_CENTER);
  EXPECT_EQ(style & (WS_DLGFRAME | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE), 0u);
  ExpectFont(dlg.Hwnd(), "Verdana", 11);
  const Box client = ClientOf(dlg.Hwnd());
  EXPECT_EQ(client, dlg.Pixels(0, 0, 106, 40));

  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const Box frame = PlaceOf(dlg.Hwnd());
  EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 2);
  EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 2);

  const std::vector<HWND> children = ChildrenInOrder(dlg.Hwnd());
  ASSERT_EQ(children.size(), 1u) << "no buttons, one text";
  EXPECT_EQ(ClassOf(children[0]), "static");
  EXPECT_EQ(StyleOf(children[0]) & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
  EXPECT_EQ(WindowText(children[0]), "Can not find TX880 Device K7F3");
  EXPECT_EQ(PlaceOf(children[0]), client);
}

// Each image of an icon as its resource holds it: size, bit count, and
// whether its alpha channel has both opaque and partly see-through pixels
// (soft edges, not an on/off mask).
struct IconImage {
  int size, bits;
  bool softAlpha;
  bool operator==(const IconImage&) const = default;
};
std::ostream& operator<<(std::ostream& os, const IconImage& i) {
  return os << i.size << "px " << i.bits << "bit" << (i.softAlpha ? " alpha" : "");
}

std::vector<IconImage> IconImages(int id) {
  std::vector<IconImage> images;
  HRSRC res = FindResourceA(Self(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  if (res == nullptr) return images;
  const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(Self(), res)));
  // Entries of 14 bytes after a 6-byte header: width, height, colours,
  // reserved, planes, bit count, size, id.
  for (WORD i = 0; i < *reinterpret_cast<const WORD*>(dir + 4); ++i) {
    const BYTE* entry = dir + 6 + 14 * i;
    EXPECT_EQ(entry[0], entry[1]) << "square";
    const WORD imageId = *reinterpret_cast<const WORD*>(entry + 12);
    HRSRC image = FindResourceA(Self(), MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3));  // RT_ICON
    if (image == nullptr) continue;
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Self(), image)));
    bool opaque = false, soft = false;
    if (header->biBitCount == 32) {
      const BYTE* bgra = reinterpret_cast<const BYTE*>(header + 1);
      for (int p = 0; p < header->biWidth * header->biWidth; ++p) {
        opaque |= bgra[4 * p + 3] == 255;
        soft |= bgra[4 * p + 3] > 0 && bgra[4 * p + 3] < 255;
      }
    }
    images.push_back({static_cast<int>(header->biWidth), header->biBitCount, opaque && soft});
  }
  return images;
}

TEST(ResourcesIcons, FiveSizesEachWithAlpha) {
  const std::vector<IconImage> expected = {
      {16, 32, true}, {20, 32, true}, {24, 32, true}, {32, 32, true}, {48, 32, true}};
  for (int id : {IDI_APP, IDI_READY, IDI_RECEIVING, IDI_OFF}) {
    std::vector<IconImage> images = IconImages(id);
    std::sort(images.begin(), images.end(),
              [](const IconImage& a, const IconImage& b) { return a.size < b.size; });
    EXPECT_EQ(images, expected) << "icon " << id;
  }
}

// Pixels of an icon drawn at size x size on white: how many are not white,
// pure green and pure red.
struct Census {
  int opaque = 0, green = 0, red = 0;
};

Census Draw(HICON icon, int size) {
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof bi.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  PatBlt(dc, 0, 0, size, size, WHITENESS);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  Census c;
  for (int i = 0; i < size * size; ++i) {
    const DWORD p = static_cast<const DWORD*>(bits)[i] & 0xFFFFFF;
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    c.opaque += p != 0xFFFFFF;
    c.green += g > 150 && r < 120 && b < 140;
    c.red += r > 180 && g < 90 && b < 90;
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return c;
}

TEST(ResourcesIcons, LoadAtEverySizeWithTheDotOfTheirState) {
  for (int id : {IDI_APP, IDI_READY, IDI_RECEIVING, IDI_OFF}) {
    for (int size : {16, 20, 24, 32, 48}) {
      SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size));
      HICON icon = static_cast<HICON>(
          LoadImageA(Self(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
      ASSERT_NE(icon, nullptr) << GetLastError();
      ICONINFO info = {};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP bm = {};
      GetObjectA(info.hbmColor, sizeof bm, &bm);
      EXPECT_EQ(bm.bmWidth, size);
      EXPECT_EQ(bm.bmHeight, size);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);

      // A picture on a see-through ground; green dot but when receiving.
      const Census c = Draw(icon, size);
      EXPECT_GT(c.opaque, size * size / 4);
      EXPECT_LT(c.opaque, size * size * 9 / 10);
      EXPECT_EQ(c.green > 0, id != IDI_RECEIVING);
      if (id == IDI_OFF) {
        EXPECT_GT(c.red, size * size / 5) << "prohibition sign";
      } else {
        EXPECT_EQ(c.red > 0, id == IDI_RECEIVING);
      }
      DestroyIcon(icon);
    }
  }
}

bool IconAlive(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return false;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return true;
}

// The tray takes its pictures at the small-icon size, owns the one it shows
// and destroys it once another replaces it, never the one it keeps.
TEST(ResourcesIcons, TrayPicturesAreSmallAndOwnedByTheTray) {
  HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, Self(), nullptr);
  ASSERT_NE(owner, nullptr);
  HICON first = LoadTrayPicture(Self(), IDI_READY);
  HICON second = LoadTrayPicture(Self(), IDI_OFF);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(first, &info));
  BITMAP bm = {};
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(bm.bmHeight, GetSystemMetrics(SM_CYSMICON));

  CTrayIcon tray;
  tray.Add(owner, first, kTrayIconId, WM_APP, kProgramTitle);
  tray.Add(owner, first, kTrayIconId, WM_APP, kProgramTitle);
  EXPECT_TRUE(IconAlive(first)) << "Add again with the same picture";
  tray.Add(owner, second, kTrayIconId, WM_APP, kProgramTitle);
  EXPECT_FALSE(IconAlive(first)) << "Add kept the picture it replaced";
  EXPECT_TRUE(IconAlive(second));
  tray.Show(Self(), IDI_RECEIVING);
  EXPECT_FALSE(IconAlive(second)) << "Show kept the picture it replaced";
  tray.Remove();
  DestroyWindow(owner);
}

TEST(ResourcesVersion, NamesTheProductAndVersion) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(exe, &ignored));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(exe, 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2, 2));  // 2.2
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  auto text = [&](const char* key) {
    char* value = nullptr;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + key;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
      return std::string("(missing)");
    }
    return std::string(value);
  };
  // The strings tell the same release as the numbers, and who made it.
  const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS));
  const std::string company = text("CompanyName");
  EXPECT_FALSE(company.empty() || company == "(missing)");
  const struct {
    const char* key;
    std::string value;
  } expected[] = {
      {"ProductName", "Quorvan K7F3"},
      {"ProductVersion", numbers},
      {"FileVersion", numbers + "." + std::to_string(LOWORD(fixed->dwFileVersionLS))},
      {"OriginalFilename", "K7F3.exe"},
      {"InternalName", "K7F3"},
      {"LegalCopyright", "Copyright (C) 2026 " + company},
  };
  for (const auto& e : expected) EXPECT_EQ(text(e.key), e.value) << e.key;
}

// Run with the user's rights, never virtualised, on every system it knows.
TEST(ResourcesManifest, AsksForNoElevationAndNamesTheSystems) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr);
  const std::string xml(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                        SizeofResource(nullptr, found));
  for (const char* part : {"<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
                           "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
                           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
                           // Drawn for each monitor's scale, never stretched;
                           // the session's scale where that is all there is.
                           "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                           "WindowsSettings\">true/pm</dpiAware>",
                           "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                           "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"}) {
    EXPECT_NE(xml.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(xml.find('@'), std::string::npos) << "a placeholder left unfilled";
}

TEST(ResourcesManifest, SelectsCommonControlsVersion6) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  // Wine's comctl32 reports 5.81 in either version, so the check is where it
  // was loaded from, and a message only version 6's buttons know.
  char path[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, sizeof path);
  CharLowerA(path);
  EXPECT_NE(std::string(path).find("microsoft.windows.common-controls_6595b64144ccf1df_6.0"),
            std::string::npos)
      << path;
  HWND button =
      CreateWindowA("Button", "OK", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SIZE ideal = {};
  EXPECT_TRUE(SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
  DestroyWindow(button);
}

}  // namespace
}  // namespace k7::uitest
