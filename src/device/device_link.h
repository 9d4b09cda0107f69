#pragma once
// One byte stream to the instrument, whatever carries it (a serial port or
// USB HID reports): write the command bytes, read an exact number of bytes
// under a time-out, stop as soon as the operation's cancel token is set. Lines are read by one
// reader on top of it (ReadLinkLine), so every transport ends, cuts and
// cleans a reply line the same way.

#include <cstddef>
#include <cstdint>

#include "base/cancel_token.h"

namespace kova {

class DeviceLink {
 public:
  virtual ~DeviceLink() = default;

  // The token of the operation the link serves (owned by RudDevice); reads
  // end as soon as it is cancelled. Null: nothing cancels.
  void SetCancelToken(const CancelToken* token) { cancel_ = token; }
  bool Cancelled() const { return cancel_ != nullptr && cancel_->IsCancelled(); }

  // Opens the transport unless open; `report` shows the transport's own
  // failure messages.
  virtual bool OpenLink(bool report) = 0;
  virtual void CloseLink() = 0;
  virtual bool Write(const void* bytes, size_t count) = 0;
  // True when exactly `count` bytes arrived; -1 is the transport's default
  // time-out.
  virtual bool ReadExact(uint8_t* dest, size_t count, int timeout_ms = -1) = 0;
  // Whether the line reader opens the link itself before reading.
  virtual bool OpensBeforeRead() const = 0;
  // How long the line reader waits for the LF after a CR of a line read
  // with `line_timeout_ms`.
  virtual int LfTimeoutMs(int line_timeout_ms) const = 0;
  // Whether the byte after a CR (the LF) is consumed.
  virtual bool ConsumesLf() const { return true; }
  // True once the far end has gone away (unplugged, the port closed under
  // us); cleared when the link is closed.
  bool gone() const { return gone_; }

 protected:
  void MarkGone() { gone_ = true; }
  void ClearGone() { gone_ = false; }

 private:
  const CancelToken* cancel_ = nullptr;
  bool gone_ = false;
};

// One line ended by CR, without the CR, NUL-terminated; NUL bytes arrive as
// spaces; the byte after the CR (the LF) is consumed whatever it is. The
// time-out applies to each byte. Fails when the line reaches capacity - 1
// characters (so capacity - 2 fit); what arrived stays readable.
bool ReadLinkLine(DeviceLink& link, char* buffer, size_t capacity, int timeout_ms);

}  // namespace kova
