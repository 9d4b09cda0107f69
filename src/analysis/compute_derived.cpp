#include "records/test_record.h"

namespace kova {

// Filled by the class calculation.
void TestRecord::ComputeDerived() {}

}  // namespace kova
