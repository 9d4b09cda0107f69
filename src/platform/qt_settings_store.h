#pragma once
// The settings store on QSettings: the registry on Windows, an INI file
// below the user's configuration folder elsewhere. The environment variable
// KOVA_SETTINGS, when set, names an INI file used instead.

#include <cstdint>
#include <memory>
#include <string>

#include "app/settings_store.h"

class QSettings;

namespace kova {

class QtSettingsStore : public SettingsStore {
 public:
  // The user's store of company "Helmark-inc", application "KOVA-7100", or
  // the file named by KOVA_SETTINGS.
  QtSettingsStore();
  // An INI file at `ini_path`.
  explicit QtSettingsStore(const std::string& ini_path);
  ~QtSettingsStore() override;

  bool GetInt(const std::string& section, const std::string& name, int& out) const override;
  bool GetText(const std::string& section, const std::string& name,
               std::string& out) const override;
  bool GetBinary(const std::string& section, const std::string& name,
                 std::vector<unsigned char>& out) const override;
  void SetInt(const std::string& section, const std::string& name, int value) override;
  void SetText(const std::string& section, const std::string& name,
               const std::string& value) override;
  void SetBinary(const std::string& section, const std::string& name,
                 const std::vector<unsigned char>& value) override;
  bool Flush() override;

  std::string Location() const;
  // Why the INI file cannot be used (a FIFO, a folder, larger than any
  // settings file); empty when it can. An unusable store reads nothing and
  // keeps nothing.
  const std::string& Problem() const { return problem_; }

  static constexpr uintmax_t kMaxSettingsFileBytes = 1024 * 1024;

 private:
  void OpenIni(const std::string& path);
  std::unique_ptr<QSettings> settings_;
  std::string problem_;
};

}  // namespace kova
