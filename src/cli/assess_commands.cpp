// kova record assess and kova record explain: the protection-class
// assessment of a record and the working behind every value it shows.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "assess/explain.h"
#include "assess/profile_file.h"
#include "base/codepage.h"
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
        const RecordExplanation x =
            ExplainRecord(*rec, e->test, have ? &r : nullptr, have ? &p : nullptr);
        if (e->json) {
          std::cout << ExplanationJson(x).Dump(1) << '\n';
        } else {
          PrintLines(ExplanationLines(x));
        }
      });
}

}  // namespace kova
