#include "platform/qt_serial_backend.h"

#include <QSerialPort>
#include <QSerialPortInfo>

#ifndef _WIN32
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace kova {

QtSerialBackend::QtSerialBackend() = default;

QtSerialBackend::~QtSerialBackend() { Close(); }

SerialOpenStatus QtSerialBackend::Open(const std::string& name, int baud, int& error) {
  Close();
  error = 0;
  failure_ = SerialOpenFailure::kUnknown;
  std::string device = name;
#ifndef _WIN32
  // A path is opened as the device it resolves to, so every name of one
  // device shares Qt's lock file.
  if (name.find('/') != std::string::npos) {
    struct stat st {};
    if (stat(name.c_str(), &st) != 0) {
      failure_ = SerialOpenFailure::kNoSuchPort;
    } else if (!S_ISCHR(st.st_mode)) {
      failure_ = SerialOpenFailure::kNotSerial;
    } else if (char* real = realpath(name.c_str(), nullptr)) {
      device = real;
      std::free(real);
    }
    if (failure_ != SerialOpenFailure::kUnknown) {
      error = static_cast<int>(failure_ == SerialOpenFailure::kNoSuchPort
                                   ? QSerialPort::DeviceNotFoundError
                                   : QSerialPort::UnsupportedOperationError);
      return SerialOpenStatus::kCannotOpen;
    }
  }
#endif
  port_ = std::make_unique<QSerialPort>();
  port_->setPortName(QString::fromLocal8Bit(device.c_str()));
  if (!port_->open(QIODevice::ReadWrite)) {
    // Qt's error kind stands for the system's code (not found, no permission,
    // in use, ...).
    const QSerialPort::SerialPortError e = port_->error();
    error = static_cast<int>(e);
    if (e == QSerialPort::DeviceNotFoundError) failure_ = SerialOpenFailure::kNoSuchPort;
      // Qt says "permission" for a lock held by another program too.
#ifndef _WIN32
    const bool may_use = access(device.c_str(), R_OK | W_OK) == 0;
#else
    const bool may_use = true;
#endif
    if ((e == QSerialPort::PermissionError && may_use) || e == QSerialPort::OpenError) {
      failure_ = SerialOpenFailure::kBusy;
    }
    if (e == QSerialPort::UnsupportedOperationError) failure_ = SerialOpenFailure::kNotSerial;
    port_.reset();
    return SerialOpenStatus::kCannotOpen;
  }
#ifndef _WIN32
  // Qt's lock file is per name and root passes it: hold the device itself.
  if (flock(static_cast<int>(port_->handle()), LOCK_EX | LOCK_NB) != 0) {
    failure_ = SerialOpenFailure::kBusy;
    error = static_cast<int>(QSerialPort::PermissionError);
    port_->close();
    port_.reset();
    return SerialOpenStatus::kCannotOpen;
  }
#endif
  if (baud <= 0) return SerialOpenStatus::kBadSettings;
  port_->setReadBufferSize(0);  // no limit: a whole record dump fits
  if (!port_->setBaudRate(baud) || !port_->setDataBits(QSerialPort::Data8) ||
      !port_->setParity(QSerialPort::NoParity) || !port_->setStopBits(QSerialPort::OneStop) ||
      !port_->setFlowControl(QSerialPort::NoFlowControl)) {
    return SerialOpenStatus::kSettingsRefused;
  }
  return SerialOpenStatus::kOpened;
}

void QtSerialBackend::Close() {
  if (port_) port_->close();
  port_.reset();
}

bool QtSerialBackend::IsOpen() const { return port_ && port_->isOpen(); }

// A read error means the far end is gone (a pseudo-terminal's master
// closed, a USB adapter pulled).
bool QtSerialBackend::Failed() const {
  if (!IsOpen()) return true;
  const QSerialPort::SerialPortError e = port_->error();
  return e == QSerialPort::ResourceError || e == QSerialPort::ReadError;
}

long QtSerialBackend::BytesWaiting() {
  if (Failed()) return -1;
  if (port_->bytesAvailable() == 0) {
    // Let Qt take what the driver holds, without waiting.
    if (!port_->waitForReadyRead(0) && port_->error() == QSerialPort::TimeoutError) {
      port_->clearError();
    }
    if (Failed()) return -1;
  }
  return static_cast<long>(port_->bytesAvailable());
}

bool QtSerialBackend::Read(uint8_t* dest, size_t count, size_t& got) {
  got = 0;
  if (Failed()) return false;
  const qint64 n = port_->read(reinterpret_cast<char*>(dest), static_cast<qint64>(count));
  if (n < 0) return false;
  got = static_cast<size_t>(n);
  return true;
}

bool QtSerialBackend::Write(const uint8_t* data, size_t count, int timeout_ms) {
  if (!IsOpen()) return false;
  const qint64 n = port_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(count));
  if (n != static_cast<qint64>(count)) return false;
  while (port_->bytesToWrite() > 0) {
    if (!port_->waitForBytesWritten(timeout_ms)) {
      if (port_->error() == QSerialPort::TimeoutError) port_->clearError();
      return false;
    }
  }
  return true;
}

bool QtSerialBackend::PurgeInput() {
  if (!IsOpen()) return false;
  // Take what the driver holds first, so that nothing older than the purge
  // is read afterwards.
  if (!port_->waitForReadyRead(0) && port_->error() == QSerialPort::TimeoutError) {
    port_->clearError();
  }
  return port_->clear(QSerialPort::Input);
}

bool QtSerialBackend::WaitReadable(int timeout_ms) {
  if (Failed()) return false;
  if (port_->bytesAvailable() > 0) return true;
  if (!port_->waitForReadyRead(timeout_ms) && port_->error() == QSerialPort::TimeoutError) {
    port_->clearError();
  }
  return IsOpen() && port_->bytesAvailable() > 0;
}

namespace {

std::string PortName(const QSerialPortInfo& info) {
#ifdef _WIN32
  return info.portName().toStdString();
#else
  return info.systemLocation().toStdString();
#endif
}

}  // namespace

bool QtSerialBackend::ListPorts(std::vector<std::string>& names) {
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    names.push_back(PortName(info));
  return true;
}

bool QtSerialBackend::ListPortDetails(std::vector<SystemPort>& ports) {
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    SystemPort p;
    p.name = PortName(info);
    p.description = info.description().toStdString();
    p.manufacturer = info.manufacturer().toStdString();
    if (info.hasVendorIdentifier()) p.vendor_id = info.vendorIdentifier();
    if (info.hasProductIdentifier()) p.product_id = info.productIdentifier();
    ports.push_back(std::move(p));
  }
  return true;
}

}  // namespace kova
