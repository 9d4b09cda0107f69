#include "records/plan_blocks.h"

#include <cstring>

#include "base/le_bytes.h"

namespace kova {

void PassFailBlock::FromBytes(const uint8_t* b) {
  const size_t n = kPassFailBlockSize;
  ReadI32LE(b, n, 0, pfenable);
  ReadI32LE(b, n, 4, pfturnsratiodeviation);
  ReadI32LE(b, n, 8, pfcustomdeviation);
  ReadI32LE(b, n, 12, pfkneepointtype);
  ReadI32LE(b, n, 16, pfkneepointlocation);
  ReadI32LE(b, n, 20, pfkneepointdeviation);
  ReadI32LE(b, n, 24, pfcttype);
  for (int i = 0; i < kTapTableSize; ++i) ReadI32LE(b, n, 28 + 4 * i, pfkneevoltage[i]);
}

void PassFailBlock::ToBytes(uint8_t* b) const {
  const size_t n = kPassFailBlockSize;
  WriteI32LE(b, n, 0, pfenable);
  WriteI32LE(b, n, 4, pfturnsratiodeviation);
  WriteI32LE(b, n, 8, pfcustomdeviation);
  WriteI32LE(b, n, 12, pfkneepointtype);
  WriteI32LE(b, n, 16, pfkneepointlocation);
  WriteI32LE(b, n, 20, pfkneepointdeviation);
  WriteI32LE(b, n, 24, pfcttype);
  for (int i = 0; i < kTapTableSize; ++i) WriteI32LE(b, n, 28 + 4 * i, pfkneevoltage[i]);
}

void ResistanceBlock::FromBytes(const uint8_t* b) {
  const size_t n = kResistanceBlockSize;
  for (int i = 0; i < kTapTableSize; ++i) ReadF64LE(b, n, 8 * i, pfresistance[i]);
  ReadI32LE(b, n, 80, pfresdeviation);
  std::memcpy(unused84, b + 84, sizeof unused84);
  ReadF64LE(b, n, 88, pfcustomresdeviation);
  std::memcpy(unused96, b + 96, sizeof unused96);
}

void ResistanceBlock::ToBytes(uint8_t* b) const {
  const size_t n = kResistanceBlockSize;
  for (int i = 0; i < kTapTableSize; ++i) WriteF64LE(b, n, 8 * i, pfresistance[i]);
  WriteI32LE(b, n, 80, pfresdeviation);
  std::memcpy(b + 84, unused84, sizeof unused84);
  WriteF64LE(b, n, 88, pfcustomresdeviation);
  std::memcpy(b + 96, unused96, sizeof unused96);
}

void ClassSettings::FromBytes(const uint8_t* b) {
  const size_t n = kClassSettingsSize;
  ReadF64LE(b, n, 0, tempcelsius);
  ReadF64LE(b, n, 8, ratedcurrent);
  ReadI32LE(b, n, 16, singletap);
  ReadI32LE(b, n, 20, multitap);
  ReadI32LE(b, n, 24, ctusage);
  std::memcpy(unused28, b + 28, sizeof unused28);
}

void ClassSettings::ToBytes(uint8_t* b) const {
  const size_t n = kClassSettingsSize;
  WriteF64LE(b, n, 0, tempcelsius);
  WriteF64LE(b, n, 8, ratedcurrent);
  WriteI32LE(b, n, 16, singletap);
  WriteI32LE(b, n, 20, multitap);
  WriteI32LE(b, n, 24, ctusage);
  std::memcpy(b + 28, unused28, sizeof unused28);
}

}  // namespace kova
