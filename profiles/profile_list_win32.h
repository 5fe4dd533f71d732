// A combo box as a profile list.
#pragma once

#include <windows.h>

#include "profiles/profile_store.h"

namespace k7 {

class ComboProfileList : public IProfileList {
 public:
  explicit ComboProfileList(HWND combo) : combo_(combo) {}
  void Clear() override;
  void Append(const char* name) override;
  void SelectFirst() override;

 private:
  HWND combo_;
};

}  // namespace k7
