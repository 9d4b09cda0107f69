// Report templates of any content, as a user may edit them: parsed, and
// every directive's arguments filled with placeholders. A parsed template
// has only known sections, every directive its argument count, and every
// block its "end".

#include <cstdint>
#include <cstdlib>
#include <string>

#include "reportgen/report_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kova::ReportTemplate t;
  std::string error;
  if (!kova::ParseReportTemplate(text, t, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  const auto& order = kova::ReportSectionOrder();
  for (const auto& [name, lines] : t.sections) {
    bool known = false;
    for (const std::string& s : order) known = known || s == name;
    if (!known) std::abort();
    for (size_t i = 0; i < lines.size(); ++i) {
      const kova::TemplateLine& l = lines[i];
      if (l.line < 1) std::abort();
      // Every block's "end" lies after it, in the same section.
      if ((l.directive == "each" || l.directive == "if") &&
          (l.end <= i || l.end >= lines.size() || lines[l.end].directive != "end")) {
        std::abort();
      }
      for (const std::string& part : l.parts) {
        // Each placeholder is replaced whole: "{x}" by "<x>" keeps the length.
        const std::string filled =
            kova::FillPlaceholders(part, [](const std::string& n) { return "<" + n + ">"; });
        if (filled.size() != part.size()) std::abort();
      }
    }
  }
  return 0;
}
