// The user guide's table of the built-in profiles against the records the
// program writes and the codes it dispatches: the guide cannot drift from
// them unnoticed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dispatch/dispatch.h"
#include "profiles/default_profiles.h"

namespace k7 {
namespace {

constexpr char kHeader[] =
    "| Slot | Button in the editor | Code | Mouse mode | WinDVD | WinRip | IE | PowerPoint |";
enum Column { kSlot, kButton, kCode, kMouse, kFirstProfile, kColumns = kFirstProfile + 4 };

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The cells of the table's rows under its header (the separator row left out).
std::vector<std::vector<std::string>> GuideRows() {
  std::ifstream file(K7_USER_GUIDE);
  std::string line;
  while (std::getline(file, line) && line != kHeader) {
  }
  std::getline(file, line);  // |---|...
  std::vector<std::vector<std::string>> rows;
  while (std::getline(file, line) && line.rfind('|', 0) == 0) {
    std::vector<std::string> cells;
    std::stringstream in(line.substr(1));
    std::string cell;
    while (std::getline(in, cell, '|')) cells.push_back(Trim(cell));
    rows.push_back(cells);
  }
  return rows;
}

std::string Direction(int dx, int dy) {
  std::string d = dy < 0 ? "up" : dy > 0 ? "down" : "";
  if (dx != 0) d += std::string(d.empty() ? "" : "-") + (dx < 0 ? "left" : "right");
  return d;
}

// Every code reaching the slot, and what the first does in mouse mode.
void CodeCells(int slot, std::string& codes, std::string& mouse) {
  codes.clear();
  mouse.clear();
  for (int code = 0; code < 256; ++code) {
    if (SlotForCode(code) != slot) continue;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", code);
    if (codes.empty()) {
      const ButtonCode& e = LookupButtonCode(code);
      mouse = e.kind != ButtonKind::kMouseSlot ? "same"
              : e.mouse == MouseAction::kClick ? "left click"
                                               : "moves " + Direction(e.dx, e.dy);
    }
    codes += (codes.empty() ? "" : " ") + std::string(hex);
  }
  if (codes.empty()) codes = "none";
}

std::string ProfileCell(const PROFILESLOT& slot) {
  if (slot.szHotkey[0] == '\0' && slot.szDescription[0] == '\0') return "";
  return Trim(std::string("`") + slot.szHotkey + "` " + slot.szDescription);
}

TEST(UserGuide, ButtonTableMatchesTheBuiltInProfilesAndTheCodes) {
  const std::vector<std::vector<std::string>> rows = GuideRows();
  ASSERT_EQ(rows.size(), static_cast<size_t>(kProfileSlotCount)) << "table under: " << kHeader;
  std::vector<APPPROFILE> profiles(kDefaultProfileCount);
  for (int p = 0; p < kDefaultProfileCount; ++p) BuildDefaultProfile(&profiles[p], p);
  for (int slot = 0; slot < kProfileSlotCount; ++slot) {
    const std::vector<std::string>& row = rows[slot];
    SCOPED_TRACE("slot " + std::to_string(slot));
    ASSERT_EQ(row.size(), static_cast<size_t>(kColumns));
    EXPECT_EQ(row[kSlot], std::to_string(slot));
    std::string codes, mouse;
    CodeCells(slot, codes, mouse);
    EXPECT_EQ(row[kCode], codes);
    EXPECT_EQ(row[kMouse], mouse);
    for (int p = 0; p < kDefaultProfileCount; ++p) {
      EXPECT_EQ(row[kFirstProfile + p], ProfileCell(profiles[p].slots[slot]))
          << profiles[p].szAppName;
    }
  }
}

}  // namespace
}  // namespace k7
