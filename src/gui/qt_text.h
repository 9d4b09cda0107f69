#pragma once
// The program's texts are Windows-1252 bytes; the window and every dialog
// show Unicode. The one place the two meet.

#include <QString>
#include <string>

#include "base/codepage.h"

namespace kova {

inline QString ToQ(const std::string& cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}
inline std::string FromQ(const QString& text) { return Utf8ToCp1252(text.toStdString()); }
// File names are the system's (UTF-8 on Linux, Windows-1252 on Windows);
// never put through the text conversion above.
inline QString PathToQ(const std::string& path) {
  return QString::fromStdString(SystemNameToUtf8(path));
}
inline std::string PathFromQ(const QString& path) { return Utf8ToSystemName(path.toStdString()); }

}  // namespace kova
