#include "base/le_bytes.h"

#include <cstring>

namespace kova {
namespace {

bool Fits(size_t size, size_t offset, size_t count) {
  return offset <= size && count <= size - offset;
}

uint32_t GetLE(const uint8_t* p, size_t count) {
  uint32_t v = 0;
  for (size_t i = count; i-- > 0;) v = (v << 8) | p[i];
  return v;
}

void PutLE(uint8_t* p, size_t count, uint32_t v) {
  for (size_t i = 0; i < count; ++i) {
    p[i] = static_cast<uint8_t>(v & 0xFF);
    v >>= 8;
  }
}

bool ReadN(const uint8_t* data, size_t size, size_t offset, size_t count, uint32_t& out) {
  if (data == nullptr || !Fits(size, offset, count)) return false;
  out = GetLE(data + offset, count);
  return true;
}

bool WriteN(uint8_t* data, size_t size, size_t offset, size_t count, uint32_t value) {
  if (data == nullptr || !Fits(size, offset, count)) return false;
  PutLE(data + offset, count, value);
  return true;
}

}  // namespace

bool ReadU8(const uint8_t* d, size_t s, size_t o, uint32_t& out) { return ReadN(d, s, o, 1, out); }
bool ReadU16LE(const uint8_t* d, size_t s, size_t o, uint32_t& out) {
  return ReadN(d, s, o, 2, out);
}
bool ReadU24LE(const uint8_t* d, size_t s, size_t o, uint32_t& out) {
  return ReadN(d, s, o, 3, out);
}
bool ReadU32LE(const uint8_t* d, size_t s, size_t o, uint32_t& out) {
  return ReadN(d, s, o, 4, out);
}

bool ReadI32LE(const uint8_t* d, size_t s, size_t o, int32_t& out) {
  uint32_t u = 0;
  if (!ReadN(d, s, o, 4, u)) return false;
  std::memcpy(&out, &u, 4);
  return true;
}

bool ReadF32LE(const uint8_t* d, size_t s, size_t o, float& out) {
  uint32_t u = 0;
  if (!ReadN(d, s, o, 4, u)) return false;
  std::memcpy(&out, &u, 4);
  return true;
}

bool ReadF64LE(const uint8_t* d, size_t s, size_t o, double& out) {
  uint32_t lo = 0, hi = 0;
  if (!ReadN(d, s, o, 4, lo) || !ReadN(d, s, o + 4, 4, hi)) return false;
  const uint64_t bits = (static_cast<uint64_t>(hi) << 32) | lo;
  std::memcpy(&out, &bits, 8);
  return true;
}

bool WriteU8(uint8_t* d, size_t s, size_t o, uint32_t v) { return WriteN(d, s, o, 1, v); }
bool WriteU16LE(uint8_t* d, size_t s, size_t o, uint32_t v) { return WriteN(d, s, o, 2, v); }
bool WriteU24LE(uint8_t* d, size_t s, size_t o, uint32_t v) { return WriteN(d, s, o, 3, v); }
bool WriteU32LE(uint8_t* d, size_t s, size_t o, uint32_t v) { return WriteN(d, s, o, 4, v); }

bool WriteI32LE(uint8_t* d, size_t s, size_t o, int32_t v) {
  uint32_t u = 0;
  std::memcpy(&u, &v, 4);
  return WriteN(d, s, o, 4, u);
}

bool WriteF32LE(uint8_t* d, size_t s, size_t o, float v) {
  uint32_t u = 0;
  std::memcpy(&u, &v, 4);
  return WriteN(d, s, o, 4, u);
}

bool WriteF64LE(uint8_t* d, size_t s, size_t o, double v) {
  if (d == nullptr || !Fits(s, o, 8)) return false;
  uint64_t bits = 0;
  std::memcpy(&bits, &v, 8);
  PutLE(d + o, 4, static_cast<uint32_t>(bits));
  PutLE(d + o + 4, 4, static_cast<uint32_t>(bits >> 32));
  return true;
}

bool ByteReader::Take(size_t count, const uint8_t*& where) {
  if (failed_ || !Fits(size_, pos_, count)) {
    failed_ = true;
    return false;
  }
  where = data_ + pos_;
  pos_ += count;
  return true;
}

bool ByteReader::U32(uint32_t& out) {
  const uint8_t* p = nullptr;
  if (!Take(4, p)) return false;
  out = GetLE(p, 4);
  return true;
}

bool ByteReader::I32(int32_t& out) {
  uint32_t u = 0;
  if (!U32(u)) return false;
  std::memcpy(&out, &u, 4);
  return true;
}

bool ByteReader::F64(double& out) {
  const uint8_t* p = nullptr;
  if (!Take(8, p)) return false;
  return ReadF64LE(p, 8, 0, out);
}

bool ByteReader::Bytes(void* out, size_t count) {
  const uint8_t* p = nullptr;
  if (!Take(count, p)) return false;
  if (count > 0) std::memcpy(out, p, count);
  return true;
}

bool ByteReader::LengthPrefixed(std::string& out, size_t max_len) {
  const size_t start = pos_;
  uint32_t len = 0;
  if (!U32(len)) return false;
  if (len > max_len) {
    pos_ = start;
    failed_ = true;
    return false;
  }
  const uint8_t* p = nullptr;
  if (!Take(len, p)) return false;
  out.assign(reinterpret_cast<const char*>(p), len);
  return true;
}

void ByteWriter::U32(uint32_t v) {
  uint8_t b[4];
  PutLE(b, 4, v);
  bytes_.insert(bytes_.end(), b, b + 4);
}

void ByteWriter::I32(int32_t v) {
  uint32_t u = 0;
  std::memcpy(&u, &v, 4);
  U32(u);
}

void ByteWriter::F64(double v) {
  uint8_t b[8];
  WriteF64LE(b, 8, 0, v);
  bytes_.insert(bytes_.end(), b, b + 8);
}

void ByteWriter::Bytes(const void* data, size_t count) {
  const auto* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + count);
}

void ByteWriter::LengthPrefixed(const std::string& text) {
  U32(static_cast<uint32_t>(text.size()));
  Bytes(text.data(), text.size());
}

}  // namespace kova
