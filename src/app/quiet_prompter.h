#pragma once
// A prompter that shows nothing: messages are dropped, questions get OK,
// choices are cancelled, the wait dialog just runs its operation. For
// benchmarks, fuzz targets and unattended work.

#include <functional>
#include <string>

#include "base/prompter.h"

namespace kova {

class QuietPrompter : public Prompter {
 public:
  Answer Message(const std::string&, const std::string&, Buttons, Icon) override {
    return Answer::Ok;
  }
  bool ChooseOpenFile(const std::string&, const std::string&, const std::string&,
                      std::string&) override {
    return false;
  }
  bool ChooseSaveFile(const std::string&, const std::string&, const std::string&,
                      std::string&) override {
    return false;
  }
  bool ChooseFolder(const std::string&, const std::string&, std::string&) override { return false; }
  bool PromptText(const std::string&, const std::string&, std::string&) override { return false; }
  bool RunWaiting(const std::string&, const std::function<bool()>& operation) override {
    return operation();
  }
};

}  // namespace kova
