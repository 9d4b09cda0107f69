#include "export/pass_fail_names.h"

namespace kova {

const char* CtTypeName(int pfcttype) {
  static const char* const kNames[] = {"C100", "C200", "C400", "C800"};
  return pfcttype >= 0 && pfcttype < 4 ? kNames[pfcttype] : " ";
}

const char* CtLocationName(int pfkneepointlocation) {
  static const char* const kNames[] = {"Circuit Breaker", "Transformer", "Auto-Bank"};
  return pfkneepointlocation >= 0 && pfkneepointlocation < 3 ? kNames[pfkneepointlocation]
                                                             : "Other";
}

}  // namespace kova
