#pragma once
// Base of the tests that run the kova tool from the outside: a fresh folder
// per test and settings of its own, so the user's settings are never used.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {

class KovaCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = TempFolder(std::string(info->test_suite_name()) + "-" + info->name());
    env_ = {"KOVA_SETTINGS=" + dir_ + "/settings.ini", "QT_QPA_PLATFORM=offscreen"};
  }
  ProgramResult Kova(const std::vector<std::string>& args, const std::string& stdin_text = "") {
    return RunProgram(BuiltProgram("kova"), args, env_, stdin_text);
  }

  std::string dir_;
  std::vector<std::string> env_;
};

}  // namespace kova
