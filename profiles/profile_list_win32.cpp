#include "profiles/profile_list_win32.h"

#include <cstring>

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

bool ComboProfileList::Select(const char* name) {
  // Byte for byte: the box's own search ignores case, and two names that
  // differ only in case may both be listed.
  const LRESULT count = SendMessageA(combo_, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(combo_, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == CB_ERR || length > kMaxProfileName) continue;
    char text[kMaxProfileName + 1] = "";
    SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    if (std::strcmp(text, name) != 0) continue;
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    return true;
  }
  return false;
}

int ComboProfileList::SelectedIndex() const {
  const LRESULT index = SendMessageA(combo_, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

bool ComboProfileList::SelectedName(std::string& name) const {
  name.clear();
  const int index = SelectedIndex();
  if (index < 0) return false;
  const LRESULT length = SendMessageA(combo_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length > kMaxProfileName) return false;
  char text[kMaxProfileName + 1] = "";
  SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  name = text;
  return true;
}

bool ComboProfileList::Contains(const char* name) const {
  return SendMessageA(combo_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(name)) != CB_ERR;
}

void ComboProfileList::AppendAndSelect(const char* name) {
  const LRESULT index = SendMessageA(combo_, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name));
  SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ComboProfileList::DropLastAndSelect(int index) {
  const LRESULT count = SendMessageA(combo_, CB_GETCOUNT, 0, 0);
  if (count > 0) SendMessageA(combo_, CB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
  SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace k7
