#pragma once
// What the tool writes to standard output and standard error shows control
// bytes as \xNN: a record's text (a serial number holding ESC ] 0 ; ... BEL)
// must not set the terminal's title, move its cursor or hide lines. Line
// ends, tabs and the carriage return of progress lines pass.

#include <ostream>
#include <streambuf>

namespace kova {

class TerminalSafeBuffer : public std::streambuf {
 public:
  explicit TerminalSafeBuffer(std::streambuf* inner) : inner_(inner) {}
  // Writes a 0xC2 held back at the very end.
  void Release();

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool Put(const char* text);
  std::streambuf* inner_;
  bool lead_c2_ = false;  // a 0xC2 held back: U+0080..U+009F are controls too
};

// Makes `stream` write through a TerminalSafeBuffer for as long as the
// guard lives.
class TerminalSafeStream {
 public:
  explicit TerminalSafeStream(std::ostream& stream)
      : stream_(stream), buffer_(stream.rdbuf()), previous_(stream.rdbuf(&buffer_)) {}
  ~TerminalSafeStream() {
    buffer_.Release();
    stream_.flush();
    stream_.rdbuf(previous_);
  }
  TerminalSafeStream(const TerminalSafeStream&) = delete;
  TerminalSafeStream& operator=(const TerminalSafeStream&) = delete;

 private:
  std::ostream& stream_;
  TerminalSafeBuffer buffer_;
  std::streambuf* previous_;
};

}  // namespace kova
