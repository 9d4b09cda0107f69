#pragma once
// Validation of an XML document against an XML Schema with libxml2.

#include <cstddef>
#include <string>

namespace kova {

enum class XmlCheck { kValid, kSchemaUnreadable, kDocumentUnreadable, kInvalid };

constexpr size_t kMaxSchemaBytes = 4u << 20;
constexpr size_t kMaxDocumentBytes = 256u << 20;

// `message` receives libxml2's first complaint when the result is not valid,
// or why a file cannot be read ("not a regular file", ...).
XmlCheck CheckXmlAgainstSchema(const std::string& xml_path, const std::string& xsd_path,
                               std::string& message);
// The same on texts already read.
XmlCheck CheckXmlTextAgainstSchema(const std::string& xml_text, const std::string& xsd_text,
                                   std::string& message);

}  // namespace kova
