// kova record ...: show, export, convert and build record files.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "app/output_rule.h"
#include "app/save_record.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "cli/cli_context.h"
#include "export/record_json.h"
#include "export/record_summary.h"
#include "records/record_file.h"
#include "records/test_record.h"

namespace kova {

void WarnIfEndedEarly(const std::string& path) {
  const std::string warning = RecordFileEndedEarlyText(path, CheckRecordFileEnd(path));
  if (!warning.empty()) PrintError(Cp1252ToUtf8(warning));
}

bool LoadRecord(const std::string& path, TestRecord& rec, const CliContext& ctx) {
  std::string why;
  if (ReadRecordFile(rec, path, RecordDefaultsFrom(ctx.info), &why)) {
    WarnIfEndedEarly(path);
    return true;
  }
  PrintError("Cannot read record file \"" + path + "\": " + why);
  return false;
}

namespace {

std::string U(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

// Stops with the overwrite rule's message when `out` may not be written.
bool MayWrite(const std::string& out, const std::vector<std::string>& inputs, bool overwrite) {
  const OutputCheck check = CheckOutputFile(out, inputs, overwrite);
  if (check == OutputCheck::kFine) return true;
  PrintError(OutputCheckText(check, out));
  return false;
}

// A file name that begins with '-' ("-x.test") is not an option CLI11 knows;
// it is left over as an extra argument: take it as the FILE argument.
bool TakeDashedFile(CLI::App* cmd, std::string& file) {
  const std::vector<std::string> extras = cmd->remaining();
  if (extras.empty()) return true;
  if (file.empty() && extras.size() == 1) {
    file = extras[0];
    return true;
  }
  std::string list;
  for (const std::string& e : extras) list += " " + e;
  PrintError("The following arguments were not expected:" + list);
  return false;
}

}  // namespace

void AddRecordCommands(CLI::App& app, CliContext& ctx) {
  CLI::App* record = app.add_subcommand("record", "Record files (.test) and instrument records");
  record->require_subcommand(1);

  struct ShowOptions {
    std::string file;
    bool json = false;
  };
  auto show_opts = std::make_shared<ShowOptions>();
  CLI::App* show = record->add_subcommand("show", "Show a record file");
  show->add_option("FILE", show_opts->file, "Record file, raw instrument file");
  show->add_flag("--json", show_opts->json, "The whole record as one JSON object");
  show->allow_extras();
  show->callback([&ctx, show_opts, show] {
    if (!TakeDashedFile(show, show_opts->file)) {
      ctx.exit_code = 1;
      return;
    }
    if (show_opts->file.empty()) {
      PrintError("FILE is required");
      ctx.exit_code = 1;
      return;
    }
    TestRecord rec;
    if (!LoadRecord(show_opts->file, rec, ctx)) {
      ctx.exit_code = 1;
      return;
    }
    if (show_opts->json) {
      std::cout << RecordToJson(rec).Dump(1) << '\n';
    } else {
      std::cout << U(RecordSummaryText(rec));
    }
  });

  AddRecordExportCommands(*record, ctx);

  struct ConvertOptions {
    std::string in, out;
    bool overwrite = false;
  };
  auto conv_opts = std::make_shared<ConvertOptions>();
  CLI::App* convert =
      record->add_subcommand("convert", "Write any readable record as a record file");
  convert->add_option("IN", conv_opts->in, "Record file or raw instrument file")->required();
  convert->add_option("-o,--output", conv_opts->out, "Record file to write")->required();
  convert->add_flag("--overwrite", conv_opts->overwrite, "Replace an existing output file");
  convert->callback([&ctx, conv_opts] {
    if (!MayWrite(conv_opts->out, {conv_opts->in}, conv_opts->overwrite)) {
      ctx.exit_code = 1;
      return;
    }
    auto rec = std::make_unique<TestRecord>();
    if (!LoadRecord(conv_opts->in, *rec, ctx)) {
      ctx.exit_code = 1;
      return;
    }
    std::string why;
    if (!SaveRecordAndExport(*rec, conv_opts->out, ctx.exporter.get(), &why)) {
      PrintError("Cannot write record file \"" + conv_opts->out + "\": " + why);
      ctx.exit_code = 1;
    }
  });

  struct FromTextOptions {
    std::string in, out;
    int model = 1;
    bool single = false;
    int tap = 0;
    bool overwrite = false;
  };
  auto text_opts = std::make_shared<FromTextOptions>();
  CLI::App* from_text =
      record->add_subcommand("from-text", "Parse an instrument record text into a record file");
  from_text->add_option("TEXTFILE", text_opts->in, "Record text as the instrument sends it")
      ->required();
  from_text->add_option("-o,--output", text_opts->out, "Record file to write")->required();
  from_text->add_option("--model", text_opts->model, "Instrument model code 1..4")
      ->check(CLI::Range(1, 4));
  from_text->add_flag("--single-test", text_opts->single, "The text holds one test");
  from_text->add_option("--tap", text_opts->tap, "Tap index for a single test (0..19)")
      ->check(CLI::Range(0, kMaxTaps - 1));
  from_text->add_flag("--overwrite", text_opts->overwrite, "Replace an existing output file");
  from_text->callback([&ctx, text_opts] {
    if (!MayWrite(text_opts->out, {text_opts->in}, text_opts->overwrite)) {
      ctx.exit_code = 1;
      return;
    }
    std::string text;
    FileProblem problem = FileProblem::kNone;
    if (!ReadFileText(text_opts->in, text, 64u * 1024 * 1024, &problem)) {
      PrintError("Cannot read \"" + text_opts->in + "\": " + FileProblemText(problem));
      ctx.exit_code = 1;
      return;
    }
    auto rec = std::make_unique<TestRecord>();
    rec->deviceversion = text_opts->model;
    TextParseOptions parse;
    parse.single_test = text_opts->single;
    parse.tap_index = text_opts->tap;
    if (!ReadRecordText(*rec, text, RecordDefaultsFrom(ctx.info), parse)) {
      PrintError("The record text in \"" + text_opts->in + "\" is not a valid record");
      ctx.exit_code = 1;
      return;
    }
    std::string why;
    if (!SaveRecordAndExport(*rec, text_opts->out, ctx.exporter.get(), &why)) {
      PrintError("Cannot write record file \"" + text_opts->out + "\": " + why);
      ctx.exit_code = 1;
    }
  });
}

}  // namespace kova
