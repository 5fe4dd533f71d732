#include "profiles/profile_list_win32.h"

namespace k7 {

void ComboProfileList::Clear() {
  SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
}

void ComboProfileList::Append(const char* name) {
  // Inserted at the end, not added: the box keeps file order even if sorted.
  SendMessageA(combo_, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
}

void ComboProfileList::SelectFirst() {
  SendMessageA(combo_, CB_SETCURSEL, 0, 0);
}

}  // namespace k7
