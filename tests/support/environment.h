#pragma once
// Setting and clearing environment variables in tests on every system
// (Windows has no setenv/unsetenv).

#include <cstdlib>
#include <string>

namespace kova {

inline void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnvironment(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");  // an empty value removes the variable
#else
  unsetenv(name);
#endif
}

}  // namespace kova
