#pragma once
// Validation of an XML document against an XML Schema with libxml2.

#include <string>

namespace kova {

enum class XmlCheck { kValid, kSchemaUnreadable, kDocumentUnreadable, kInvalid };

// `message` receives libxml2's first complaint when the result is not valid.
XmlCheck CheckXmlAgainstSchema(const std::string& xml_path, const std::string& xsd_path,
                               std::string& message);

}  // namespace kova
