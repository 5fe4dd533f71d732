#include "app/tray_menu.h"

namespace k7 {
namespace {

constexpr TrayMenuTexts kEnglish = {"Open Editer", "Reload", "Disable",
                                    "Enable",      "Exit",   "Events..."};

// Big5 bytes of the Traditional Chinese texts.
constexpr TrayMenuTexts kChinese = {
    "\xB6\x7D\xB1\xD2\xBD\x73\xBF\xE8\xBE\xB9",  // open the editor
    "\xAD\xAB\xB7\x73\xB8\xFC\xA4\x4A",          // reload
    "\xB0\xB1\xA6\xAC\xB0\x54\xB8\xB9",          // stop receiving signals
    "\xB6\x7D\xA9\x6C\xA6\xAC\xB0\x54\xB8\xB9",  // start receiving signals
    "\xC2\xF7\xB6\x7D",                          // leave
    "\xA8\xC6\xA5\xF3\xB0\x4F\xBF\xFD...",       // event record
};

}  // namespace

const TrayMenuTexts& LoadTrayMenuTexts(uint16_t systemLangId) {
  return systemLangId == kLangTraditionalChinese ? kChinese : kEnglish;
}

std::vector<TrayMenuItem> BuildTrayMenu(const TrayMenuTexts& texts, bool disabled) {
  return {
      {ID_TRAY_OPEN, texts.open},
      {ID_TRAY_RELOAD, texts.reload},
      disabled ? TrayMenuItem{ID_TRAY_ENABLE, texts.enable}
               : TrayMenuItem{ID_TRAY_DISABLE, texts.disable},
      {ID_TRAY_EVENTS, texts.events},
      {ID_TRAY_EXIT, texts.exit},
  };
}

}  // namespace k7
