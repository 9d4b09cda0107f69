#include "sim/sim_instrument.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "base/format.h"
#include "plans/test_plan.h"
#include "records/record_text.h"
#include "records/tap_names.h"

namespace kova {
namespace {

enum StepAction { kShowOnly, kAwaitConnect, kTapDone, kSendData };

bool IsHexDigit(uint8_t b) { return std::isxdigit(b) != 0; }

// Reads a non-negative decimal number; false for anything else.
bool ParseCount(const std::string& text, long& out) {
  if (text.empty() || text.size() > 9) return false;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  out = value;
  return true;
}

// A plan for the slots the instrument has at power-up.
std::vector<uint8_t> PowerUpPlan(SimModel model, int slot, uint32_t seed) {
  static const int kTapSets[3][4] = {{4, 1, 2, 3}, {4, 7, 0, 0}, {2, 0, 0, 0}};
  kvTestPlan plan;
  plan.devicetype = SimModelCode(model);
  const int* taps = kTapSets[(slot - 1) % 3];
  plan.company = "ACME POWER";
  plan.station = Format("STATION %d", slot);
  plan.circuit = Format("BAY %u", 1 + (seed + static_cast<uint32_t>(slot)) % 12);
  plan.manufacturer = "HELMARK";
  plan.model = "MR-1200:5";
  plan.comment = "ROUTINE TEST";
  plan.kneetype = 1 + (slot - 1) % 3;
  plan.burdencurrent = 50;
  plan.insulationvoltage = 100;
  int n = 0;
  for (int i = 0; i < 4 && taps[i] != 0; ++i, ++n) {
    PlanTap& tap = plan.taps[n];
    tap.tapid = taps[i] - 1;
    tap.nNamePlateNum = 1200;
    tap.fNamePlateDen = 5;
    tap.uTestType = kRatioTest | kResistanceTest | kExcitationTest;
    tap.fVoltageRange = 1000;
    tap.fCurrentRange = 2.5;
    tap.szTestNote = TapNameFromCode(taps[i]);
  }
  plan.numtests = model == SimModel::kR5 ? 1 : n;
  std::vector<uint8_t> image(kPlanImageCapacity, 0);
  plan.EncodeImage(image.data());
  image.resize(SimPlanImageSize(model));
  return image;
}

}  // namespace

struct SimInstrument::Step {
  uint32_t at;
  std::string text;
  int action;
};

bool ParseSimFault(const std::string& text, SimFaults& faults) {
  if (text == "silent") {
    faults.silent = true;
  } else if (text.rfind("stall=", 0) == 0) {
    long n = 0;
    if (!ParseCount(text.substr(6), n)) return false;
    faults.stall_after = n;
  } else if (text == "garble") {
    faults.garble = true;
  } else if (text == "not-found") {
    faults.not_found = true;
  } else if (text == "corrupt-prompt") {
    faults.corrupt_prompt = true;
  } else if (text == "wrong-model") {
    faults.wrong_model = true;
  } else {
    return false;
  }
  return true;
}

SimInstrument::SimInstrument(const SimOptions& options)
    : options_(options), ct_(CtModel::FromSeed(options.seed ^ 0xC0FFEEu)) {
  slots_.resize(kSimPlanSlots);
  const int tests = std::clamp(options_.tests, 0, kSimMaxStoredTests);
  for (int i = 0; i < tests; ++i)
    tests_.push_back(MakeStoredTest(options_.model, options_.seed, i));
  const int plans = std::clamp(options_.plans, 0, kSimPlanSlots);
  for (int slot = 1; slot <= plans; ++slot) {
    slots_[slot - 1] = PowerUpPlan(options_.model, slot, options_.seed);
  }
}

SimInstrument::~SimInstrument() = default;

const TestRecord* SimInstrument::StoredTest(int number) const {
  if (number < 1 || number > StoredTestCount()) return nullptr;
  return tests_[number - 1].get();
}

const std::vector<uint8_t>& SimInstrument::PlanSlot(int slot) const {
  static const std::vector<uint8_t> kEmpty;
  if (slot < 1 || slot > kSimPlanSlots) return kEmpty;
  return slots_[slot - 1];
}

bool SimInstrument::StorePlan(int slot, const std::vector<uint8_t>& image) {
  if (slot < 1 || slot > kSimPlanSlots || image.size() > kPlanImageCapacity) return false;
  slots_[slot - 1] = image;
  return true;
}

// --- output ---------------------------------------------------------------

void SimInstrument::SendText(const std::string& text) {
  static const uint8_t kGarbage[] = {'#', '?', '%', 0xA4, '*', 0xBF};
  const SimFaults& f = options_.faults;
  for (char c : text) {
    if (f.silent) return;
    if (f.stall_after >= 0 && bytes_sent_ >= f.stall_after) return;
    uint8_t b = static_cast<uint8_t>(c);
    // Garbling keeps line ends, so the program sees damaged lines.
    if (f.garble && b != '\r' && b != '\n' && ++garble_counter_ % 7 == 0) {
      b = kGarbage[(garble_counter_ / 7) % sizeof kGarbage];
    }
    output_.push_back(b);
    ++bytes_sent_;
  }
}

void SimInstrument::SendLine(const std::string& line) { SendText(line + "\r\n"); }

size_t SimInstrument::TakeOutput(uint8_t* dest, size_t max) {
  const size_t n = std::min(max, output_.size());
  std::copy(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(n), dest);
  output_.erase(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(n));
  return n;
}

std::string SimInstrument::TakeAllOutput() {
  std::string text(output_.begin(), output_.end());
  output_.clear();
  return text;
}

// --- input ------------------------------------------------------------------

void SimInstrument::Receive(const uint8_t* data, size_t count, uint32_t now_ms) {
  Advance(now_ms);
  received_.append(reinterpret_cast<const char*>(data), count);
  for (size_t i = 0; i < count; ++i) HandleByte(data[i], now_ms);
  Advance(now_ms);
}

void SimInstrument::HandleByte(uint8_t byte, uint32_t now) {
  switch (state_) {
    case State::kReceivingImage:
      if (byte == kEsc) {
        commands_.push_back("ESC");
        image_hex_.clear();
        state_ = State::kIdle;
      } else if (IsHexDigit(byte)) {
        image_hex_ += static_cast<char>(byte);
        if (image_hex_.size() == image_chars_) FinishImage(now);
      }
      return;
    case State::kCommandDigits:
      if (std::isdigit(byte)) {
        pending_ += static_cast<char>(byte);
        if (pending_.size() == 4) FinishDigitsCommand(now);
        return;
      }
      state_ = State::kIdle;  // an incomplete command is dropped
      StartCommand(byte, now);
      return;
    case State::kPromptWait:
    case State::kConnectWait:
      if (byte == '\r') {
        commands_.push_back("CR");
        if (state_ == State::kPromptWait) {
          state_ = State::kMeasuring;
          BeginTap(now);
        } else {
          MeasureCurrentTap(now);
        }
      } else if (byte == kEsc) {
        commands_.push_back("ESC");
        CancelRun();
      }
      return;
    case State::kMeasuring:
      if (byte == kEsc) {
        commands_.push_back("ESC");
        CancelRun();
      }
      return;
    case State::kIdle:
      StartCommand(byte, now);
      return;
  }
}

void SimInstrument::StartCommand(uint8_t byte, uint32_t now) {
  (void)now;
  if (byte != 'X' && byte != '\r' && byte != '\n') panel_control_ = false;
  switch (byte) {
    case 'B':
      commands_.push_back("B");
      SendText("ACK\r\n");  // four bytes over a serial port, five over USB
      return;
    case '\r':
      commands_.push_back("CR");
      return;
    case '\n':
      return;
    case 'W':
      commands_.push_back("W");
      SendLine(options_.faults.wrong_model ? "ACME-9000 POWER METER V1.0"
                                           : SimIdentification(options_.model));
      return;
    case 'd':
    case 'p':
      commands_.push_back(std::string(1, static_cast<char>(byte)));
      SendDirectory(byte == 'p');
      return;
    case 'R': {
      commands_.push_back("R");
      const TestRecord* rec = StoredTest(selected_ > 0 ? selected_ : StoredTestCount());
      SendText(rec != nullptr ? SimRecordText(*rec) : "DONE\r\n");
      return;
    }
    case 'X':
      commands_.push_back("X");
      panel_control_ = true;
      return;
    case kEsc:
      commands_.push_back("ESC");
      return;
    case 'L':
    case 'x':
    case 'r':
    case 'T':
      pending_ = std::string(1, static_cast<char>(byte));
      state_ = State::kCommandDigits;
      return;
    default:
      commands_.push_back(Format("?%02X", byte));
      return;
  }
}

void SimInstrument::FinishDigitsCommand(uint32_t now) {
  state_ = State::kIdle;
  commands_.push_back(pending_);
  long number = 0;
  ParseCount(pending_.substr(1), number);
  switch (pending_[0]) {
    case 'L':
      if (options_.faults.not_found || StoredTest(static_cast<int>(number)) == nullptr) {
        SendLine(Format("TEST %03ld NOT FOUND", number));
      } else {
        selected_ = static_cast<int>(number);
        SendLine(Format("TEST %03ld LOADED", number));
      }
      return;
    case 'x':
      SendPlan(static_cast<int>(number));
      return;
    case 'r':
    case 'T':
      if (pending_[0] == 'T' && pending_ != "T314") return;
      if (pending_[0] == 'r' && (number < 1 || number > kSimPlanSlots)) {
        SendLine(Format("SLOT %03ld NOT VALID", number));
        return;
      }
      image_for_run_ = pending_[0] == 'T';
      image_slot_ = static_cast<int>(number);
      image_hex_.clear();
      image_chars_ = 2 * SimPlanImageSize(options_.model);
      state_ = State::kReceivingImage;
      SendLine("READY TO RECEIVE TEST PLAN - GO");
      return;
  }
  (void)now;
}

void SimInstrument::FinishImage(uint32_t now) {
  std::vector<uint8_t> image(image_hex_.size() / 2);
  size_t count = 0;
  HexToBytes(image_hex_, image.data(), image.size(), count);
  image.resize(count);
  image_hex_.clear();
  state_ = State::kIdle;
  SendLine(Format("RECEIVED %u BYTES", static_cast<unsigned>(count)));
  if (!image_for_run_) {
    slots_[image_slot_ - 1] = image;
    SendLine(Format("TEST PLAN %03d STORED", image_slot_));
    return;
  }
  run_images_.push_back(image);
  SendLine("TEST PLAN ACCEPTED");
  StartRun(now);
}

// --- directories and plans --------------------------------------------------

void SimInstrument::SendDirectory(bool plans) {
  std::string text;
  if (plans) {
    for (int slot = 1; slot <= kSimPlanSlots; ++slot) {
      const std::vector<uint8_t>& image = slots_[slot - 1];
      if (image.empty()) continue;
      kvTestPlan plan;
      plan.devicetype = SimModelCode(options_.model);
      if (!plan.DecodeImage(image.data(), image.size())) continue;
      text += Format("#%d\r\n", slot);
      text += Format("TESTS=%d\r\n", plan.numtests);
      text += "COMPANY=" + plan.company + "\r\n";
      text += "STATION=" + plan.station + "\r\n";
      text += "CIRCUIT=" + plan.circuit + "\r\n";
      text += "MFR=" + plan.manufacturer + "\r\n";
      text += "MODEL=" + plan.model + "\r\n";
    }
  } else {
    for (int n = 1; n <= StoredTestCount(); ++n) {
      const TestRecord& rec = *tests_[n - 1];
      text += Format("#%d\r\n", n);
      text += rec.testdatetime + "\r\n";
      text += Format("TESTS=%d\r\n", rec.numtests);
      text += "COMPANY=" + rec.company + "\r\n";
      text += "STATION=" + rec.station + "\r\n";
      text += "CIRCUIT=" + rec.circuit + "\r\n";
      text += "MFR=" + rec.manufacturer + "\r\n";
      text += "MODEL=" + rec.model + "\r\n";
      text += "SN=" + rec.serialnumber + "\r\n";
      text += "OPERATOR=" + rec.operatorname + "\r\n";
      text += "KNEE=" + rec.kneetypestr + "\r\n";
    }
  }
  SendText(text + "DONE\r\n");
}

void SimInstrument::SendPlan(int slot) {
  const std::vector<uint8_t>& image = PlanSlot(slot);
  std::string text;
  for (size_t at = 0; at < image.size(); at += 32) {
    const size_t n = std::min<size_t>(32, image.size() - at);
    std::string hex = BytesToHex(image.data() + at, n);
    for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    text += hex + "\r\n";
  }
  SendText(text + "DONE\r\n");
}

// --- test runs ----------------------------------------------------------------

std::vector<SimTapPlan> SimInstrument::TapsOfImage(const std::vector<uint8_t>& image,
                                                   SimTestHeader& header) const {
  kvTestPlan plan;
  plan.devicetype = SimModelCode(options_.model);
  std::vector<SimTapPlan> taps;
  if (image.size() < SimPlanImageSize(options_.model) ||
      !plan.DecodeImage(image.data(), image.size())) {
    return taps;
  }
  header.company = plan.company;
  header.station = plan.station;
  header.circuit = plan.circuit;
  header.manufacturer = plan.manufacturer;
  header.model = plan.model;
  header.comment = plan.comment;
  header.serialnumber = ct_.SerialNumber();
  header.operatorname = "REMOTE";
  header.kneetype = plan.kneetype;
  if (SimHasBurdenTests(options_.model)) {
    header.burdencurrent = plan.burdencurrent;
    header.insulationvoltage = plan.insulationvoltage;
  }
  for (int i = 0; i < plan.numtests; ++i) {
    const PlanTap& p = plan.taps[i];
    if (p.tapid < 0 || p.tapid > 9) return {};  // not a tap this instrument knows
    SimTapPlan tap;
    tap.tap_code = p.tapid + 1;
    tap.nameplate_primary = static_cast<int>(p.nNamePlateNum);
    tap.nameplate_secondary = p.fNamePlateDen;
    tap.test_type = p.uTestType;
    tap.voltage_range = p.fVoltageRange;
    tap.current_range = p.fCurrentRange;
    tap.note = p.szTestNote;
    tap.burden_va = p.fBurdenVA;
    tap.cos_phi = p.fCosPhi;
    tap.sec_current = p.fSecCurrent;
    taps.push_back(tap);
  }
  return taps;
}

std::string SimInstrument::RunDateTime() const {
  const uint32_t minutes = run_counter_ * 17;
  return Format("06/%02u/21 %02u:%02u:00", 1 + (run_counter_ / 8) % 28, 9 + (minutes / 60) % 9,
                minutes % 60);
}

void SimInstrument::Schedule(uint32_t at, const std::string& text, int action) {
  steps_.push_back(Step{at, text, action});
}

void SimInstrument::StartRun(uint32_t now) {
  run_header_ = SimTestHeader();
  run_taps_ = TapsOfImage(run_images_.back(), run_header_);
  run_tap_ = 0;
  ++run_counter_;
  run_header_.datetime = RunDateTime();
  const bool r5 = options_.model == SimModel::kR5;
  if (r5) {
    if (options_.faults.corrupt_prompt || run_taps_.empty()) {
      SendLine("TEST PLAN CORRUPT - CHECKSUM ERROR");
      return;
    }
    SendLine(Format("TEST PLAN LOADED: %d TAP", static_cast<int>(run_taps_.size())));
    SendLine(Format("READY TO TEST %s - PRESS ENTER TO START",
                    TapNameFromCode(run_taps_[0].tap_code).c_str()));
    state_ = State::kPromptWait;
    return;
  }
  if (run_taps_.empty()) {
    SendLine("ERROR: TEST PLAN CORRUPT");
    return;
  }
  state_ = State::kMeasuring;
  BeginTap(now);
}

void SimInstrument::BeginTap(uint32_t now) {
  if (run_tap_ >= run_taps_.size()) {
    FinishRun(now);
    return;
  }
  const std::string tap = TapNameFromCode(run_taps_[run_tap_].tap_code);
  state_ = State::kMeasuring;
  Schedule(now + options_.step_ms,
           Format("CONNECT TEST LEADS TO %s, PRESS CONTINUE\r\n", tap.c_str()), kAwaitConnect);
}

void SimInstrument::MeasureCurrentTap(uint32_t now) {
  state_ = State::kMeasuring;
  const SimTapPlan& plan = run_taps_[run_tap_];
  const std::string tap = TapNameFromCode(plan.tap_code);
  uint32_t at = now;
  auto progress = [&](const std::string& text) {
    at += options_.step_ms;
    Schedule(at, text + "\r\n", kShowOnly);
  };
  if (plan.test_type & kRatioTest) progress(Format("%s RATIO TEST", tap.c_str()));
  if (plan.test_type & kResistanceTest) progress(Format("%s WINDING RESISTANCE TEST", tap.c_str()));
  if (plan.test_type & kExcitationTest) {
    progress(Format("%s EXCITATION TEST", tap.c_str()));
    progress(Format("%s DEMAGNETIZING", tap.c_str()));
  }
  at += options_.step_ms;
  Schedule(at, Format("%s COMPLETE\r\n", tap.c_str()), kTapDone);
}

void SimInstrument::FinishRun(uint32_t now) {
  int bits = 0;
  for (const SimTapPlan& t : run_taps_) bits |= t.test_type;
  uint32_t at = now;
  if (SimHasBurdenTests(options_.model) && (bits & kBurdenTest)) {
    at += options_.step_ms;
    Schedule(at, "BURDEN TEST\r\n", kShowOnly);
  }
  if (SimHasBurdenTests(options_.model) && (bits & kInsulationTest)) {
    at += options_.step_ms;
    Schedule(at, "INSULATION TEST\r\n", kShowOnly);
  }
  Schedule(at + options_.step_ms, "", kSendData);
}

void SimInstrument::CancelRun() {
  steps_.clear();
  state_ = State::kIdle;
  ++runs_cancelled_;
  SendLine("TEST CANCELLED");
}

void SimInstrument::RunStep(const Step& step, uint32_t now) {
  SendText(step.text);
  switch (step.action) {
    case kAwaitConnect:
      state_ = State::kConnectWait;
      return;
    case kTapDone:
      ++run_tap_;
      BeginTap(now);
      return;
    case kSendData: {
      auto rec = MeasureTest(options_.model, ct_, run_header_, run_taps_,
                             options_.seed * 31u + run_counter_);
      SendLine("DATA");
      SendText(SimRecordText(*rec));
      if (StoredTestCount() < kSimMaxStoredTests) tests_.push_back(std::move(rec));
      selected_ = 0;  // "R" sends the test just made
      state_ = State::kIdle;
      ++runs_completed_;
      return;
    }
    default:
      return;
  }
}

void SimInstrument::Advance(uint32_t now_ms) {
  // Steps are due in the order they were scheduled; a step may schedule more.
  while (!steps_.empty() && static_cast<int32_t>(now_ms - steps_.front().at) >= 0) {
    const Step step = steps_.front();
    steps_.pop_front();
    RunStep(step, step.at);  // later steps keep their pace after a late call
  }
}

int64_t SimInstrument::NextStepAt() const {
  return steps_.empty() ? -1 : static_cast<int64_t>(steps_.front().at);
}

}  // namespace kova
