#include "records/record_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

#include "records/test_record.h"

namespace kova {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Visits each line of `text` from `start` on, as SplitRecordLines defines them.
template <typename Fn>
void ForEachLine(const std::string& text, size_t start, Fn&& fn) {
  size_t pos = start;
  std::string line;
  while (pos < text.size()) {
    const size_t lf = text.find('\n', pos);
    if (lf == std::string::npos) break;
    line.clear();
    for (size_t i = pos; i < lf; ++i) {
      if (text[i] != '\r') line += text[i];
    }
    pos = lf + 1;
    if (!fn(line)) break;
  }
}

// Position just after the line feed that ends the line holding `at`, or npos.
size_t AfterLineOf(const std::string& text, size_t at) {
  const size_t lf = text.find('\n', at);
  return lf == std::string::npos ? std::string::npos : lf + 1;
}

void ReplaceAll(std::string& s, const char* what, const char* with) {
  const size_t n = std::strlen(what);
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p)) {
    s.replace(p, n, with);
  }
}

bool IsDoneLine(const std::string& text, size_t begin, size_t end) {
  while (end > begin && (text[end - 1] == '\r' || text[end - 1] == ' ')) --end;
  if (end - begin != 4) return false;
  static const char kDone[] = "DONE";
  for (size_t i = 0; i < 4; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[begin + i])) != kDone[i]) return false;
  }
  return true;
}

// Without a graph section the whole text is the hex block, up to the "DONE"
// line that ends every record text.
size_t EndOfHexWithoutGraph(const std::string& text) {
  size_t begin = 0;
  while (begin < text.size()) {
    size_t lf = text.find('\n', begin);
    const size_t end = lf == std::string::npos ? text.size() : lf;
    if (IsDoneLine(text, begin, end)) return begin;
    if (lf == std::string::npos) break;
    begin = lf + 1;
  }
  return text.size();
}

}  // namespace

bool HexToBytes(const std::string& text, uint8_t* dest, size_t capacity, size_t& count) {
  if (text.size() % 2 != 0) return false;
  const size_t n = text.size() / 2;
  if (n > capacity) return false;
  for (size_t i = 0; i < n; ++i) {
    if (HexValue(text[2 * i]) < 0 || HexValue(text[2 * i + 1]) < 0) return false;
  }
  for (size_t i = 0; i < n; ++i) {
    dest[i] = static_cast<uint8_t>(HexValue(text[2 * i]) * 16 + HexValue(text[2 * i + 1]));
  }
  count = n;
  return true;
}

std::string BytesToHex(const uint8_t* data, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out(size * 2, '0');
  for (size_t i = 0; i < size; ++i) {
    out[2 * i] = kDigits[data[i] >> 4];
    out[2 * i + 1] = kDigits[data[i] & 15];
  }
  return out;
}

std::vector<std::string> SplitRecordLines(const std::string& text) {
  std::vector<std::string> lines;
  ForEachLine(text, 0, [&](const std::string& line) {
    lines.push_back(line);
    return true;
  });
  return lines;
}

int ScanNumbers(const std::string& text, double* out, int max_count) {
  const char* p = text.data();
  const char* end = p + text.size();
  int got = 0;
  while (got < max_count) {
    while (p < end && IsBlank(*p)) ++p;
    if (p < end && *p == '+') ++p;  // from_chars takes no plus sign
    double value = 0;
    const auto result = std::from_chars(p, end, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) break;
    out[got++] = value;
    p = result.ptr;
  }
  return got;
}

bool TestRecord::RecordTextParser(const std::string& text, const RecordDefaults& defaults,
                                  const TextParseOptions& options) {
  const size_t graph = text.find("GRAPH");
  size_t burden = text.find("BURDEN TABLE");
  if (burden == std::string::npos) burden = text.find("BURDEN ERROR TABLE");

  if (!options.graph_and_burden_only) {
    ResetRecord(defaults);
    const size_t hex_end = graph == std::string::npos ? EndOfHexWithoutGraph(text) : graph;
    std::string hex;
    hex.reserve(hex_end);
    for (size_t i = 0; i < hex_end; ++i) {
      const char c = text[i];
      if (c != '\r' && c != '\n' && c != ' ') hex += c;
    }
    // A garbled or oversized hex block is refused rather than decoded into
    // a record that was never measured.
    size_t count = 0;
    uint8_t bytes[kRawRecordSize];
    // A text without a single byte of record (an empty file, a bare "DONE")
    // would make a record of no tests dated 00/00/00.
    if (!HexToBytes(hex, bytes, kRawRecordSize, count) || count == 0) return false;
    std::memcpy(rawrecord, bytes, count);
    DecodeRawRecord(rawrecord, defaults, options.single_test ? 1 : 0, options.tap_index);
  }

  if (graph != std::string::npos) {
    const size_t start = AfterLineOf(text, graph);
    int tap = 0;
    int point = 0;
    if (start != std::string::npos) {
      ForEachLine(text, start, [&](const std::string& line) {
        if (line.find("GRAPH") != std::string::npos) {
          ++tap;
          point = 0;
        } else if (line.find("Amps") != std::string::npos) {
          // Points beyond the 20 taps of 21 points are dropped.
          if (tap < kMaxTaps && point < kGraphPointsPerTap) {
            std::string numbers = line;
            ReplaceAll(numbers, "Amps,", " ");
            ReplaceAll(numbers, "Volts,", " ");
            double v[3];
            const int n = ScanNumbers(numbers, v, 3);
            GraphPoint& gp = taps[tap].graph[point];
            if (n > 0) gp.gpAmps = v[0];
            if (n > 1) gp.gpVolts = v[1];
            if (n > 2) gp.gpAux = v[2];
          }
          ++point;
        }
        return true;
      });
    }
  }

  if (burden != std::string::npos) {
    const size_t start = AfterLineOf(text, burden);
    int tap = 0;
    taps[0].burdentable.clear();
    if (start != std::string::npos) {
      ForEachLine(text, start, [&](const std::string& line) {
        if (line.find("BURDEN TABLE") != std::string::npos ||
            line.find("BURDEN ERROR TABLE") != std::string::npos) {
          ++tap;  // tables beyond the 20th are dropped
          if (tap < kMaxTaps) taps[tap].burdentable.clear();
          return true;
        }
        // The same end as the hex block's and the link's: "DONE" in any case.
        if (IsDoneLine(line, 0, line.size())) return false;
        if (!line.empty() && tap < kMaxTaps) {
          taps[tap].burdentable += line;
          taps[tap].burdentable += "\r\n";
        }
        return true;
      });
    }
  }
  return true;
}

}  // namespace kova
