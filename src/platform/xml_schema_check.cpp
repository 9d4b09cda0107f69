#include "platform/xml_schema_check.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <climits>

#include "base/file_io.h"

namespace kova {
namespace {

// Keeps the first error text libxml2 reports instead of printing it.
void KeepFirst(void* ctx, const xmlError* error) {
  auto* message = static_cast<std::string*>(ctx);
  if (message->empty() && error != nullptr && error->message != nullptr) {
    *message = error->message;
    while (!message->empty() && message->back() == '\n') message->pop_back();
    if (error->line > 0) *message += " (line " + std::to_string(error->line) + ")";
  }
}

void KeepFirstMutable(void* ctx, xmlError* error) { KeepFirst(ctx, error); }

}  // namespace

XmlCheck CheckXmlAgainstSchema(const std::string& xml_path, const std::string& xsd_path,
                               std::string& message) {
  // Both are read by us, bounded and only when they are regular files (a
  // FIFO would hang libxml2's own open), then parsed from memory.
  std::string xsd_text, xml_text;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileText(xsd_path, xsd_text, kMaxSchemaBytes, &problem)) {
    message = FileProblemText(problem);
    return XmlCheck::kSchemaUnreadable;
  }
  if (!ReadFileText(xml_path, xml_text, kMaxDocumentBytes, &problem)) {
    message = FileProblemText(problem);
    return XmlCheck::kDocumentUnreadable;
  }
  return CheckXmlTextAgainstSchema(xml_text, xsd_text, message);
}

XmlCheck CheckXmlTextAgainstSchema(const std::string& xml_text, const std::string& xsd_text,
                                   std::string& message) {
  message.clear();
  if (xml_text.size() > static_cast<size_t>(INT_MAX) ||
      xsd_text.size() > static_cast<size_t>(INT_MAX)) {
    message = FileProblemText(FileProblem::kTooLarge);
    return XmlCheck::kDocumentUnreadable;
  }
  xmlSetStructuredErrorFunc(&message, KeepFirstMutable);
  XmlCheck result = XmlCheck::kValid;
  xmlSchemaParserCtxtPtr pctx =
      xmlSchemaNewMemParserCtxt(xsd_text.data(), static_cast<int>(xsd_text.size()));
  xmlSchemaPtr schema = pctx != nullptr ? xmlSchemaParse(pctx) : nullptr;
  xmlDocPtr doc = nullptr;
  if (schema == nullptr) {
    result = XmlCheck::kSchemaUnreadable;
  } else {
    message.clear();
    // No network, no entity expansion: the document is data.
    doc = xmlReadMemory(xml_text.data(), static_cast<int>(xml_text.size()), "document.xml", nullptr,
                        XML_PARSE_NONET | XML_PARSE_NOWARNING);
    if (doc == nullptr) {
      result = XmlCheck::kDocumentUnreadable;
    } else {
      xmlSchemaValidCtxtPtr vctx = xmlSchemaNewValidCtxt(schema);
      if (vctx == nullptr || xmlSchemaValidateDoc(vctx, doc) != 0) result = XmlCheck::kInvalid;
      if (vctx != nullptr) xmlSchemaFreeValidCtxt(vctx);
    }
  }
  if (doc != nullptr) xmlFreeDoc(doc);
  if (schema != nullptr) xmlSchemaFree(schema);
  if (pctx != nullptr) xmlSchemaFreeParserCtxt(pctx);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  return result;
}

}  // namespace kova
