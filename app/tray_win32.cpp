#include "app/tray_win32.h"

#include <shellapi.h>

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
  m_hOwner = owner;
  m_hIcon = icon;
  m_uId = id;
  m_uCallbackMessage = callbackMessage;
  CopyBounded(m_szTip, tooltip);
  NOTIFYICONDATAA data;
  Fill(data);
  Shell_NotifyIconA(NIM_ADD, &data);
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

void CTrayIcon::Show(HINSTANCE instance, int iconId) {
  if (m_hOwner == nullptr) return;
  Add(m_hOwner, LoadIconA(instance, MAKEINTRESOURCEA(iconId)), m_uId, m_uCallbackMessage, m_szTip);
  Modify();
}

}  // namespace k7
