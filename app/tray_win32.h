// The program's icon in the notification area.
#pragma once

#include <windows.h>

namespace k7 {

constexpr UINT kTrayIconId = 200;
constexpr char kProgramTitle[] = "Quorvan K7F3 v2.1";

// A tray picture at the small-icon size of the session's DPI; the caller
// owns it (DestroyIcon).
HICON LoadTrayPicture(HINSTANCE instance, int iconId);

class CTrayIcon {
 public:
  // Stores the five values, then NIM_ADD (which fails harmlessly when the
  // icon is there already). Takes the icon over and destroys the one it
  // replaces.
  void Add(HWND owner, HICON icon, UINT id, UINT callbackMessage, const char* tooltip);
  // NIM_MODIFY with the stored values.
  BOOL Modify();
  // Destroys the stored icon, if any, then NIM_DELETE. The icon stays away:
  // a picture asked for later (a report's flash still queued at exit) is
  // not shown.
  void Remove();
  // The one way the tray picture changes once the icon is added: load the
  // icon at the small-icon size, Add (puts it back if it went missing),
  // Modify, then destroy the picture it replaced. User-interface thread only.
  void Show(HINSTANCE instance, int iconId);
  // A balloon beside the icon with text and no title (a tooltip where the
  // shell has no balloons); false when the shell refused it.
  bool ShowBalloon(const char* text);

 private:
  void Fill(NOTIFYICONDATAA& data) const;

  HWND m_hOwner = nullptr;
  UINT m_uId = 0;
  UINT m_uCallbackMessage = 0;
  char m_szTip[52] = "";
  HICON m_hIcon = nullptr;
};

}  // namespace k7
