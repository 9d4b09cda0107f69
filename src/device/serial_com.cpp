#include "device/serial_com.h"

#include <algorithm>

#include "base/format.h"
#include "base/prompter.h"
#include "base/timer.h"

namespace kova {

const char* SerialOpenFailureText(SerialOpenFailure failure) {
  switch (failure) {
    case SerialOpenFailure::kNoSuchPort:
      return "no such port";
    case SerialOpenFailure::kBusy:
      return "port busy";
    case SerialOpenFailure::kNotSerial:
      return "not a serial port";
    case SerialOpenFailure::kUnknown:
      break;
  }
  return "";
}

CSerialCom::CSerialCom(SerialBackend& backend, Prompter& prompter)
    : backend_(backend), prompter_(prompter) {
  OnStatus(nullptr);
}

void CSerialCom::OnStatus(DeviceStatusListener listener) {
  if (listener) {
    status_listener_ = std::move(listener);
  } else {
    status_listener_ = [this](const DeviceStatus& status) { ShowDeviceStatus(prompter_, status); };
  }
}

CSerialCom::~CSerialCom() { Close(); }

std::string CSerialCom::DeviceName() const {
  if (!portname.empty()) return portname;
#ifdef _WIN32
  return Format("\\\\.\\COM%d", port);
#else
  return Format("/dev/ttyS%d", std::max(port - 1, 0));
#endif
}

bool CSerialCom::Open(bool report) {
  if (open_) return true;
  const std::string name = DeviceName();
  int error = 0;
  switch (backend_.Open(name, baud, error)) {
    case SerialOpenStatus::kOpened:
      break;
    case SerialOpenStatus::kCannotOpen: {
      DeviceStatus status = DeviceStatus::Numbered(
          DeviceCode::kPortUnopened, error, SerialOpenFailureText(backend_.LastOpenFailure()));
      status.port = name;
      open_problem_ = status.reason.empty() ? Format("error %d", error) : status.reason;
      if (report) status_listener_(status);
      return false;
    }
    // A port that cannot take the speed is closed again, so the next
    // operation tries (and reports) afresh instead of using a half-set port.
    case SerialOpenStatus::kBadSettings:
      backend_.Close();
      open_problem_ = Format("the port refuses %d bit/s", baud);
      if (report) status_listener_(DeviceStatus(DeviceCode::kPortSpeedRefused));
      return false;
    case SerialOpenStatus::kSettingsRefused:
      backend_.Close();
      open_problem_ = Format("the port refuses %d bit/s", baud);
      if (report) status_listener_(DeviceStatus(DeviceCode::kPortSettingsRefused));
      return false;
  }
  open_problem_.clear();
  open_ = true;
  trace_.Open(TraceFolder(tracefolder));  // no trace is no error
  return true;
}

bool CSerialCom::Close() {
  if (open_) backend_.Close();
  open_ = false;
  ClearGone();
  trace_.Close();
  return true;
}

bool CSerialCom::Write(const void* bytes, size_t count) {
  if (!Open(true)) return false;
  // Every command starts with an empty input queue.
  backend_.PurgeInput();
  const uint8_t* data = static_cast<const uint8_t*>(bytes);
  trace_.Sent(data, count);
  for (size_t done = 0; done < count;) {
    const size_t chunk = std::min(kWriteChunk, count - done);
    const int timeout = 200 + 10 * static_cast<int>(chunk);
    if (!backend_.Write(data + done, chunk, timeout)) {
      if (!backend_.IsOpen()) MarkGone();
      return false;
    }
    done += chunk;
  }
  return true;
}

bool CSerialCom::ReadExact(uint8_t* dest, size_t count, int timeout_ms) {
  if (!Open(true)) return false;
  CTimer timer;
  timer.Start(static_cast<uint32_t>(timeout_ms < 0 ? kDefaultTimeoutMs : timeout_ms));
  size_t needed = count;
  while (needed > 0) {
    if (timer.Expired()) return false;
    if (Cancelled()) return false;
    const long waiting = backend_.BytesWaiting();
    if (waiting < 0) {
      MarkGone();
      return false;
    }
    const size_t k = std::min(static_cast<size_t>(waiting), needed);
    if (k == 0) {
      const uint32_t left = std::max<uint32_t>(timer.RemainingMs(), 1);
      backend_.WaitReadable(static_cast<int>(std::min<uint32_t>(left, kWaitSliceMs)));
      continue;
    }
    size_t got = 0;
    if (!backend_.Read(dest, k, got)) {
      MarkGone();
      return false;
    }
    trace_.Received(dest, got);
    dest += got;
    needed -= got;
  }
  return true;
}

bool CSerialCom::EnumeratePorts(std::vector<std::string>& names) {
  names.clear();
  return backend_.ListPorts(names);
}

}  // namespace kova
