#include "app/single_instance.h"

#include <gtest/gtest.h>

namespace k7 {
namespace {

TEST(SingleInstance, OnlyADialogOfOurExecutablesIsARunningCopy) {
  struct Row {
    const char* windowClass;
    const char* exe;
    bool copy;
  } const rows[] = {
      {"#32770", "K7F3.exe", true},
      {"#32770", "k7f3-SIM.EXE", true},
      {"CabinetWClass", "explorer.exe", false},  // a folder of that name
      {"#32770", "notepad.exe", false},          // another program's dialog
      {"K7TargetWindow", "K7F3.exe", false},     // our name, not our window
      {"#32770", "K7F3.exe.old", false},
      {"#32770", "", false},  // the process has gone
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsRunningCopyWindow(row.windowClass, row.exe), row.copy)
        << row.windowClass << " " << row.exe;
  }
}

}  // namespace
}  // namespace k7
