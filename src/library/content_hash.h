#pragma once
// The content hash that finds a record file again after it was moved or
// copied: SHA-256 of its bytes, as 64 lower-case hex digits.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kova {

std::string Sha256Hex(const uint8_t* data, size_t size);

}  // namespace kova
