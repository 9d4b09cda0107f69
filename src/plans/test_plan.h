#pragma once
// One test plan: which taps of a multi-ratio CT the instrument tests and how,
// the header texts it prints into the record, and the pass/fail, resistance
// and class settings the program applies to the records made from it.
//
// `image` is the plan in the instrument's own layout (512 bytes, or 1024 for
// type 2). Only EncodeImage rebuilds it from the fields; uploads and the
// thumb-drive export send it exactly as Load read it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/instrument_model.h"
#include "records/plan_blocks.h"

namespace kova {

constexpr size_t kPlanImageCapacity = 1024;
constexpr int kMaxPlanTaps = 10;
constexpr size_t kPlanHeaderTextChars = 20;
constexpr uint32_t kPlanFileMagic = 0x0BADF00D;
constexpr uint32_t kPlanFileVersion = 4;

// Instrument types (the instrument's model codes).
enum PlanDeviceType : int {
  kPlanKova7100 = ModelCodeOf(InstrumentModel::k7100),
  kPlanKovaR5 = ModelCodeOf(InstrumentModel::kR5),
  kPlanKova7100BC = ModelCodeOf(InstrumentModel::k7100BC),
  kPlanKova7KC = 3,  // names the KOVA-7KC thumb-drive folder only
  kPlanKova7KA = ModelCodeOf(InstrumentModel::k7KA),
};

// Image geometry of a device type: 1024 bytes with 64-byte tap blocks for
// type 2, 512 with 36-byte blocks for type 4, 512 with 32-byte blocks else.
size_t PlanImageSize(int devicetype);
size_t PlanTapBlockSize(int devicetype);
// True when the image's tap blocks, read with `devicetype`'s block size,
// look like tap blocks: a count of 0..10, tap codes 0..9, test bits 0..31
// and notes without control characters. KOVA-7100 (32-byte blocks) and
// KOVA-7KA (36-byte blocks) images share one thumb-drive folder; this tells
// them apart.
bool PlanTapBlocksPlausible(const uint8_t* image, size_t size, int devicetype);

struct PlanTap {
  double nNamePlateNum = 0;    // primary amperes
  double fNamePlateDen = 0;    // secondary amperes
  int tapid = 1;               // tap code - 1
  int uTestType = 1;           // kRatioTest | kResistanceTest | ...
  double fVoltageRange = 500;  // excitation voltage limit, V
  double fCurrentRange = 5;    // excitation current limit, A
  std::string szTestNote;
  int bDoBurdenTest = 0;  // current ratio error calculation on
  double fBurdenVA = 0;
  double fCosPhi = 0;
  double fSecCurrent = 0;
};

class kvTestPlan {
 public:
  kvTestPlan();
  virtual ~kvTestPlan() = default;
  kvTestPlan(const kvTestPlan&) = default;
  kvTestPlan& operator=(const kvTestPlan&) = default;
  kvTestPlan(kvTestPlan&&) = default;
  kvTestPlan& operator=(kvTestPlan&&) = default;

  uint8_t image[kPlanImageCapacity] = {};
  int kneetype = 1;  // 1 IEEE 30, 2 IEEE 45, 3 IEC 10/50
  int numtests = 0;  // tap entries in use, 0..10
  std::string model, station, manufacturer, comment, company, circuit;
  std::string serialnumber, operatorname;  // neither in the image nor in the file
  int insulationvoltage = 50;              // tens of volts
  int burdencurrent = 0;                   // tenths of an ampere
  PlanTap taps[kMaxPlanTaps];
  int devicetype = kPlanKova7100BC;
  PassFailBlock passfail;
  ResistanceBlock resistance;
  ClassSettings classsettings;
  std::string taporder;

  size_t ImageSize() const { return PlanImageSize(devicetype); }

  // Reads a plan file (versions 1 to 4), a tagged image file (beginning with
  // "KOVA") or a bare image file recognised by its thumb-drive folder, and
  // decodes the image. On failure the plan is left as it was.
  bool Load(const std::string& path);
  // The same on the bytes of a file; `path` only serves to recognise a bare
  // image by its folder.
  bool LoadBytes(const uint8_t* data, size_t size, const std::string& path);

  // Rebuilds `image` from the fields and writes the plan file.
  bool Save(const std::string& path);
  // Writes a version-4 plan file with the given image (ImageSize() bytes are
  // taken; a shorter buffer is filled up with zeros) and this plan's other
  // parts, atomically.
  bool WriteFile(const std::string& path, const uint8_t* source, size_t size) const;
  // The bytes WriteFile writes.
  std::vector<uint8_t> FileBytes(const uint8_t* source, size_t size) const;

  // Builds the image of the fields into a target of kPlanImageCapacity bytes.
  void EncodeImage(uint8_t* target) const;
  // Sets the fields from an image of at least ImageSize() bytes. Fails,
  // changing nothing, when the image is too short or claims more than ten
  // tap entries.
  bool DecodeImage(const uint8_t* source, size_t size);

  // The image as the link carries it: two lower-case hex digits a byte,
  // ImageSize() bytes.
  std::string ImageLinkText() const;

  // Thumb drives (see thumb_drive.h for the commands).
  // Type from the thumb-drive folder named in a path, or -1.
  static int TypeFromPath(const std::string& path);
  // The model folder of a type below a drive root, with the platform's
  // separators, beginning and ending with one ("/HELMARK/KOVA-7KB/").
  static std::string FolderForType(int type);
  // One more than the highest "PLAN_" number in the type's folder, or 0.
  static int NextDriveNumber(const std::string& drive, int type);
  // Writes `image` as the file "PLAN_%03d" of `number` into the folder of
  // `type` below `drive`.
  bool ExportToDrive(const std::string& drive, int type, int number) const;
};

// Turns the instrument's reply to a plan fetch (hex text lines) into image
// bytes: CR, LF and spaces are dropped, the rest must be pairs of hex digits
// of at most kPlanImageCapacity bytes. The image is zero-filled first.
bool PlanImageFromHexLines(const std::string& text, uint8_t* image, size_t& count);

}  // namespace kova
