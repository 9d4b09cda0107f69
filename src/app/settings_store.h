#pragma once
// A per-user store of named int and text values in sections. On Windows the
// registry; elsewhere an INI file (platform layer); in tests, memory.

#include <map>
#include <string>
#include <vector>

namespace kova {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // False when the value is absent (or not of that kind).
  virtual bool GetInt(const std::string& section, const std::string& name, int& out) const = 0;
  virtual bool GetText(const std::string& section, const std::string& name,
                       std::string& out) const = 0;
  virtual bool GetBinary(const std::string& section, const std::string& name,
                         std::vector<unsigned char>& out) const = 0;
  virtual void SetInt(const std::string& section, const std::string& name, int value) = 0;
  virtual void SetText(const std::string& section, const std::string& name,
                       const std::string& value) = 0;
  virtual void SetBinary(const std::string& section, const std::string& name,
                         const std::vector<unsigned char>& value) = 0;
  // Writes pending changes to their medium; false when that failed.
  virtual bool Flush() { return true; }
};

int ReadIntSetting(const SettingsStore& store, const std::string& section, const std::string& name,
                   int fallback);
// An absent or empty text takes the fallback.
std::string ReadTextSetting(const SettingsStore& store, const std::string& section,
                            const std::string& name, const std::string& fallback);

class MemorySettingsStore : public SettingsStore {
 public:
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

  // Names written, in order, for checking what an operation stored.
  const std::vector<std::string>& WriteLog() const { return log_; }
  bool Has(const std::string& section, const std::string& name) const;

 private:
  struct Value {
    int kind = 0;  // 1 int, 2 text, 3 binary
    int number = 0;
    std::string text;
    std::vector<unsigned char> bytes;
  };
  std::map<std::string, Value> values_;
  std::vector<std::string> log_;
};

}  // namespace kova
