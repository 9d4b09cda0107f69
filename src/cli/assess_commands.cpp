// kova record assess and kova record explain: the protection-class
// assessment of a record and the working behind every value it shows.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "app/comparison_settings.h"
#include "assess/comparisons.h"
#include "assess/explain.h"
#include "assess/profile_file.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/path.h"
#include "cli/cli_context.h"

namespace kova {
namespace {

struct AssessOptions {
  std::string file;
  std::string profile;
  int test = 0;
  bool json = false;
};

// The profile named, or the one beside the record; `required` says whether
// its absence is an error.
bool ProfileFor(const AssessOptions& o, bool required, AssessmentProfile& p, bool& have) {
  const bool named = !o.profile.empty();
  const std::string path = named ? o.profile : ProfilePathBeside(o.file);
  std::string why;
  const ProfileLoad load = LoadAssessmentProfile(path, p, why);
  have = load == ProfileLoad::kLoaded;
  if (have || (load == ProfileLoad::kMissing && !named && !required)) return true;
  if (load == ProfileLoad::kMissing && !named) {
    PrintError("No assessment profile: give --profile or put \"" + path + "\" beside the record");
  } else {
    PrintError("Cannot use the assessment profile \"" + path + "\": " + why);
  }
  return false;
}

bool Load(const CliContext& ctx, const std::string& path, TestRecord& rec) {
  std::string why;
  if (ReadRecordFile(rec, path, RecordDefaultsFrom(ctx.info), &why)) return true;
  PrintError("Cannot read record file \"" + path + "\": " + why);
  return false;
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& l : lines) std::cout << Cp1252ToUtf8(l) << '\n';
}

CLI::App* AddCommon(CLI::App& record, const char* name, const char* help,
                    std::shared_ptr<AssessOptions> o) {
  CLI::App* cmd = record.add_subcommand(name, help);
  cmd->add_option("FILE", o->file, "Record file")->required();
  cmd->add_option("--profile", o->profile,
                  "Assessment profile (JSON); without it the one beside the record");
  cmd->add_option("--test", o->test, "Test number (1..20)")->check(CLI::Range(1, kMaxTaps));
  cmd->add_flag("--json", o->json, "As one JSON object");
  return cmd;
}

struct CompareOptions {
  std::string file;
  std::string reference;
  bool keep = false;
  int test = 0;
  // Zero (or -1 for the span) where not given: the stored setting.
  double band = 0;
  double tap_band = 0;
  double sister_band = 0;
  int sister_span = -1;
  std::vector<std::string> sisters;
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

// The reference named, or the one kept beside the record; a named one is
// kept beside the record when asked. False after a message.
bool ReferenceFor(const CompareOptions& o, ReferenceCurve& ref, bool& have) {
  const std::string beside = ReferencePathBeside(o.file);
  const std::string path = o.reference.empty() ? beside : o.reference;
  have = false;
  if (o.reference.empty() && !FileExists(path)) return true;
  std::string text;
  FileProblem problem = FileProblem::kNone;
  std::string why;
  if (!ReadFileText(path, text, kMaxReferenceBytes, &problem)) {
    why = FileProblemText(problem);
  } else if (!ParseReferenceCsv(text, ref, why)) {
    why = "not a reference curve: " + why;
  }
  if (!why.empty()) {
    PrintError("Cannot use the reference curve \"" + path + "\": " + why);
    return false;
  }
  have = true;
  if (o.keep && !o.reference.empty() && !WriteFileAtomically(beside, ReferenceCsv(ref))) {
    PrintError("Cannot write \"" + beside + "\"");
    return false;
  }
  return true;
}

// Sister phases are compared only when tested within the span of the record;
// one tested further apart is left out with a message. A date that does not
// read cannot be judged, so that record stays in.
bool WithinSpan(const CliContext& ctx, const TestRecord& rec, const TestRecord& sister,
                const std::string& path, int span_days) {
  const int apart = TestDaysApart(rec.testdatetime, sister.testdatetime,
                                  RecordDefaultsFrom(ctx.info).dateformat != 0);
  if (apart < 0 || apart <= span_days) return true;
  PrintError("Not compared: \"" + path + "\" was tested " + std::to_string(apart) +
             " days apart, more than " + std::to_string(span_days));
  return false;
}

void RunCompare(CliContext& ctx, const CompareOptions& o) {
  auto rec = std::make_unique<TestRecord>();
  ReferenceCurve ref;
  bool have_ref = false;
  if (!Load(ctx, o.file, *rec) || !ReferenceFor(o, ref, have_ref)) {
    ctx.exit_code = 1;
    return;
  }
  const int test = o.test > 0 ? o.test : 1;
  const ComparisonBands bands = BandsFor(ctx, o);
  bool flagged = false;
  if (have_ref) {
    const ReferenceComparison c = CompareWithReference(*rec, test, ref, bands.reference_percent);
    PrintLines(ReferenceLines(c));
    flagged = flagged || c.flagged;
  }
  const std::vector<TapComparison> taps = CompareTaps(*rec, bands.tap_percent);
  PrintLines(TapLines(taps, bands.tap_percent));
  for (const TapComparison& t : taps) flagged = flagged || t.flagged;
  if (!o.sisters.empty()) {
    std::vector<std::unique_ptr<TestRecord>> owned;
    std::vector<const TestRecord*> records{rec.get()};
    std::vector<std::string> names{FileNameOf(o.file)};
    for (const std::string& f : o.sisters) {
      owned.push_back(std::make_unique<TestRecord>());
      if (!Load(ctx, f, *owned.back())) {
        ctx.exit_code = 1;
        return;
      }
      if (!WithinSpan(ctx, *rec, *owned.back(), f, bands.sister_span_days)) {
        owned.pop_back();
        continue;
      }
      records.push_back(owned.back().get());
      names.push_back(FileNameOf(f));
    }
    if (test > rec->UsableTests()) {
      PrintError("The record has no test " + std::to_string(test));
      ctx.exit_code = 1;
      return;
    }
    const SisterComparison c =
        CompareSisters(records, names, rec->taps[test - 1].nTapConnection, bands.sister_percent);
    PrintLines(SisterLines(c, bands.sister_percent));
    for (const SisterRow& r : c.rows) flagged = flagged || r.flagged;
  }
  // A flag is a finding, not a failure of the command.
  std::cout << (flagged ? "Flagged: see above\n" : "Nothing flagged\n");
}

}  // namespace

void AddRecordAssessCommands(CLI::App& record, CliContext& ctx) {
  auto a = std::make_shared<AssessOptions>();
  AddCommon(record, "assess", "Assess a record against an IEC 61869-2 protection class", a)
      ->callback([&ctx, a] {
        AssessmentProfile p;
        bool have = false;
        auto rec = std::make_unique<TestRecord>();
        if (!ProfileFor(*a, true, p, have) || !Load(ctx, a->file, *rec)) {
          ctx.exit_code = 1;
          return;
        }
        if (a->test > 0) p.test = a->test;
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
  compare->add_option("--reference", c->reference,
                      "Reference curve (CSV); without it the one kept beside the record");
  compare->add_flag("--keep-reference", c->keep, "Keep the named reference beside the record");
  compare->add_option("--test", c->test, "Test compared with the reference and the sisters")
      ->check(CLI::Range(1, kMaxTaps));
  compare->add_option("--band", c->band, "Reference band, percent (default: the stored setting)")
      ->check(CLI::Range(0.1, 100.0));
  compare
      ->add_option("--tap-band", c->tap_band,
                   "Band of the taps, percent (default: the stored setting)")
      ->check(CLI::Range(0.1, 100.0));
  compare->add_option("--sister", c->sisters, "Records of the sister phases");
  compare
      ->add_option("--sister-band", c->sister_band,
                   "Band of the sister phases, percent (default: the stored setting)")
      ->check(CLI::Range(0.1, 100.0));
  compare
      ->add_option(
          "--sister-span", c->sister_span,
          "Sister phases tested further apart are left out, days (default: the stored setting)")
      ->check(CLI::Range(0, 3650));
  compare->callback([&ctx, c] { RunCompare(ctx, *c); });

  auto e = std::make_shared<AssessOptions>();
  AddCommon(record, "explain", "How every computed value of a record was reached", e)
      ->callback([&ctx, e] {
        AssessmentProfile p;
        bool have = false;
        auto rec = std::make_unique<TestRecord>();
        if (!ProfileFor(*e, false, p, have) || !Load(ctx, e->file, *rec)) {
          ctx.exit_code = 1;
          return;
        }
        if (e->test > rec->UsableTests()) {
          PrintError("The record has no test " + std::to_string(e->test));
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
        // The comparisons kept beside the record, with their working.
        CompareOptions beside;
        beside.file = e->file;
        ReferenceCurve ref;
        bool have_ref = false;
        if (!ReferenceFor(beside, ref, have_ref)) {
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
