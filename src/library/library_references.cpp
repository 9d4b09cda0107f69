#include "library/library_references.h"

#include "assess/profile_json.h"
#include "library/store_messages.h"

namespace kova {

namespace {

bool NamesItsCt(const TestRecord& rec) { return !NormalizeIdentityText(rec.serialnumber).empty(); }

}  // namespace

KeptReference LibraryReferences::Find(const TestRecord& rec) {
  if (!NamesItsCt(rec)) return beside_.Find(rec);
  std::string text;
  bool found = false;
  const StoreOutcome outcome =
      store_.FindReference(CtKey(rec.manufacturer, rec.serialnumber), text, found);
  if (!outcome.ok()) {
    KeptReference kept;
    kept.state = KeptReference::State::kUnusable;
    kept.where = kReferenceInLibrary;
    kept.why = StoreOutcomeText(outcome);
    return kept;
  }
  if (!found) return beside_.Find(rec);
  return ReferenceFromText(text, kReferenceInLibrary);
}

bool LibraryReferences::Keep(const TestRecord& rec, const ReferenceCurve& ref, std::string& where,
                             std::string& why) {
  if (!NamesItsCt(rec)) return beside_.Keep(rec, ref, where, why);
  const StoreOutcome outcome =
      store_.KeepReference(CtKey(rec.manufacturer, rec.serialnumber), ReferenceCsv(ref));
  if (!outcome.ok()) {
    why = StoreOutcomeText(outcome);
    return false;
  }
  where = kReferenceInLibrary;
  return true;
}

KeptProfile LibraryReferences::FindProfile(const TestRecord& rec) {
  if (!NamesItsCt(rec)) return beside_.FindProfile(rec);
  std::string text;
  bool found = false;
  const StoreOutcome outcome =
      store_.FindProfile(CtKey(rec.manufacturer, rec.serialnumber), text, found);
  if (!outcome.ok()) {
    KeptProfile kept;
    kept.load = ProfileLoad::kUnreadable;
    kept.where = kReferenceInLibrary;
    kept.why = StoreOutcomeText(outcome);
    return kept;
  }
  if (!found) return beside_.FindProfile(rec);
  return ProfileFromText(text, kReferenceInLibrary);
}

bool LibraryReferences::KeepProfile(const TestRecord& rec, const AssessmentProfile& profile,
                                    std::string& where, std::string& why) {
  if (!NamesItsCt(rec)) return beside_.KeepProfile(rec, profile, where, why);
  const StoreOutcome outcome = store_.KeepProfile(CtKey(rec.manufacturer, rec.serialnumber),
                                                  AssessmentProfileToJson(profile));
  if (!outcome.ok()) {
    why = StoreOutcomeText(outcome);
    return false;
  }
  where = kReferenceInLibrary;
  return true;
}

}  // namespace kova
