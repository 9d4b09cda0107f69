#include "platform/qt_settings_store.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/app_settings.h"
#include "base/codepage.h"

namespace kova {
namespace {

QString Key(const std::string& section, const std::string& name) {
  return QString::fromStdString(Cp1252ToUtf8(section) + "/" + Cp1252ToUtf8(name));
}

QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

std::string ToCp1252(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

}  // namespace

QtSettingsStore::QtSettingsStore() {
  const char* file = std::getenv("KOVA_SETTINGS");
  if (file != nullptr && *file != '\0') {
    OpenIni(file);
  } else {
    // The registry below HKEY_CURRENT_USER on Windows, an INI file below the
    // user's configuration folder elsewhere.
#ifdef _WIN32
    const QSettings::Format format = QSettings::NativeFormat;
#else
    const QSettings::Format format = QSettings::IniFormat;
#endif
    settings_ =
        std::make_unique<QSettings>(format, QSettings::UserScope, QString::fromLatin1(kCompanyKey),
                                    QString::fromLatin1(kApplicationKey));
  }
}

QtSettingsStore::QtSettingsStore(const std::string& ini_path) { OpenIni(ini_path); }

void QtSettingsStore::OpenIni(const std::string& path) {
  // A FIFO would block the program in open and a huge file fill its memory:
  // only a missing file (made on the first save) or a regular one of
  // settings' size is used.
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (status.type() != std::filesystem::file_type::not_found) {
    if (status.type() == std::filesystem::file_type::directory) {
      problem_ = "it is a folder";
    } else if (status.type() != std::filesystem::file_type::regular) {
      problem_ = "not a regular file";
    } else if (std::filesystem::file_size(path, ec) > kMaxSettingsFileBytes) {
      problem_ = "the file is too large";
    }
  }
  if (!problem_.empty()) return;
  settings_ = std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat);
}

QtSettingsStore::~QtSettingsStore() = default;

bool QtSettingsStore::GetInt(const std::string& section, const std::string& name, int& out) const {
  if (!settings_) return false;
  const QVariant v = settings_->value(Key(section, name));
  if (!v.isValid()) return false;
  bool ok = false;
  const int n = v.toInt(&ok);
  if (!ok) return false;
  out = n;
  return true;
}

bool QtSettingsStore::GetText(const std::string& section, const std::string& name,
                              std::string& out) const {
  if (!settings_) return false;
  const QVariant v = settings_->value(Key(section, name));
  if (!v.isValid()) return false;
  out = ToCp1252(v.toString());
  return true;
}

bool QtSettingsStore::GetBinary(const std::string& section, const std::string& name,
                                std::vector<unsigned char>& out) const {
  if (!settings_) return false;
  const QVariant v = settings_->value(Key(section, name));
  if (!v.isValid()) return false;
  const QByteArray bytes = v.toByteArray();
  out.assign(bytes.begin(), bytes.end());
  return true;
}

void QtSettingsStore::SetInt(const std::string& section, const std::string& name, int value) {
  if (settings_) settings_->setValue(Key(section, name), value);
}

void QtSettingsStore::SetText(const std::string& section, const std::string& name,
                              const std::string& value) {
  if (settings_) settings_->setValue(Key(section, name), FromCp1252(value));
}

void QtSettingsStore::SetBinary(const std::string& section, const std::string& name,
                                const std::vector<unsigned char>& value) {
  if (settings_)
    settings_->setValue(Key(section, name), QByteArray(reinterpret_cast<const char*>(value.data()),
                                                       static_cast<qsizetype>(value.size())));
}

bool QtSettingsStore::Flush() {
  if (!settings_) return false;
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

std::string QtSettingsStore::Location() const {
  return settings_ ? settings_->fileName().toStdString() : std::string();
}

}  // namespace kova
