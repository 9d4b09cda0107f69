#include "report/record_context.h"

namespace kova {

RecordContext GatherRecordContext(const TestRecord& rec, ReferenceKeeper& keeper,
                                  const ComparisonBands& bands) {
  RecordContext context;
  context.profile = keeper.FindProfile(rec);
  context.reference = keeper.Find(rec);
  context.bands = bands;
  context.sisters = keeper.FindSisters(rec, bands);
  return context;
}

RecordContext RecordContextBeside(const TestRecord& rec, const ComparisonBands& bands) {
  BesideRecordReferences beside;
  return GatherRecordContext(rec, beside, bands);
}

}  // namespace kova
