#include "settings_test.h"

#include "res/resource.h"

#include <iostream>

namespace k7::settingstest {
namespace {

std::string GoldenPath(const char* name) {
  return std::string(K7_TEST_DATA_DIR "/first_run/") + name;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const IniFiles& f) {
  return os << "\n--- QVCtrl.ini ---\n"
            << f.ctrl << "--- UserDef.ini: " << f.userDef.size()
            << " bytes; UserDefInf.ini: " << f.userDefInf.size() << " bytes ---";
}

std::string Golden(const char* name) {
  return harness::ReadFileShared(GoldenPath(name));
}

void SettingsTest::PlaceGoldenFiles() {
  for (const char* name : harness::kProgramIniFiles) {
    const std::string golden = Golden(name);
    ASSERT_FALSE(golden.empty()) << "golden file missing: " << GoldenPath(name);
    scratch_.CopyIn(GoldenPath(name), name);
  }
}

void SettingsTest::WriteIni(const char* file, const char* section, const char* key,
                            const char* value) const {
  scratch_.WriteIni(file, section, key, value);
}

void SettingsTest::StartProgram() {
  sim_ = std::make_unique<harness::RemoteSim>(K7_REMOTE_SIM_PATH);
  ASSERT_EQ(sim_->Send("sleep 0"), "ok");
  program_ = std::make_unique<harness::Program>(scratch_.Path(), harness::ProgramKind::kSim);
  settings_ = std::make_unique<harness::SettingsWindow>(*program_);
  program_->Start();
  ASSERT_TRUE(program_->WaitReady()) << "start-up did not finish";
  // The discovery probe comes and goes; the reader stays.
  int seen = 0;
  ASSERT_TRUE(harness::WaitUntil(
      [&] {
        seen = sim_->Send("wait-client 0") == "ok clients=1" ? seen + 1 : 0;
        return seen >= 3;
      },
      harness::kWaitMs, 20))
      << "the program never connected to the receiver";
}

void SettingsTest::OpenSettings() {
  ASSERT_TRUE(program_->Command(harness::TrayCommand::kOpen)) << "Open was not answered";
  ASSERT_TRUE(settings_->WaitVisible(true)) << "the settings window did not show";
  // Its X focus, handled late, would take the foreground back from the next
  // application brought to the front.
  constexpr WPARAM kMarker = 12345;
  ASSERT_TRUE(harness::SettleThreadOf(settings_->Item(IDC_EXE_PATH), EM_SETLIMITTEXT,
                                      EM_GETLIMITTEXT, kMarker))
      << "the settings window's thread did not take in its X events";
}

harness::IniText SettingsTest::Ini(const char* file) const {
  return harness::IniText::Load(program_->IniPath(file));
}

std::optional<std::string> SettingsTest::Value(const char* file, const char* section,
                                               const char* key) const {
  return Ini(file).Value(section, key);
}

IniFiles SettingsTest::Files() const {
  return {harness::ReadFileShared(program_->IniPath("QVCtrl.ini")),
          harness::ReadFileShared(program_->IniPath("UserDef.ini")),
          harness::ReadFileShared(program_->IniPath("UserDefInf.ini"))};
}

harness::TargetApp& SettingsTest::Front(const std::string& exeName) {
  if (target_ == nullptr) {
    target_ = std::make_unique<harness::TargetApp>(scratch_, exeName);
  }
  EXPECT_TRUE(target_->RequestForeground()) << exeName << " did not come to the front";
  return *target_;
}

void SettingsTest::Press(unsigned code) {
  EXPECT_EQ(sim_->Press(code), 1) << "press 0x" << std::hex << code;
}

void SettingsTest::Type(const std::string& lowercaseLetters) {
  for (char c : lowercaseLetters) {
    // Virtual-key codes of letters are the capitals; without Shift they
    // type the small letter.
    harness::TapKey(static_cast<BYTE>(c - 'a' + 'A'));
  }
}

}  // namespace k7::settingstest
