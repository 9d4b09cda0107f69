#include "records/record_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/le_bytes.h"
#include "base/path.h"
#include "records/record_layout.h"
#include "records/test_record.h"

namespace kova {

namespace {

int ModelFromRawFileText(const std::string& text) {
  int model = text.find("-7100A") != std::string::npos ? 1 : 2;
  if (text.find("KOVA-R5A") != std::string::npos) model = 3;
  if (text.find("KOVA-7KA") != std::string::npos) model = 4;
  return model;
}

// Where CheckRecordFileEnd wants the place a decode ended (the decode's
// own signature is the record's, kept as stored files and callers know it).
thread_local RecordFileEnd* t_file_end = nullptr;

// Notes where a file that ends early ended: `base` is the offset of the
// reader's first byte in the file, `n` the bytes the next field needs.
class EndWatch {
 public:
  EndWatch(RecordFileEnd& end, size_t base) : end_(end), base_(base) {}
  bool Has(const ByteReader& in, size_t n) {
    if (in.Remaining() >= n) return true;
    end_.ended_at = base_ + in.Position() + in.Remaining();
    end_.needed = base_ + in.Position() + n;
    return false;
  }
  // A length-prefixed field: its 4-byte length and the bytes it counts.
  bool HasText(const ByteReader& in) {
    if (!Has(in, 4)) return false;
    ByteReader peek = in;
    uint32_t len = 0;
    peek.U32(len);
    return Has(in, size_t{4} + len);
  }

 private:
  RecordFileEnd& end_;
  size_t base_;
};

void ReadGraphPoints(TestRecord& rec, ByteReader& in, EndWatch& end) {
  for (TapTest& tap : rec.taps) {
    for (GraphPoint& gp : tap.graph) {
      double a = 0, v = 0, x = 0;
      if (!end.Has(in, 8)) return;
      if (!in.F64(a)) return;
      gp.gpAmps = a;
      if (!end.Has(in, 8) || !in.F64(v)) return;
      gp.gpVolts = v;
      if (!end.Has(in, 8) || !in.F64(x)) return;
      gp.gpAux = x;
    }
  }
}

// Fields 6 to 12, each only from the version that introduced it. A file
// that ends early leaves the rest at their reset values.
void ReadVersionedTail(TestRecord& rec, ByteReader& in, uint32_t version, EndWatch& end) {
  if (version >= 2) {
    std::string note;
    if (!end.HasText(in) || !in.LengthPrefixed(note, kMaxRecordFileText)) return;
    rec.testnote = note;
    int32_t frequency = 0;
    if (!end.Has(in, 4) || !in.I32(frequency)) return;
    rec.frequency = frequency;
  }
  if (version >= 5) {
    std::string order;
    if (!end.HasText(in) || !in.LengthPrefixed(order, kMaxRecordFileText)) return;
    if (!order.empty()) rec.taporder = order;
  }
  if (version >= 3) {
    for (TapTest& tap : rec.taps) {
      std::string table;
      if (!end.HasText(in) || !in.LengthPrefixed(table, kMaxRecordFileText)) return;
      tap.burdentable = table;
    }
  }
  if (version >= 6) {
    uint8_t pf[kPassFailBlockSize];
    if (!end.Has(in, sizeof pf) || !in.Bytes(pf, sizeof pf)) return;
    rec.passfail.FromBytes(pf);
    uint8_t res[kResistanceBlockSize];
    if (!end.Has(in, sizeof res) || !in.Bytes(res, sizeof res)) return;
    rec.resistance.FromBytes(res);
  }
  if (version >= 7) {
    uint32_t len = 0;
    if (!end.Has(in, 4) || !in.U32(len) || !end.Has(in, len)) return;
    // Always 32 as written; as in plan files, a shorter block fills the
    // start (the rest reads as 0) and a longer one gives its first 32 bytes.
    uint8_t cls[kClassSettingsSize] = {};
    if (!in.Bytes(cls, std::min<size_t>(len, kClassSettingsSize))) return;
    rec.classsettings.FromBytes(cls);
  }
}

}  // namespace

bool TestRecord::DecodeRecordBytes(const uint8_t* data, size_t size, const std::string& path,
                                   const RecordDefaults& defaults) {
  RecordFileEnd file_end;
  ResetRecord(defaults);
  testnote.clear();
  ByteReader in(data, size);
  uint32_t magic = 0;
  if (!in.U32(magic)) return false;
  const bool rawfile = size >= 4 && std::memcmp(data, "KOVA", 4) == 0;
  if (!rawfile && magic != kRecordMagic && magic != kRecordMagicAlt) return false;

  fullpath = path;
  filename = FileNameOf(path);
  devicefile = rawfile ? 1 : 0;
  std::memset(rawrecord, 0, sizeof rawrecord);
  uint32_t version = 1;

  size_t record_at = 0;
  if (rawfile) {
    const size_t n = std::min(size, kRawFileModelTextSize);
    deviceversion = ModelFromRawFileText(std::string(reinterpret_cast<const char*>(data), n));
    record_at = kRawFileRecordOffset;
  } else {
    EndWatch end(file_end, 0);
    if (!end.Has(in, 4) || !in.U32(version)) version = 1;
    if (version < 4) {
      deviceversion = 1;
    } else {
      int32_t model = 1;
      if (end.Has(in, 4)) in.I32(model);
      deviceversion = model;
    }
    record_at = in.Position();
  }

  // What a cut file keeps stays; the rest keeps its reset values. The first
  // place it ended is the one reported.
  const size_t record_need =
      record_at + (rawfile ? LayoutFor(deviceversion).length : kRawRecordSize);
  if (file_end.needed == 0 && record_need > size) {
    file_end.ended_at = size;
    file_end.needed = record_need;
  }
  if (record_at < size) {
    const size_t n = std::min(kRawRecordSize, size - record_at);
    std::memcpy(rawrecord, data + record_at, n);
  }
  DecodeRawRecord(rawrecord, defaults);

  if (rawfile) {
    const size_t tail = kRawFileRecordOffset + LayoutFor(deviceversion).length;
    if (tail < size) {
      const std::string text(reinterpret_cast<const char*>(data) + tail, size - tail);
      TextParseOptions tail_only;
      tail_only.graph_and_burden_only = true;
      RecordTextParser(text, defaults, tail_only);
    }
    version = 1;
  } else if (record_at + kRawRecordSize <= size) {
    ByteReader rest(data + record_at + kRawRecordSize, size - record_at - kRawRecordSize);
    EndWatch end(file_end, record_at + kRawRecordSize);
    ReadGraphPoints(*this, rest, end);
    if (file_end.needed == 0) ReadVersionedTail(*this, rest, version, end);
  }
  fileend = file_end;
  if (t_file_end != nullptr) *t_file_end = file_end;
  return true;
}

RecordFileEnd CheckRecordFileEnd(const uint8_t* data, size_t size) {
  // The same decode as every read, into a scratch record, with the place
  // it ended passed out.
  RecordFileEnd end;
  auto scratch = std::make_unique<TestRecord>();
  t_file_end = &end;
  scratch->DecodeRecordBytes(data, size, std::string(), RecordDefaults());
  t_file_end = nullptr;
  return end;
}

RecordFileEnd CheckRecordFileEnd(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, kMaxRecordFileSize)) return RecordFileEnd();
  return CheckRecordFileEnd(bytes.data(), bytes.size());
}

std::string RecordFileEndedEarlyText(const std::string& path, const RecordFileEnd& end) {
  if (end.needed == 0) return std::string();
  return Format(
      "The record file \"%s\" ended at byte %zu but needed %zu; the rest shows reset values",
      SystemNameToCp1252(path).c_str(), end.ended_at, end.needed);
}

std::string DamagedRecordBanner(const RecordFileEnd& end) {
  if (!end.Early()) return std::string();
  return Format("DAMAGED RECORD: the file ends at byte %zu of %zu; later values are reset",
                end.ended_at, end.needed);
}

std::string DamagedRecordWarningText(const std::string& path, const RecordFileEnd& end) {
  if (!end.Early()) return std::string();
  return Format(
      "The record file \"%s\" is damaged: it ends at byte %zu of %zu.\n\n"
      "What it holds is shown; the values after that byte are reset values, not "
      "measurements. Every report page says so.",
      SystemNameToCp1252(path).c_str(), end.ended_at, end.needed);
}

bool TestRecord::WriteRecordFile(const std::string& path, std::string* why) {
  ByteWriter out;
  out.U32(kRecordMagic);
  out.U32(kRecordFileVersion);
  out.I32(deviceversion);
  out.Bytes(rawrecord, kRawRecordSize);
  for (const TapTest& tap : taps) {
    for (const GraphPoint& gp : tap.graph) {
      out.F64(gp.gpAmps);
      out.F64(gp.gpVolts);
      out.F64(gp.gpAux);
    }
  }
  out.LengthPrefixed(testnote);
  out.I32(frequency);
  out.LengthPrefixed(taporder);
  for (const TapTest& tap : taps) out.LengthPrefixed(tap.burdentable);
  uint8_t pf[kPassFailBlockSize];
  passfail.ToBytes(pf);
  out.Bytes(pf, sizeof pf);
  uint8_t res[kResistanceBlockSize];
  resistance.ToBytes(res);
  out.Bytes(res, sizeof res);
  out.U32(kClassSettingsSize);
  uint8_t cls[kClassSettingsSize];
  classsettings.ToBytes(cls);
  out.Bytes(cls, sizeof cls);

  if (!WriteFileAtomically(path, out.Data(), why)) return false;
  fullpath = path;
  filename = FileNameOf(path);
  return true;
}

}  // namespace kova
