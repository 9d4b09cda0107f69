// The plan file (".plan"): magic, version, device type, the image and the
// blocks only the PC uses. Load also takes the instrument's tagged image
// files and the bare image files of a thumb drive.

#include <algorithm>
#include <cstring>

#include "base/file_io.h"
#include "base/le_bytes.h"
#include "plans/test_plan.h"

namespace kova {
namespace {

// No plan file comes near this; anything larger is not one.
constexpr size_t kMaxPlanFileBytes = 1024 * 1024;
constexpr size_t kTagNameChars = 10;
constexpr size_t kTaggedImageOffset = 256;

bool StartsWithTag(const uint8_t* data, size_t size) {
  return size >= 4 && std::memcmp(data, "KOVA", 4) == 0;
}

// The instrument names its model in the first ten bytes of a tagged file.
int TypeFromTagName(const uint8_t* data) {
  std::string name(reinterpret_cast<const char*>(data), kTagNameChars);
  name = name.substr(0, name.find('\0'));
  if (name.find("-7100A") != std::string::npos || name.find("KOVA-R5A") != std::string::npos) {
    return kPlanKova7100;
  }
  if (name.find("-7KA") != std::string::npos) return kPlanKova7KA;
  return kPlanKova7100BC;
}

// Copies the image of `plan`'s type from `data` at `offset`; the file must
// hold all of it. Bytes past the image size, up to the capacity, are copied
// when the file has them.
bool TakeImage(kvTestPlan& plan, const uint8_t* data, size_t size, size_t offset) {
  if (offset > size || size - offset < plan.ImageSize()) return false;
  std::memset(plan.image, 0, kPlanImageCapacity);
  std::memcpy(plan.image, data + offset, std::min(kPlanImageCapacity, size - offset));
  return true;
}

// Every part of the file's version must be present: a truncated file is
// refused rather than loaded with parts missing.
bool ReadPlanFile(kvTestPlan& plan, const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  uint32_t magic = 0, version = 0;
  // Version 0 files exist and are laid out like version 1.
  if (!in.U32(magic) || !in.U32(version)) return false;
  int32_t devicetype = kPlanKova7100;
  if (version >= 2 && !in.I32(devicetype)) return false;
  plan.devicetype = devicetype;
  std::memset(plan.image, 0, kPlanImageCapacity);
  uint8_t passfail[kPassFailBlockSize];
  uint8_t resistance[kResistanceBlockSize];
  if (!in.Bytes(plan.image, plan.ImageSize()) || !in.Bytes(passfail, sizeof passfail) ||
      !in.Bytes(resistance, sizeof resistance)) {
    return false;
  }
  plan.passfail.FromBytes(passfail);
  plan.resistance.FromBytes(resistance);
  if (version >= 3 && !in.LengthPrefixed(plan.taporder, in.Remaining())) return false;
  // Class settings are cleared for every plan file; only version 4 has them.
  uint8_t classbytes[kClassSettingsSize] = {};
  if (version >= 4) {
    uint32_t length = 0;
    if (!in.U32(length) || length > in.Remaining()) return false;
    // Always 32 as written; a shorter block fills the start, a longer one
    // (all of it inside the file) gives its first 32 bytes.
    if (!in.Bytes(classbytes, std::min<size_t>(length, kClassSettingsSize))) return false;
  }
  plan.classsettings.FromBytes(classbytes);
  return in.Ok();
}

}  // namespace

bool kvTestPlan::Load(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, kMaxPlanFileBytes)) return false;
  return LoadBytes(bytes.data(), bytes.size(), path);
}

bool kvTestPlan::LoadBytes(const uint8_t* data, size_t size, const std::string& path) {
  if (data == nullptr) size = 0;
  // Work on a copy so that a file that does not load changes nothing.
  kvTestPlan plan(*this);
  plan.passfail = PassFailBlock();
  uint32_t magic = 0;
  if (!ReadU32LE(data, size, 0, magic)) return false;
  if (magic == kPlanFileMagic) {
    if (!ReadPlanFile(plan, data, size)) return false;
  } else if (StartsWithTag(data, size)) {
    if (size < kTagNameChars) return false;
    plan.devicetype = TypeFromTagName(data);
    if (!TakeImage(plan, data, size, kTaggedImageOffset)) return false;
  } else {
    int type = TypeFromPath(path);
    if (type < 0) return false;
    // The KOVA-7KA folder holds KOVA-7KA images (36-byte tap blocks) and
    // KOVA-7100 ones (32-byte blocks): read the image in the layout its
    // bytes fit, and refuse one that fits neither rather than turn it into
    // other taps. A one-tap image reads the same in both.
    if (type == kPlanKova7KA && size >= PlanImageSize(type) &&
        !PlanTapBlocksPlausible(data, size, kPlanKova7KA)) {
      if (!PlanTapBlocksPlausible(data, size, kPlanKova7100)) return false;
      type = kPlanKova7100;
    }
    plan.devicetype = type;
    if (!TakeImage(plan, data, size, 0)) return false;
  }
  if (!plan.DecodeImage(plan.image, kPlanImageCapacity)) return false;
  *this = std::move(plan);
  return true;
}

std::vector<uint8_t> kvTestPlan::FileBytes(const uint8_t* source, size_t size) const {
  uint8_t out_image[kPlanImageCapacity] = {};
  if (source != nullptr) std::memcpy(out_image, source, std::min(size, kPlanImageCapacity));
  uint8_t passfail_bytes[kPassFailBlockSize];
  uint8_t resistance_bytes[kResistanceBlockSize];
  uint8_t class_bytes[kClassSettingsSize];
  passfail.ToBytes(passfail_bytes);
  resistance.ToBytes(resistance_bytes);
  classsettings.ToBytes(class_bytes);

  ByteWriter out;
  out.U32(kPlanFileMagic);
  out.U32(kPlanFileVersion);
  out.I32(devicetype);
  out.Bytes(out_image, ImageSize());
  out.Bytes(passfail_bytes, sizeof passfail_bytes);
  out.Bytes(resistance_bytes, sizeof resistance_bytes);
  out.LengthPrefixed(taporder);
  out.U32(static_cast<uint32_t>(kClassSettingsSize));
  out.Bytes(class_bytes, sizeof class_bytes);
  return std::move(out.Data());
}

bool kvTestPlan::WriteFile(const std::string& path, const uint8_t* source, size_t size) const {
  return WriteFileAtomically(path, FileBytes(source, size));
}

bool kvTestPlan::Save(const std::string& path) {
  EncodeImage(image);
  return WriteFile(path, image, kPlanImageCapacity);
}

}  // namespace kova
