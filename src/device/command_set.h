#pragma once
// The instrument's command set as the rest of the program builds on it: the
// commands that carry a three-digit number, the line capacities and waits of
// the replies, the upload of a plan into a slot with a result, and the
// bounds this program puts on what the instrument sends.

#include <cstddef>
#include <string>

#include "device/device_status.h"

namespace kova {

class RudDevice;
class kvTestPlan;

// Capacity of one reply line (259 characters fit).
constexpr size_t kReplyLineCapacity = 260;
// Wait per byte of the lines around a plan upload and the run prompts.
constexpr int kUploadLineTimeoutMs = 10000;
// An upload whose "GO" never came, and an instrument that answers but does
// not identify itself.
constexpr const char* kNoGo = "The instrument did not ask for the plan";
constexpr const char* kNoIdentification = "No identification from the instrument";
// Longest record text taken from the instrument: a full record is about
// 60 KB (16 KB of hex, 20 graphs of 21 points, 20 burden tables).
constexpr size_t kMaxRecordTextBytes = 256 * 1024;
// Longest plan reply: two hex digits for each byte of the largest image,
// with room for spaces.
constexpr size_t kMaxPlanHexChars = 4 * 1024;
// Numbers the three-digit commands can carry, and the instrument's slots.
constexpr int kMaxCommandNumber = 999;
constexpr int kFirstPlanSlot = 1;
constexpr int kLastPlanSlot = 128;

// "L%03d", "x%03d", "r%03d": the letter and three digits, exactly four bytes.
// False for a number outside 0..999, which three digits cannot carry.
bool NumberCommand(char letter, int number, std::string& command);

// Stores the plan in instrument slot `slot` (1..128) under the wait dialog;
// ok when the upload handshake completed (RudDevice::TransferPlan is this).
DeviceStatus TransferPlanToSlot(RudDevice& device, const kvTestPlan& plan, int slot);

}  // namespace kova
