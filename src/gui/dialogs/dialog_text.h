#pragma once
// The core keeps Windows-1252 bytes; widgets show QStrings.

#include <QString>
#include <string>

#include "base/codepage.h"

namespace kova {

inline QString ToQ(const std::string& cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}
inline std::string FromQ(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

}  // namespace kova
