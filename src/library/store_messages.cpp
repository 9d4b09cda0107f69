#include "library/store_messages.h"

namespace kova {

std::string StoreOutcomeText(const StoreOutcome& outcome) {
  switch (outcome.status) {
    case StoreStatus::kOk:
      return "";
    case StoreStatus::kReadOnly:
      return "The library may only be read with this user's rights: records cannot be added or "
             "changed (" +
             outcome.detail + ")";
    case StoreStatus::kNewerSchema:
      return outcome.detail + ": update the program to use it.";
    case StoreStatus::kFailed:
    case StoreStatus::kMissing:
      break;
  }
  return outcome.detail;
}

}  // namespace kova
