#include "app/tray_win32.h"

#include <shellapi.h>

#include "base/dpi_win32.h"
#include "base/text.h"
#include "res/resource.h"

namespace k7 {

void CTrayIcon::Fill(NOTIFYICONDATAA& data) const {
  ZeroMemory(&data, sizeof data);
  // The first version of the structure: every shell since Windows 95 takes it.
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = m_hOwner;
  data.uID = m_uId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = m_uCallbackMessage;
  data.hIcon = m_hIcon;
  CopyBounded(data.szTip, sizeof m_szTip, m_szTip);
}

void CTrayIcon::Add(HWND owner, HICON icon, UINT id, UINT callbackMessage, const char* tooltip) {
  const HICON replaced = m_hIcon;
  m_hOwner = owner;
  m_hIcon = icon;
  m_uId = id;
  m_uCallbackMessage = callbackMessage;
  CopyBounded(m_szTip, tooltip);
  NOTIFYICONDATAA data;
  Fill(data);
  Shell_NotifyIconA(NIM_ADD, &data);
  // The shell keeps its own copy of the picture.
  if (replaced != nullptr && replaced != icon) DestroyIcon(replaced);
}

BOOL CTrayIcon::Modify() {
  NOTIFYICONDATAA data;
  Fill(data);
  return Shell_NotifyIconA(NIM_MODIFY, &data);
}

void CTrayIcon::Remove() {
  if (m_hIcon != nullptr) {
    DestroyIcon(m_hIcon);
    m_hIcon = nullptr;
  }
  NOTIFYICONDATAA data;
  Fill(data);
  Shell_NotifyIconA(NIM_DELETE, &data);
  m_hOwner = nullptr;
}

HICON LoadTrayPicture(HINSTANCE instance, int iconId) {
  // At the small-icon size of the session's DPI, the one the notification
  // area draws at, so the image drawn for it is chosen rather than another
  // one stretched. Not shared: its holder destroys it.
  return LoadIconForDpi(instance, iconId, true, SystemDpi());
}

void CTrayIcon::Show(HINSTANCE instance, int iconId) {
  if (m_hOwner == nullptr) return;
  // The old picture goes only once the shell shows the new one.
  const HICON shown = m_hIcon;
  m_hIcon = nullptr;
  Add(m_hOwner, LoadTrayPicture(instance, iconId), m_uId, m_uCallbackMessage, m_szTip);
  Modify();
  if (shown != nullptr) DestroyIcon(shown);
}

}  // namespace k7

namespace k7 {

bool CTrayIcon::ShowBalloon(const char* text) {
  if (m_hOwner == nullptr) return false;
  NOTIFYICONDATAA data;
  Fill(data);
  // The balloon's fields came with the second version of the structure.
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  // The picture and tip again with it, so that the icon stays as it is.
  data.uFlags |= NIF_INFO;
  CopyBounded(data.szInfo, text);
  data.szInfoTitle[0] = '\0';
  data.dwInfoFlags = NIIF_NONE;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

}  // namespace k7
