#include <cctype>

#include "device/rud_device.h"

namespace kova {

std::string ModelNameOf(int modelcode) {
  switch (modelcode) {
    case kModel7KA:
      return "7KA";
    case kModel7100BC:
      return "7100B";
    case kModelR5:
      return "7100 R5";
    default:
      return "7100";
  }
}

std::string ModelDisplayName(int modelcode) {
  switch (modelcode) {
    case kModelR5:
      return " KOVA-R5";
    case kModel7100BC:
      return " KOVA-7100B/C";
    case kModel7KA:
      return " KOVA-7KA";
    default:
      return " KOVA-7100";
  }
}

int ModelCodeFromIdentification(const std::string& reply) {
  int code = kModel7100;
  if (reply.find("R5") != std::string::npos) code = kModelR5;
  if (reply.find("7100B") != std::string::npos || reply.find("7100C") != std::string::npos) {
    code = kModel7100BC;
  }
  if (reply.find("-7KA") != std::string::npos) code = kModel7KA;
  return code;
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
