#pragma once
// The sections of the record's XML document that carry what the printed
// report shows beyond the test tables: the ratio error table as the page
// lays it out, the classification (relaying class with its burden rows, or
// the metering class with its RCFs), the metering calculation trace, and the
// calculation details (assessment, comparison flags and the working of every
// computed value) when the record keeps an assessment profile or a
// reference curve beside it.

#include "assess/comparisons.h"
#include "export/xml_writer.h"
#include "records/test_record.h"
#include "report/record_context.h"

namespace kova {

// Inside a test, after its points: "ratioerrortable" when the test has a
// ratio error table, "meteringtrace" on a metering CT.
void WriteTestReportSections(XmlWriter& w, const TestRecord& rec, const TapTest& tap);

// Inside kovareport, after reportdata: "classification".
void WriteClassification(XmlWriter& w, const TestRecord& rec);

// Inside kovareport, after the tests: "calculationdetails", only when a
// profile or a reference curve is kept for the record (`context`).
void WriteCalculationDetails(XmlWriter& w, const TestRecord& rec, const RecordContext& context);

// The ratio error table as the printed page lays it out (CR LF line ends):
// the table's own line breaks, a line before every "VA/COS" column heading,
// a blank line before the phase error part, tap marks "#01" to "#10" removed.
std::string RatioErrorTableText(const std::string& burdentable);

}  // namespace kova
