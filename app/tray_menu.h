// The tray icon's menu: four items, built anew for each right click.
#pragma once

#include <cstdint>
#include <vector>

namespace k7 {

constexpr int ID_TRAY_OPEN = 201;
constexpr int ID_TRAY_RELOAD = 202;
constexpr int ID_TRAY_DISABLE = 203;
constexpr int ID_TRAY_ENABLE = 204;
constexpr int ID_TRAY_EXIT = 205;
constexpr int ID_TRAY_EVENTS = 206;

constexpr uint16_t kLangTraditionalChinese = 1028;  // 0x0404, Taiwan

// The five texts, in the ANSI code page they are shown in.
struct TrayMenuTexts {
  const char* open;
  const char* reload;
  const char* disable;
  const char* enable;
  const char* exit;
};

// Chinese (Big5) on a system whose default language is 1028, English otherwise.
const TrayMenuTexts& LoadTrayMenuTexts(uint16_t systemLangId);

struct TrayMenuItem {
  int id;
  const char* text;
};

// Open Editer, Reload, Disable or Enable (by the flag), Exit.
std::vector<TrayMenuItem> BuildTrayMenu(const TrayMenuTexts& texts, bool disabled);

}  // namespace k7
