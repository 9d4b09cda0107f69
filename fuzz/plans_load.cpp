// Plan files, tagged and bare image files, and the instrument's hex reply to
// a plan fetch, as they come from disks, drives and the link.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "plans/plan_json.h"
#include "plans/test_plan.h"

namespace {

// The folder decides how a file without a header is read.
const char* const kPaths[] = {
    "/fuzz/plans/any.plan",
    "/media/usb/HELMARK/KOVA-7KB/PLAN_000",
    "E:\\HELMARK\\KOVA-R5A\\PLAN_001",
    "/media/usb/helmark/kova-7ka/plan_002",
};

// A plan that loaded writes a file that loads to the same plan again.
void CheckRewrite(const kova::kvTestPlan& plan) {
  const std::vector<uint8_t> bytes = plan.FileBytes(plan.image, kova::kPlanImageCapacity);
  kova::kvTestPlan again;
  if (!again.LoadBytes(bytes.data(), bytes.size(), "/fuzz/again.plan")) std::abort();
  if (again.FileBytes(again.image, kova::kPlanImageCapacity) != bytes) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const char* path : kPaths) {
    kova::kvTestPlan plan;
    if (!plan.LoadBytes(data, size, path)) continue;
    CheckRewrite(plan);
    (void)kova::PlanToJson(plan).Dump(1);
    plan.EncodeImage(plan.image);
    (void)plan.ImageLinkText();
  }
  uint8_t image[kova::kPlanImageCapacity];
  size_t count = 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (kova::PlanImageFromHexLines(text, image, count)) {
    if (count > kova::kPlanImageCapacity) std::abort();
    kova::kvTestPlan plan;
    plan.devicetype = count > 512 ? kova::kPlanKova7100BC : kova::kPlanKova7100;
    (void)plan.DecodeImage(image, sizeof image);
  }
  return 0;
}
