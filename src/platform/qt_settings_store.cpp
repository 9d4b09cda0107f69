#include "platform/qt_settings_store.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <cstdlib>

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
    settings_ = std::make_unique<QSettings>(QString::fromLocal8Bit(file), QSettings::IniFormat);
  } else {
    settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QString::fromLatin1(kCompanyKey),
                                            QString::fromLatin1(kApplicationKey));
  }
}

QtSettingsStore::QtSettingsStore(const std::string& ini_path)
    : settings_(
          std::make_unique<QSettings>(QString::fromStdString(ini_path), QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

bool QtSettingsStore::GetInt(const std::string& section, const std::string& name, int& out) const {
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
  const QVariant v = settings_->value(Key(section, name));
  if (!v.isValid()) return false;
  out = ToCp1252(v.toString());
  return true;
}

bool QtSettingsStore::GetBinary(const std::string& section, const std::string& name,
                                std::vector<unsigned char>& out) const {
  const QVariant v = settings_->value(Key(section, name));
  if (!v.isValid()) return false;
  const QByteArray bytes = v.toByteArray();
  out.assign(bytes.begin(), bytes.end());
  return true;
}

void QtSettingsStore::SetInt(const std::string& section, const std::string& name, int value) {
  settings_->setValue(Key(section, name), value);
}

void QtSettingsStore::SetText(const std::string& section, const std::string& name,
                              const std::string& value) {
  settings_->setValue(Key(section, name), FromCp1252(value));
}

void QtSettingsStore::SetBinary(const std::string& section, const std::string& name,
                                const std::vector<unsigned char>& value) {
  settings_->setValue(Key(section, name), QByteArray(reinterpret_cast<const char*>(value.data()),
                                                     static_cast<qsizetype>(value.size())));
}

bool QtSettingsStore::Flush() {
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

std::string QtSettingsStore::Location() const { return settings_->fileName().toStdString(); }

}  // namespace kova
