#pragma once
// The serial trace: every byte sent and received while the port is open,
// for support. Sent bytes follow "SEND:", a change of direction writes
// "+++\n". The file "serial.txt" is written only into a folder the user
// named (on Windows the traditional "c:\temp" serves when none is named); it
// is created owner-only and never through a symbolic link.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kova {

constexpr const char* kTraceFolderVariable = "KOVA_TRACE_DIR";
constexpr const char* kTraceFileName = "serial.txt";

// The folder to trace into: the environment variable KOVA_TRACE_DIR when set
// and not empty, else `configured` (the "TraceDir" setting); on Windows,
// "c:\temp" when both are empty. Empty: no trace.
std::string TraceFolder(const std::string& configured);

class SerialTrace {
 public:
  SerialTrace() = default;
  ~SerialTrace();
  SerialTrace(const SerialTrace&) = delete;
  SerialTrace& operator=(const SerialTrace&) = delete;

  // Starts a new trace (truncating) in `folder`; false, and no trace, when
  // the folder is empty or the file cannot be created safely.
  bool Open(const std::string& folder);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  void Sent(const uint8_t* data, size_t count);
  void Received(const uint8_t* data, size_t count);

 private:
  std::FILE* file_ = nullptr;
  int direction_ = 0;  // 0 none, 1 received, 2 sent
};

}  // namespace kova
