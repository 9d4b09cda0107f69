// The assessment profile a user writes beside a record.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "assess/profile_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kova::AssessmentProfile p;
  std::string error;
  if (kova::ParseAssessmentProfile(text, p, error)) {
    // What was accepted writes out and reads back the same.
    kova::AssessmentProfile again;
    const std::string json = kova::AssessmentProfileToJson(p);
    if (!kova::ParseAssessmentProfile(json, again, error)) std::abort();
    if (kova::AssessmentProfileToJson(again) != json) std::abort();
  } else if (error.empty()) {
    std::abort();  // a refusal always says why
  }
  return 0;
}
