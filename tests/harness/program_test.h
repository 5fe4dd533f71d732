// The fixture of the tests that drive the real program: a scratch directory
// named after the test, a hook recorder, and the virtual receiver, the
// program and a target window, all ended in the right order whatever the
// test's outcome. Header only: the harness library itself has no GoogleTest.
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>

#include "harness/hook_recorder.h"
#include "harness/program.h"
#include "harness/remote_sim_driver.h"
#include "harness/scratch_dir.h"
#include "harness/system_state.h"
#include "harness/target_app.h"

namespace k7::harness {

// "Suite.Test" of the running test, for directory names.
inline std::string CurrentTestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
                         : std::string("test");
}

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() : scratch_(CurrentTestName()) {}

  void SetUp() override {
    ReleaseModifiers();
    // Off before anything starts: a hotkey that is no keypad key would
    // otherwise come with a Num Lock correction.
    ASSERT_TRUE(SetNumLock(false));
    recorder_ = std::make_unique<HookRecorder>();
  }

  void TearDown() override {
    EndAll();
    ReleaseModifiers();
    if (HasFailure()) {
      scratch_.Keep();
      std::cout << "scratch directory kept: " << scratch_.Path() << std::endl;
    }
  }

  // The program first, while the directory and the simulator still exist.
  virtual void EndAll() {
    target_.reset();
    program_.reset();
    sim_.reset();
    recorder_.reset();
  }

  ScratchDir scratch_;
  std::unique_ptr<HookRecorder> recorder_;
  std::unique_ptr<RemoteSim> sim_;
  std::unique_ptr<Program> program_;
  std::unique_ptr<TargetApp> target_;
};

}  // namespace k7::harness
