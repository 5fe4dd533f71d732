// Fixture of the settings window's and the caption's tests under Wine: the
// sim variant of the program in a scratch directory (first run, or INI files
// of the test's making), the virtual receiver, a target window when a test
// presses buttons, and the files read back from disk.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/program.h"
#include "harness/program_test.h"
#include "harness/remote_sim_driver.h"
#include "harness/settings_window.h"

namespace k7::settingstest {

// What the first run writes for the built-in profiles.
constexpr char kWinDvdPath[] = "C:\\Program Files\\InterVideo\\WinDVD\\WinDVD.exe";
constexpr char kWinRipPath[] = "C:\\Program Files\\InterVideo\\WinRip\\WinRip.exe";
constexpr char kIePath[] = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";
constexpr char kPowerPointPath[] = "C:\\Program Files\\Microsoft Office\\Office\\powerpnt.exe";

// The three INI files at one moment, byte for byte.
struct IniFiles {
  std::string ctrl, userDef, userDefInf;
  bool operator==(const IniFiles&) const = default;
};
// The short control file in full, the two profile files by size: enough to
// see which one changed without pages of output.
std::ostream& operator<<(std::ostream& os, const IniFiles& f);

// The golden copy of a file as the first run writes it.
std::string Golden(const char* name);

class SettingsTest : public harness::ProgramTest {
 protected:
  // Puts the first run's files beside the program (which is then no first
  // run): tests change them before the start.
  void PlaceGoldenFiles();
  // WritePrivateProfileStringA on one of the program's files.
  void WriteIni(const char* file, const char* section, const char* key, const char* value) const;
  // Starts the virtual receiver and the program, and waits until its
  // start-up is over and its reader is connected.
  void StartProgram();
  // Tray "Open": waits until the settings window shows.
  void OpenSettings();

  harness::IniText Ini(const char* file) const;
  std::optional<std::string> Value(const char* file, const char* section, const char* key) const;
  IniFiles Files() const;

  // A target window under exeName (made on the first call), in front with
  // the keyboard focus.
  harness::TargetApp& Front(const std::string& exeName);
  // A code pressed on the remote; the simulator must deliver it.
  void Press(unsigned code);
  // Keys the harness injects, tagged as its own.
  static void Type(const std::string& lowercaseLetters);

  void EndAll() override {
    target_.reset();
    settings_.reset();
    ProgramTest::EndAll();
  }

  std::unique_ptr<harness::SettingsWindow> settings_;
};

}  // namespace k7::settingstest
