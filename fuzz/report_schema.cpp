// XML documents of any content checked against the installed schema, as the
// report generator checks its input before reading it: a verdict and a
// message, never a crash.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/file_io.h"
#include "platform/xml_schema_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string schema = [] {
    std::string text;
    if (!kova::ReadFileText(KOVA_SCHEMA_PATH, text)) std::abort();
    return text;
  }();
  std::string message;
  const std::string xml(reinterpret_cast<const char*>(data), size);
  const kova::XmlCheck check = kova::CheckXmlTextAgainstSchema(xml, schema, message);
  // The installed schema always reads; a refused document always says why.
  if (check == kova::XmlCheck::kSchemaUnreadable) std::abort();
  if (check != kova::XmlCheck::kValid && message.empty()) std::abort();
  return 0;
}
