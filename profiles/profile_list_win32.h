// A combo box as a profile list, and the few other things the settings
// window and the editor ask of their profile boxes.
#pragma once

#include <windows.h>

#include <string>

#include "profiles/profile_store.h"

namespace k7 {

class ComboProfileList : public IProfileList {
 public:
  explicit ComboProfileList(HWND combo = nullptr) : combo_(combo) {}
  void Clear() override;
  void Append(const char* name) override;
  void SelectFirst() override;

  // Selects the entry of exactly this name; false (the selection kept) when
  // none has it.
  bool Select(const char* name);
  // Index of the selected entry; -1 when none is.
  int SelectedIndex() const;
  // The selected entry; false when none is selected or it is longer than a
  // profile name can be (a cut name could be another profile's).
  bool SelectedName(std::string& name) const;
  // Whether an entry has this name, in any letter case.
  bool Contains(const char* name) const;
  // At the end, whatever the box's sorting (the list keeps file order), and
  // selected.
  void AppendAndSelect(const char* name);
  // Takes the last entry out again and selects entry index (-1: none).
  void DropLastAndSelect(int index);

 private:
  HWND combo_;
};

}  // namespace k7
