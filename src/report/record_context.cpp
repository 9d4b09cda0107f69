#include "report/record_context.h"

namespace kova {

KeptProfile ReadProfileBeside(const TestRecord& rec) {
  KeptProfile kept;
  if (rec.fullpath.empty()) return kept;
  kept.load = LoadAssessmentProfile(ProfilePathBeside(rec.fullpath), kept.profile, kept.why);
  return kept;
}

RecordContext GatherRecordContext(const TestRecord& rec, ReferenceKeeper& keeper,
                                  const ComparisonBands& bands) {
  RecordContext context;
  context.profile = ReadProfileBeside(rec);
  context.reference = keeper.Find(rec);
  context.bands = bands;
  return context;
}

RecordContext RecordContextBeside(const TestRecord& rec, const ComparisonBands& bands) {
  BesideRecordReferences beside;
  return GatherRecordContext(rec, beside, bands);
}

}  // namespace kova
