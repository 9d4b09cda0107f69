// kova record ...: show, export, convert and build record files.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "cli/cli_context.h"
#include "export/record_json.h"
#include "export/record_summary.h"
#include "records/test_record.h"

namespace kova {
namespace {

std::string U(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

bool LoadRecord(const std::string& path, TestRecord& rec) {
  if (rec.ReadRecordFile(path)) return true;
  PrintError("Cannot read record file \"" + path + "\"");
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
  show->add_option("FILE", show_opts->file, "Record file, raw instrument file")->required();
  show->add_flag("--json", show_opts->json, "The whole record as one JSON object");
  show->callback([&ctx, show_opts] {
    TestRecord rec;
    if (!LoadRecord(show_opts->file, rec)) {
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
  };
  auto conv_opts = std::make_shared<ConvertOptions>();
  CLI::App* convert =
      record->add_subcommand("convert", "Write any readable record as a record file");
  convert->add_option("IN", conv_opts->in, "Record file or raw instrument file")->required();
  convert->add_option("-o,--output", conv_opts->out, "Record file to write")->required();
  convert->callback([&ctx, conv_opts] {
    TestRecord rec;
    if (!LoadRecord(conv_opts->in, rec)) {
      ctx.exit_code = 1;
      return;
    }
    if (!rec.WriteRecordFile(conv_opts->out)) {
      PrintError("Cannot write record file \"" + conv_opts->out + "\"");
      ctx.exit_code = 1;
    }
  });

  struct FromTextOptions {
    std::string in, out;
    int model = 1;
    bool single = false;
    int tap = 0;
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
  from_text->callback([&ctx, text_opts] {
    std::string text;
    if (!ReadFileText(text_opts->in, text, 64u * 1024 * 1024)) {
      PrintError("Cannot read \"" + text_opts->in + "\"");
      ctx.exit_code = 1;
      return;
    }
    auto rec = std::make_unique<TestRecord>();
    rec->deviceversion = text_opts->model;
    if (!rec->RecordTextParser(text, text_opts->single ? 1 : 0, text_opts->tap, 0)) {
      PrintError("The record text in \"" + text_opts->in + "\" is not a valid record");
      ctx.exit_code = 1;
      return;
    }
    rec->ComputeDerived();
    if (!rec->WriteRecordFile(text_opts->out)) {
      PrintError("Cannot write record file \"" + text_opts->out + "\"");
      ctx.exit_code = 1;
    }
  });
}

}  // namespace kova
