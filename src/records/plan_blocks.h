#pragma once
// The three plan blocks that a record carries as copies of its test plan's
// settings: pass/fail (68 bytes), nominal resistances (224 bytes) and class
// settings (32 bytes). Plans store the same bytes.

#include <cstddef>
#include <cstdint>

namespace kova {

constexpr size_t kPassFailBlockSize = 68;
constexpr size_t kResistanceBlockSize = 224;
constexpr size_t kClassSettingsSize = 32;
constexpr int kTapTableSize = 10;

struct PassFailBlock {
  int32_t pfenable = 0;
  int32_t pfturnsratiodeviation = 0;  // 0 "Metering 1%", 1 "Protection: 5%", other user defined
  int32_t pfcustomdeviation = 0;      // whole percent
  int32_t pfkneepointtype = 0;        // 0 IEEE 30, 1 IEEE 45, other IEC 10/50
  int32_t pfkneepointlocation = 0;
  int32_t pfkneepointdeviation = 0;  // 0 = 20 %, 1 = 10 %, other = 5 %
  int32_t pfcttype = 0;
  int32_t pfkneevoltage[kTapTableSize] = {};  // by tap position

  void FromBytes(const uint8_t* bytes);  // exactly kPassFailBlockSize bytes
  void ToBytes(uint8_t* bytes) const;
};

struct ResistanceBlock {
  double pfresistance[kTapTableSize] = {};  // by tap position
  int32_t pfresdeviation = 0;               // 0 = 5 %, 1 = 10 %, other user defined
  uint8_t unused84[4] = {};
  double pfcustomresdeviation = 0;  // percent
  uint8_t unused96[128] = {};       // written back unchanged

  void FromBytes(const uint8_t* bytes);  // exactly kResistanceBlockSize bytes
  void ToBytes(uint8_t* bytes) const;
};

struct ClassSettings {
  double tempcelsius = 0;
  double ratedcurrent = 0;
  int32_t singletap = 0;
  int32_t multitap = 0;
  int32_t ctusage = 0;  // 0 none, 1 protection, 2 metering
  uint8_t unused28[4] = {};

  void FromBytes(const uint8_t* bytes);  // exactly kClassSettingsSize bytes
  void ToBytes(uint8_t* bytes) const;
};

}  // namespace kova
