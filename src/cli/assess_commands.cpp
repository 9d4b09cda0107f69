// kova record assess and kova record explain: the protection-class
// assessment of a record and the working behind every value it shows.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "app/comparison_settings.h"
#include "app/library_settings.h"
#include "app/sister_records.h"
#include "assess/comparison_json.h"
#include "assess/comparisons.h"
#include "assess/curve_import.h"
#include "assess/explain.h"
#include "assess/profile_file.h"
#include "assess/reference_keeper.h"
#include "base/codepage.h"
#include "base/path.h"
#include "cli/cli_context.h"
#include "library/library_references.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"
#include "records/test_label.h"

namespace kova {
namespace {

struct AssessOptions {
  std::string file;
  std::string profile;
  int test = 0;
  bool json = false;
  bool keep_profile = false;
};

// The record library when one is there (never made by looking); null
// without one, and null after a message (`failed`) when it cannot be used.
std::unique_ptr<SqlRecordStore> LibraryInUse(const CliContext& ctx, const std::string& given,
                                             bool& failed) {
  failed = false;
  StoreOutcome outcome;
  auto store = OpenConfiguredLibrary(*ctx.store, given, LibraryUse::kChange, outcome);
  if (!store && outcome.status == StoreStatus::kMissing && given.empty()) return nullptr;
  if (!store) {
    PrintError(Cp1252ToUtf8(StoreOutcomeText(outcome)));
    failed = true;
  }
  return store;
}

// Where references and profiles are kept: for the CT in the library when
// there is one, else beside the record.
std::unique_ptr<ReferenceKeeper> KeeperFor(SqlRecordStore* library) {
  if (library != nullptr) return std::make_unique<LibraryReferences>(*library);
  return std::make_unique<BesideRecordReferences>();
}

// The profile named, or the one kept for the record's CT (in the library
// when there is one, else beside the record); `required` says whether its
// absence is an error. A named profile is kept for the CT when asked.
bool ProfileFor(const CliContext& ctx, const AssessOptions& o, bool required, const TestRecord& rec,
                AssessmentProfile& p, bool& have) {
  const bool named = !o.profile.empty();
  bool library_failed = false;
  auto library = LibraryInUse(ctx, "", library_failed);
  if (library_failed && o.keep_profile) return false;
  auto keeper = KeeperFor(library.get());
  const KeptProfile kept = named ? ReadProfileFile(o.profile) : keeper->FindProfile(rec);
  have = kept.loaded();
  if (have) {
    p = kept.profile;
    std::string where, why;
    if (o.keep_profile && named) {
      if (!keeper->KeepProfile(rec, p, where, why)) {
        PrintError(Cp1252ToUtf8("Cannot keep the assessment profile: " + why));
        return false;
      }
      PrintError(Cp1252ToUtf8("Assessment profile kept in " + where));
    }
    return true;
  }
  if (kept.load == ProfileLoad::kMissing && !named && !required) return true;
  if (kept.load == ProfileLoad::kMissing && !named) {
    PrintError(
        "No assessment profile: give --profile (with --keep-profile to keep it for the CT)"
        " or put \"" +
        ProfilePathBeside(o.file) + "\" beside the record");
  } else {
    PrintError(
        Cp1252ToUtf8("Cannot use the assessment profile \"" + kept.where + "\": " + kept.why));
  }
  return false;
}

bool Load(const CliContext& ctx, const std::string& path, TestRecord& rec) {
  std::string why;
  if (ReadRecordFile(rec, path, RecordDefaultsFrom(ctx.info), &why)) return true;
  PrintError("Cannot read record file \"" + path + "\": " + why);
  return false;
}

// False after a message when `test` (a report number, 0 for none named) is
// not a test of `rec`: a profile's "test" or `--test` past the record's.
bool TestInRecord(const TestRecord& rec, int test) {
  std::string missing = test > 0 ? MissingTestText(test, rec.UsableTests()) : "";
  if (missing.empty()) return true;
  missing[0] = 'T';  // "the record has no test 9: ..." opens the line
  PrintError(missing);
  return false;
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& l : WithoutNonFinite(lines)) std::cout << Cp1252ToUtf8(l) << '\n';
}

CLI::App* AddCommon(CLI::App& record, const char* name, const char* help,
                    std::shared_ptr<AssessOptions> o) {
  CLI::App* cmd = record.add_subcommand(name, help);
  cmd->add_option("FILE", o->file, "Record file")->required();
  cmd->add_option("--profile", o->profile,
                  "Assessment profile (JSON); without it the one kept for the CT (in the"
                  " record library when one is there, else beside the record)");
  cmd->add_flag("--keep-profile", o->keep_profile,
                "Keep the named profile for the CT (in the record library when one is there,"
                " else beside the record)");
  cmd->add_option("--test", o->test, "Test number, as the report heads the test's pages (1..20)")
      ->check(CLI::Range(1, kMaxTaps));
  cmd->add_flag("--json", o->json, "As one JSON object");
  return cmd;
}

struct CompareOptions {
  std::string file;
  std::string library;  // empty: the setting, else the default file
  std::string reference;
  // What a named reference's file may not say.
  bool reference_tap_given = false;
  std::string reference_tap, reference_turns, reference_voltmeter;
  bool keep = false;
  int test = 0;
  // Zero (or -1 for the span) where not given: the stored setting.
  double band = 0;
  double tap_band = 0;
  double sister_band = 0;
  int sister_span = -1;
  std::vector<std::string> sisters;
  bool json = false;
};

// The stored bands with the options given on the command line over them.
ComparisonBands BandsFor(const CliContext& ctx, const CompareOptions& o) {
  ComparisonBands b = LoadComparisonBands(*ctx.store);
  if (o.band > 0) b.reference_percent = o.band;
  if (o.tap_band > 0) b.tap_percent = o.tap_band;
  if (o.sister_band > 0) b.sister_percent = o.sister_band;
  if (o.sister_span >= 0) b.sister_span_days = o.sister_span;
  return b;
}

// The named reference read as a maker's curve, with the options for what
// its file does not say. False after a message naming what is missing.
bool NamedReference(const CompareOptions& o, ReferenceCurve& ref) {
  const std::string shown = "\"" + SystemNameToUtf8(o.reference) + "\"";
  ImportedCurve curve;
  std::string why;
  if (!ReadCurveImportFile(o.reference, curve, why)) {
    PrintError("Cannot use the reference curve " + shown + ": " + Cp1252ToUtf8(why));
    return false;
  }
  ImportAnswers a;
  a.tap_given = o.reference_tap_given;
  a.tap = Utf8ToCp1252(o.reference_tap);
  if (!o.reference_turns.empty() &&
      (!DecimalNumber(o.reference_turns, false, a.turns) || !(a.turns > 0))) {
    PrintError("--reference-turns: a number above 0 is required");
    return false;
  }
  if (!o.reference_voltmeter.empty()) {
    a.voltmeter = o.reference_voltmeter == "average" ? Voltmeter::kAverage : Voltmeter::kRms;
  }
  std::string lacking, options;
  for (ImportField f : MissingFields(curve)) {
    if (f == ImportField::kTurns && a.turns <= 0) {
      lacking += std::string(lacking.empty() ? "" : " or ") + "the turns of its tap";
      options += std::string(options.empty() ? "" : " and ") + "--reference-turns N";
    } else if (f == ImportField::kVoltmeter && a.voltmeter == Voltmeter::kNotGiven) {
      lacking += std::string(lacking.empty() ? "" : " or ") + "the voltmeter's reading";
      options += std::string(options.empty() ? "" : " and ") + "--reference-voltmeter rms|average";
    }
  }
  if (!lacking.empty()) {
    PrintError("The reference curve " + shown + " does not give " + lacking + ": give " + options);
    return false;
  }
  if (!CompleteImport(curve, a, {"--reference-tap", "--reference-turns", "--reference-voltmeter"},
                      ref, why)) {
    PrintError("Cannot use the reference curve " + shown + ": " + Cp1252ToUtf8(why));
    return false;
  }
  return true;
}

// The reference named, or the one kept for the record's CT; a named one is
// kept for the CT when asked. False after a message.
bool ReferenceFor(const CompareOptions& o, ReferenceKeeper& keeper, const TestRecord& rec,
                  ReferenceCurve& ref, bool& have) {
  have = false;
  if (o.reference.empty()) {
    const KeptReference kept = keeper.Find(rec);
    if (kept.state == KeptReference::State::kUnusable) {
      PrintError("Cannot use the reference curve \"" + kept.where + "\": " + kept.why);
      return false;
    }
    if (kept.loaded()) ref = kept.curve;
    have = kept.loaded();
    return true;
  }
  if (!NamedReference(o, ref)) return false;
  have = true;
  std::string where, why;
  if (o.keep && !keeper.Keep(rec, ref, where, why)) {
    PrintError(Cp1252ToUtf8("Cannot keep the reference curve: " + why));
    return false;
  }
  return true;
}

// The sister phases the library finds; false after a message when the
// library cannot be read. What was left out goes to `notes`.
bool LibrarySisters(CliContext& ctx, RecordReader& library, const TestRecord& rec, int test,
                    int span_days, SisterRecords& out, std::vector<std::string>& notes) {
  const StoreOutcome outcome =
      LoadSisterRecords(library, rec, test, span_days, RecordDefaultsFrom(ctx.info), out);
  if (!outcome.ok()) {
    PrintError(Cp1252ToUtf8(StoreOutcomeText(outcome)));
    return false;
  }
  notes.insert(notes.end(), out.notes.begin(), out.notes.end());
  if (!out.why.empty()) {
    notes.push_back("Sister phases not looked for in the record library: " + out.why);
  } else if (out.records.empty()) {
    notes.push_back(
        "Sister phases: the record library holds none of this station and circuit within " +
        std::to_string(span_days) + " days");
  }
  return true;
}

void RunCompare(CliContext& ctx, const CompareOptions& o) {
  auto rec = std::make_unique<TestRecord>();
  ReferenceCurve ref;
  bool have_ref = false;
  bool library_failed = false;
  if (!Load(ctx, o.file, *rec) || !TestInRecord(*rec, o.test)) {
    ctx.exit_code = 1;
    return;
  }
  // Named sisters need no library, but a reference to keep or find may.
  auto library = LibraryInUse(ctx, o.library, library_failed);
  if (library_failed) {
    ctx.exit_code = 1;
    return;
  }
  auto keeper = KeeperFor(library.get());
  if (!ReferenceFor(o, *keeper, *rec, ref, have_ref)) {
    ctx.exit_code = 1;
    return;
  }
  const int test = o.test > 0 ? o.test : 1;
  const ComparisonBands bands = BandsFor(ctx, o);
  ReferenceComparison compared;
  if (have_ref) compared = CompareWithReference(*rec, test, ref, bands.reference_percent);
  const std::vector<TapComparison> taps = CompareTaps(*rec, bands.tap_percent);
  SisterComparison sister_comparison;
  bool have_sisters = false;
  std::vector<std::string> notes;
  if (!o.sisters.empty() || library) {
    SisterRecords sisters;
    bool read = false;
    if (!o.sisters.empty()) {
      read = ReadNamedSisters(*rec, o.sisters, bands.sister_span_days, RecordDefaultsFrom(ctx.info),
                              sisters);
      if (!read) PrintError(Cp1252ToUtf8(sisters.why));
      notes = sisters.notes;
    } else {
      read = LibrarySisters(ctx, *library, *rec, test, bands.sister_span_days, sisters, notes);
    }
    if (!read) {
      ctx.exit_code = 1;
      return;
    }
    if (!sisters.records.empty()) {
      sister_comparison = CompareWithSisters(*rec, FileNameOf(o.file), test, sisters, bands);
      have_sisters = true;
    }
  }
  // What was left out is said on standard error, and in the JSON too.
  for (const std::string& note : notes) PrintError(Cp1252ToUtf8(note));
  if (o.json) {
    std::cout << ComparisonJson(have_ref ? &compared : nullptr, taps, bands.tap_percent,
                                have_sisters ? &sister_comparison : nullptr, notes)
                     .Dump(1)
              << '\n';
    return;
  }
  BandFlag worst = BandFlag::kOk;
  if (have_ref) {
    PrintLines(ReferenceLines(compared));
    worst = Worse(worst, compared.flag);
  }
  PrintLines(TapLines(taps, bands.tap_percent));
  for (const TapComparison& t : taps) worst = Worse(worst, t.flag);
  if (have_sisters) {
    PrintLines(SisterLines(sister_comparison));
    worst = Worse(worst, sister_comparison.flag);
  }
  // A flag is a finding, not a failure of the command.
  std::cout << "Result: " << BandFlagText(worst) << (worst > BandFlag::kOk ? ", see above" : "")
            << '\n';
}

}  // namespace

void AddRecordAssessCommands(CLI::App& record, CliContext& ctx) {
  auto a = std::make_shared<AssessOptions>();
  AddCommon(record, "assess", "Assess a record against an IEC 61869-2 protection class", a)
      ->callback([&ctx, a] {
        AssessmentProfile p;
        bool have = false;
        auto rec = std::make_unique<TestRecord>();
        if (!Load(ctx, a->file, *rec) || !ProfileFor(ctx, *a, true, *rec, p, have)) {
          ctx.exit_code = 1;
          return;
        }
        if (a->test > 0) p.test = a->test;
        if (!TestInRecord(*rec, p.test)) {
          ctx.exit_code = 1;
          return;
        }
        const AssessmentResult r = AssessRecord(*rec, p);
        if (a->json) {
          std::cout << AssessmentJson(r, p).Dump(1) << '\n';
        } else {
          PrintLines(AssessmentLines(r, p));
        }
        if (!r.usable) ctx.exit_code = 1;
      });

  auto c = std::make_shared<CompareOptions>();
  CLI::App* compare = record.add_subcommand(
      "compare", "Compare a record with its reference curve, its taps and its sister phases");
  compare->add_option("FILE", c->file, "Record file")->required();
  compare->add_option("--library", c->library,
                      "The record library the sister phases and the CT's reference come from"
                      " (default: the setting, else the file in the user's data folder, when"
                      " it is there)");
  CLI::Option* reference =
      compare->add_option("--reference", c->reference,
                          "Reference curve (CSV, a maker's layout); without it the one kept for"
                          " the CT");
  compare
      ->add_option_function<std::string>(
          "--reference-tap",
          [c](const std::string& tap) {
            c->reference_tap = tap;
            c->reference_tap_given = true;
          },
          "Tap of the reference curve, when its file does not say")
      ->needs(reference);
  compare
      ->add_option("--reference-turns", c->reference_turns,
                   "Turns of the reference curve's tap, when its file does not say")
      ->needs(reference);
  compare
      ->add_option("--reference-voltmeter", c->reference_voltmeter,
                   "The voltmeter the reference curve was read with, when its file does not say")
      ->check(CLI::IsMember({"rms", "average"}))
      ->needs(reference);
  compare->add_flag("--keep-reference", c->keep,
                    "Keep the named reference for the CT (in the record library when one is"
                    " there, else beside the record)");
  compare->add_option("--test", c->test, "Test compared with the reference and the sisters")
      ->check(CLI::Range(1, kMaxTaps));
  compare->add_option("--band", c->band, "Reference band, percent (default: the stored setting)")
      ->check(CLI::Range(0.1, 100.0));
  compare
      ->add_option("--tap-band", c->tap_band,
                   "Band of the taps, percent (default: the stored setting)")
      ->check(CLI::Range(0.1, 100.0));
  compare->add_option("--sister", c->sisters,
                      "Records of the sister phases (without them, the record library's)");
  compare
      ->add_option("--sister-band", c->sister_band,
                   "Band of the sister phases, percent (default: the stored setting)")
      ->check(CLI::Range(0.1, 100.0));
  compare
      ->add_option(
          "--sister-span", c->sister_span,
          "Sister phases tested further apart are left out, days (default: the stored setting)")
      ->check(CLI::Range(0, 3650));
  compare->add_flag("--json", c->json, "As one JSON object");
  compare->callback([&ctx, c] { RunCompare(ctx, *c); });

  auto e = std::make_shared<AssessOptions>();
  AddCommon(record, "explain", "How every computed value of a record was reached", e)
      ->callback([&ctx, e] {
        AssessmentProfile p;
        bool have = false;
        auto rec = std::make_unique<TestRecord>();
        if (!Load(ctx, e->file, *rec) || !ProfileFor(ctx, *e, false, *rec, p, have)) {
          ctx.exit_code = 1;
          return;
        }
        if (!TestInRecord(*rec, e->test) || (have && !TestInRecord(*rec, p.test))) {
          ctx.exit_code = 1;
          return;
        }
        AssessmentResult r;
        if (have) {
          if (e->test > 0 && p.test == 0) p.test = e->test;
          r = AssessRecord(*rec, p);
        }
        RecordExplanation x =
            ExplainRecord(*rec, e->test, have ? &r : nullptr, have ? &p : nullptr);
        // The comparisons with the reference kept for the CT, with their
        // working; a library that cannot be opened was named above and the
        // file beside the record is used.
        bool library_failed = false;
        auto library = LibraryInUse(ctx, "", library_failed);
        auto keeper = KeeperFor(library.get());
        ReferenceCurve ref;
        bool have_ref = false;
        if (!ReferenceFor(CompareOptions{}, *keeper, *rec, ref, have_ref)) {
          ctx.exit_code = 1;
          return;
        }
        const ComparisonBands bands = LoadComparisonBands(*ctx.store);
        ReferenceComparison compared;
        if (have_ref) {
          compared =
              CompareWithReference(*rec, e->test > 0 ? e->test : 1, ref, bands.reference_percent);
        }
        AddComparisonWorking(have_ref ? &compared : nullptr, CompareTaps(*rec, bands.tap_percent),
                             x);
        if (e->json) {
          std::cout << ExplanationJson(x).Dump(1) << '\n';
        } else {
          PrintLines(ExplanationLines(x));
        }
      });
}

}  // namespace kova
