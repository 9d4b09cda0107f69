#include <cctype>

#include "device/rud_device.h"

namespace kova {

std::string ModelNameOf(int modelcode) { return ShortModelName(ModelFromCodeOr7100(modelcode)); }

std::string ModelDisplayName(int modelcode) {
  return ModelTitleName(ModelFromCodeOr7100(modelcode));
}

int ModelCodeFromIdentification(const std::string& reply) {
  return ModelCodeOf(ModelMarksOf(reply));
}

std::string ConnectedTitle(const std::string& base, int modelcode) {
  return base + "        [Connected Device: " + ModelDisplayName(modelcode) + "]";
}

int PortNumberFromName(const std::string& name) {
  std::string text = name;
  while (!text.empty() && text.back() == ':') text.pop_back();
  if (text.size() <= 3) return 0;
  // Read as a decimal number: leading blanks, an optional sign, digits.
  size_t i = 3;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 1000000) return 0;  // no port has such a number
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace kova
