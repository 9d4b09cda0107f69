// The JSON form of a plan as scripts write it, and the mount table that
// locates a thumb drive.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/json.h"
#include "plans/plan_json.h"
#include "plans/test_plan.h"
#include "plans/thumb_drive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kova::JsonValue json;
  std::string error;
  if (kova::JsonValue::Parse(text, json, error)) {
    kova::kvTestPlan plan;
    if (kova::PlanFromJson(json, plan, error)) {
      // What was accepted is a plan that writes and reads back.
      const auto bytes = plan.FileBytes(plan.image, kova::kPlanImageCapacity);
      kova::kvTestPlan again;
      if (!again.LoadBytes(bytes.data(), bytes.size(), "/fuzz/x.plan")) std::abort();
    } else if (error.empty()) {
      std::abort();  // a refusal always says why
    }
  }
  const auto mounts = kova::ParseMountPoints(text);
  (void)kova::LongestMountPrefix("/media/usb/HELMARK/KOVA-7KB", mounts);
  return 0;
}
