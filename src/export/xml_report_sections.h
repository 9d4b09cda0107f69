#pragma once
// The report sections document: what our own report generator prints
// beyond the record's XML document, handed to it in a document of its own
// so that the XML document stays as other readers know it. It carries the
// classification (relaying class with its burden rows, or the metering
// class with its RCFs), each test's ratio error table as the page lays it
// out and its metering calculation trace, and the calculation details
// (assessment, comparison flags and the working of every computed value)
// when the record keeps an assessment profile or a reference curve beside
// it. data/kovasections.xsd describes it.
//
// It is written only into a private folder, beside the XML document the
// generator reads; the generator finds it by the XML document's name.

#include <string>

#include "assess/comparisons.h"
#include "records/test_record.h"
#include "report/record_context.h"

namespace kova {

// The schema of the sections document, beside "kovatest.xsd" in the
// installation folder.
constexpr const char* kReportSectionsSchemaName = "kovasections.xsd";

// The sections document of the XML document at `xml_path`: beside it, its
// name with ".kova-sections.xml" in place of the last extension.
std::string ReportSectionsPath(const std::string& xml_path);

// The document's text: UTF-8, CR LF line ends, no byte order mark. Its
// tests are those of the XML document, in the same order, each named by
// the same `testnum` and `testorder`.
std::string BuildReportSections(const TestRecord& rec, const RecordContext& context);
// The same for what is kept beside the record file alone (no library).
std::string BuildReportSectionsBeside(const TestRecord& rec, const ComparisonBands& bands);

// The ratio error table as the printed page lays it out (CR LF line ends):
// the table's own line breaks, a line before every "VA/COS" column heading,
// a blank line before the phase error part, tap marks "#01" to "#10" removed.
std::string RatioErrorTableText(const std::string& burdentable);

}  // namespace kova
