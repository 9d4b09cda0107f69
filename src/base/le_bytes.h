#pragma once
// Little-endian reads and writes on byte buffers. Every access is checked
// against the buffer's size: a read past the end fails and leaves the output
// untouched, a write past the end fails and changes nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

bool ReadU8(const uint8_t* data, size_t size, size_t offset, uint32_t& out);
bool ReadU16LE(const uint8_t* data, size_t size, size_t offset, uint32_t& out);
bool ReadU24LE(const uint8_t* data, size_t size, size_t offset, uint32_t& out);
bool ReadU32LE(const uint8_t* data, size_t size, size_t offset, uint32_t& out);
bool ReadI32LE(const uint8_t* data, size_t size, size_t offset, int32_t& out);
bool ReadF32LE(const uint8_t* data, size_t size, size_t offset, float& out);
bool ReadF64LE(const uint8_t* data, size_t size, size_t offset, double& out);

bool WriteU8(uint8_t* data, size_t size, size_t offset, uint32_t value);
bool WriteU16LE(uint8_t* data, size_t size, size_t offset, uint32_t value);
bool WriteU24LE(uint8_t* data, size_t size, size_t offset, uint32_t value);
bool WriteU32LE(uint8_t* data, size_t size, size_t offset, uint32_t value);
bool WriteI32LE(uint8_t* data, size_t size, size_t offset, int32_t value);
bool WriteF32LE(uint8_t* data, size_t size, size_t offset, float value);
bool WriteF64LE(uint8_t* data, size_t size, size_t offset, double value);

// Sequential reader over a byte buffer; once a read fails every later read
// fails too, so a caller can read a run of fields and check once.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteReader(const std::vector<uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

  bool U32(uint32_t& out);
  bool I32(int32_t& out);
  bool F64(double& out);
  // Copies `count` bytes; fails without copying when fewer remain.
  bool Bytes(void* out, size_t count);
  // A 32-bit length followed by that many bytes, at most `max_len`.
  bool LengthPrefixed(std::string& out, size_t max_len);

  size_t Position() const { return pos_; }
  size_t Remaining() const { return failed_ ? 0 : size_ - pos_; }
  bool Ok() const { return !failed_; }
  bool AtEnd() const { return pos_ >= size_; }

 private:
  bool Take(size_t count, const uint8_t*& where);
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool failed_ = false;
};

// Appending writer into a growable buffer.
class ByteWriter {
 public:
  void U32(uint32_t value);
  void I32(int32_t value);
  void F64(double value);
  void Bytes(const void* data, size_t count);
  void LengthPrefixed(const std::string& text);
  const std::vector<uint8_t>& Data() const { return bytes_; }
  std::vector<uint8_t>& Data() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace kova
