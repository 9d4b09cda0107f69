#include "app/start_page.h"

#include "base/codepage.h"

namespace kova {

const std::vector<StartAction>& StartActions() {
  static const std::vector<StartAction> actions = {
      {"Download tests from the instrument", CommandId::kTestDirectory},
      {"Open a test", CommandId::kOpenTest},
      {"Open the record library", CommandId::kLibrary},
      {"Run a test plan", CommandId::kRunTest},
  };
  return actions;
}

std::string RecordsKeptText(const std::string& record_folder, const std::string& library) {
  std::string text = "Test records are kept in " + SystemNameToCp1252(record_folder);
  if (!library.empty()) text += "; the record library is " + SystemNameToCp1252(library);
  return text + ". Change the folder under Application Setup.";
}

}  // namespace kova
