#include "app/settings_store.h"

namespace kova {

int ReadIntSetting(const SettingsStore& store, const std::string& section, const std::string& name,
                   int fallback) {
  int value = 0;
  return store.GetInt(section, name, value) ? value : fallback;
}

std::string ReadTextSetting(const SettingsStore& store, const std::string& section,
                            const std::string& name, const std::string& fallback) {
  std::string value;
  if (!store.GetText(section, name, value) || value.empty()) return fallback;
  return value;
}

namespace {
std::string Key(const std::string& section, const std::string& name) {
  return section + '\x1f' + name;
}
}  // namespace

bool MemorySettingsStore::GetInt(const std::string& section, const std::string& name,
                                 int& out) const {
  const auto it = values_.find(Key(section, name));
  if (it == values_.end() || it->second.kind != 1) return false;
  out = it->second.number;
  return true;
}

bool MemorySettingsStore::GetText(const std::string& section, const std::string& name,
                                  std::string& out) const {
  const auto it = values_.find(Key(section, name));
  if (it == values_.end() || it->second.kind != 2) return false;
  out = it->second.text;
  return true;
}

bool MemorySettingsStore::GetBinary(const std::string& section, const std::string& name,
                                    std::vector<unsigned char>& out) const {
  const auto it = values_.find(Key(section, name));
  if (it == values_.end() || it->second.kind != 3) return false;
  out = it->second.bytes;
  return true;
}

void MemorySettingsStore::SetInt(const std::string& section, const std::string& name, int value) {
  Value& v = values_[Key(section, name)];
  v = Value();
  v.kind = 1;
  v.number = value;
  log_.push_back(section + "/" + name);
}

void MemorySettingsStore::SetText(const std::string& section, const std::string& name,
                                  const std::string& value) {
  Value& v = values_[Key(section, name)];
  v = Value();
  v.kind = 2;
  v.text = value;
  log_.push_back(section + "/" + name);
}

void MemorySettingsStore::SetBinary(const std::string& section, const std::string& name,
                                    const std::vector<unsigned char>& value) {
  Value& v = values_[Key(section, name)];
  v = Value();
  v.kind = 3;
  v.bytes = value;
  log_.push_back(section + "/" + name);
}

bool MemorySettingsStore::Has(const std::string& section, const std::string& name) const {
  return values_.count(Key(section, name)) != 0;
}

}  // namespace kova
