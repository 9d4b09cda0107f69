#pragma once
// The three knee points of a test as every output shows them: their names,
// the record members and XML elements that hold them, and the number formats
// of each output. The outputs' formats differ on purpose and stay so: the
// text export and the workbook give the knee voltage three decimals, the
// report and the XML document (and so the PDF made from it) two.

#include "records/test_record.h"

namespace kova {

enum class KneeKind { kIeee30, kIeee45, kIec10 };

struct KneeFieldRow {
  KneeKind kind;
  const char* name;  // "IEEE 30": the label's start in the exports, the report's column title
  double TapTest::*voltage;
  double TapTest::*current;
  const char* voltage_element;  // XML element of the voltage
  const char* current_element;
};

// In the order the exports and the report list them.
constexpr KneeFieldRow kKneeFields[] = {
    {KneeKind::kIeee30, "IEEE 30", &TapTest::fKneeVtg30, &TapTest::fKneeCur30, "fKneeVtg30",
     "fKneeCur30"},
    {KneeKind::kIeee45, "IEEE 45", &TapTest::fKneeVtg45, &TapTest::fKneeCur45, "fKneeVtg45",
     "fKneeCur45"},
    {KneeKind::kIec10, "IEC 10/50", &TapTest::fKneeVtg10, &TapTest::fKneeCur10, "fKneeVtg10",
     "fKneeCur10"},
};

// The knee values' labels after the knee's name: "IEEE 30 Vkp[Volts]" in
// the exports, a cell "Vkp[Volts]: ..." under the name in the report.
constexpr const char* kKneeVoltageLabel = "Vkp[Volts]";
constexpr const char* kKneeCurrentLabel = "Ikp[Amps]";

// The XML document lists the IEC knee first.
constexpr KneeKind kXmlKneeOrder[] = {KneeKind::kIec10, KneeKind::kIeee30, KneeKind::kIeee45};

constexpr const KneeFieldRow& KneeField(KneeKind kind) {
  return kKneeFields[static_cast<int>(kind)];
}

struct KneeFormats {
  const char* voltage;
  const char* current;
};

// clang-format off
constexpr KneeFormats kTextKneeFormats         = {"%3.3lf", "%3.4lf"};  // text export and workbook test block
constexpr KneeFormats kWorkbookSummaryFormats  = {"%3.3lf", "%.4lf"};   // the workbook's summary table, "V/I"
constexpr KneeFormats kXmlKneeFormats          = {"%3.2lf", "%3.4lf"};
constexpr KneeFormats kReportKneeFormats       = {"%3.2lf", "%3.4lf"};  // the report's test table
// clang-format on

}  // namespace kova
