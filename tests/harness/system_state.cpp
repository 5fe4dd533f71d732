#include "harness/system_state.h"

namespace k7::harness {

bool NumLockOn() {
  return (GetKeyState(VK_NUMLOCK) & 1) != 0;
}

namespace {

void TapNumLock() {
  keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY, kHarnessExtraInfo);
  keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, kHarnessExtraInfo);
}

}  // namespace

bool SetNumLock(bool on, DWORD timeoutMs) {
  // Under Wine a thread's view of the toggles starts all off and follows only
  // the changes made after the thread first asked: one press makes it true,
  // and only then can it say whether a second press is needed.
  TapNumLock();
  if (NumLockOn() != on) TapNumLock();
  return WaitUntil([on] { return NumLockOn() == on; }, timeoutMs);
}

void ReleaseModifiers() {
  static const BYTE kModifiers[] = {VK_LCONTROL, VK_RCONTROL, VK_LMENU,
                                    VK_RMENU,    VK_LSHIFT,   VK_RSHIFT};
  for (BYTE vk : kModifiers) {
    if (GetAsyncKeyState(vk) & 0x8000) keybd_event(vk, 0, KEYEVENTF_KEYUP, kHarnessExtraInfo);
  }
  static const BYTE kGeneric[] = {VK_CONTROL, VK_MENU, VK_SHIFT};
  for (BYTE vk : kGeneric) {
    if (GetAsyncKeyState(vk) & 0x8000) keybd_event(vk, 0, KEYEVENTF_KEYUP, kHarnessExtraInfo);
  }
}

void TapKey(BYTE vk) {
  keybd_event(vk, 0, 0, kHarnessExtraInfo);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, kHarnessExtraInfo);
}

MouseAccelerationOff::MouseAccelerationOff() {
  if (!SystemParametersInfoA(SPI_GETMOUSE, 0, saved_, 0)) ThrowLastError("SPI_GETMOUSE");
  int off[3] = {0, 0, 0};
  if (!SystemParametersInfoA(SPI_SETMOUSE, 0, off, 0)) ThrowLastError("SPI_SETMOUSE");
  restore_ = true;
}

MouseAccelerationOff::~MouseAccelerationOff() {
  if (restore_) SystemParametersInfoA(SPI_SETMOUSE, 0, saved_, 0);
}

namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kLogPixels[] = "LogPixels";

}  // namespace

ScopedLogPixels::ScopedLogPixels(DWORD dpi) {
  DWORD size = sizeof saved_;
  DWORD type = 0;
  had_ = RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, &type, &saved_,
                      &size) == ERROR_SUCCESS;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    ThrowLastError("RegCreateKeyEx Desktop");
  }
  const LONG set = RegSetValueExA(key, kLogPixels, 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
  if (set != ERROR_SUCCESS) ThrowLastError("RegSetValueEx LogPixels");
}

ScopedLogPixels::~ScopedLogPixels() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  if (had_) {
    RegSetValueExA(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved_),
                   sizeof saved_);
  } else {
    RegDeleteValueA(key, kLogPixels);
  }
  RegCloseKey(key);
}

}  // namespace k7::harness
