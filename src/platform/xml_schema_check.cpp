#include "platform/xml_schema_check.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

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
  message.clear();
  xmlSetStructuredErrorFunc(&message, KeepFirstMutable);
  XmlCheck result = XmlCheck::kValid;
  xmlSchemaParserCtxtPtr pctx = xmlSchemaNewParserCtxt(xsd_path.c_str());
  xmlSchemaPtr schema = pctx != nullptr ? xmlSchemaParse(pctx) : nullptr;
  xmlDocPtr doc = nullptr;
  if (schema == nullptr) {
    result = XmlCheck::kSchemaUnreadable;
  } else {
    message.clear();
    // No network, no entity expansion: the document is data.
    doc = xmlReadFile(xml_path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOWARNING);
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
