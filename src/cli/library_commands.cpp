// kova library ...: the record library, every test of every CT over the
// years, on this PC or a team's server.

#include <CLI/CLI.hpp>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>

#include "analysis/read_record.h"
#include "app/library_settings.h"
#include "base/codepage.h"
#include "base/format.h"
#include "cli/cli_context.h"
#include "cli/interrupt_cancel.h"
#include "cli/library_report_command.h"
#include "library/ct_json.h"
#include "library/fleet.h"
#include "library/fleet_report.h"
#include "library/history_table.h"
#include "library/library_assess.h"
#include "library/library_import.h"
#include "library/library_prune.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"
#include "platform/surface_pages_pdf.h"
#include "report/page_footer.h"

namespace kova {
namespace {

struct LibraryOptions {
  std::string location;
  bool json = false;
};

std::unique_ptr<SqlRecordStore> Open(CliContext& ctx, const LibraryOptions& o, LibraryUse use) {
  StoreOutcome outcome;
  auto store = OpenConfiguredLibrary(*ctx.store, o.location, use, outcome);
  if (!store) {
    PrintError(Cp1252ToUtf8(StoreOutcomeText(outcome)));
    ctx.exit_code = 1;
  }
  return store;
}

bool Check(CliContext& ctx, const StoreOutcome& outcome) {
  if (outcome.ok()) return true;
  PrintError(Cp1252ToUtf8(StoreOutcomeText(outcome)));
  ctx.exit_code = 1;
  return false;
}

void Print(const JsonValue& v) { std::cout << v.Dump(2) << '\n'; }

std::string Utf8(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

// Ctrl-C or SIGTERM during an import stops it after the file at hand; the
// records read until then are filed.
void RunAdd(CliContext& ctx, const LibraryOptions& o, const std::vector<std::string>& paths) {
  CancelToken cancel;
  InterruptCancels interrupt([&cancel] { cancel.Cancel(); });
  auto store = Open(ctx, o, LibraryUse::kFile);
  if (!store) return;
  // The states of the records filed are worked out with the settings' bands.
  if (!Check(ctx, store->SetTrendBands(LoadLibrarySettings(*ctx.store).bands))) return;
  RecordDefaults defaults;
  const ImportSummary s = ImportRecordFiles(*store, paths, defaults, &cancel);
  for (const ImportProblem& p : s.problems) PrintError(p.path + ": " + p.reason);
  if (o.json) {
    JsonValue out = JsonValue::Object();
    out.Set("added", JsonValue::Integer(s.added));
    out.Set("new_paths", JsonValue::Integer(s.new_paths));
    out.Set("unchanged", JsonValue::Integer(s.unchanged));
    JsonValue problems = JsonValue::Array();
    for (const ImportProblem& p : s.problems) {
      JsonValue q = JsonValue::Object();
      q.Set("file", JsonValue::String(SystemNameToUtf8(p.path)));
      q.Set("reason", JsonValue::String(p.reason));
      problems.Push(std::move(q));
    }
    out.Set("problems", std::move(problems));
    out.Set("cancelled", JsonValue::Bool(s.cancelled));
    Print(out);
  } else {
    std::cout << Format("Added %lld, found at a new path %lld, unchanged %lld, not readable %zu\n",
                        static_cast<long long>(s.added), static_cast<long long>(s.new_paths),
                        static_cast<long long>(s.unchanged), s.problems.size());
  }
  if (s.cancelled) {
    PrintError("Import cancelled");
    ctx.exit_code = interrupt.Interrupted() ? interrupt.ExitCode() : 1;
  }
  // A path named that could not be read, or a folder in it, is a failure:
  // its records are not in the library.
  for (const ImportProblem& p : s.problems)
    if (p.unreadable) ctx.exit_code = 1;
  Check(ctx, s.store);
}

void RunPrune(CliContext& ctx, const LibraryOptions& o, const PruneOptions& options) {
  auto store = Open(ctx, o, LibraryUse::kChange);
  if (!store) return;
  const PruneSummary s = PruneLibrary(*store, options);
  if (!Check(ctx, s.store)) return;
  if (o.json) {
    JsonValue out = JsonValue::Object();
    out.Set("removed_files", JsonValue::Integer(s.removed));
    out.Set("kept_unseen_files", JsonValue::Integer(s.kept_unseen));
    Print(out);
    return;
  }
  std::cout << "Removed " << s.removed << " files that are gone\n";
  if (s.kept_unseen > 0)
    std::cout << s.kept_unseen
              << " files under folders this computer cannot see were kept"
                 " (--missing-folders removes them)\n";
}

void RunStats(CliContext& ctx, const LibraryOptions& o) {
  auto store = Open(ctx, o, LibraryUse::kRead);
  if (!store) return;
  LibraryStats st;
  if (!Check(ctx, store->Stats(st))) return;
  if (o.json) {
    JsonValue out = JsonValue::Object();
    out.Set("cts", JsonValue::Integer(st.cts));
    out.Set("records", JsonValue::Integer(st.records));
    out.Set("files", JsonValue::Integer(st.files));
    out.Set("tests", JsonValue::Integer(st.tests));
    out.Set("first_test_date", JsonValue::String(st.first_test_date));
    out.Set("last_test_date", JsonValue::String(st.last_test_date));
    Print(out);
  } else {
    std::cout << "CTs: " << st.cts << "\nRecords: " << st.records << "\nFiles: " << st.files
              << "\nTap tests: " << st.tests << "\nFirst test: " << st.first_test_date
              << "\nLast test: " << st.last_test_date << '\n';
  }
}

void RunCts(CliContext& ctx, const LibraryOptions& o, const std::string& search, int limit) {
  auto store = Open(ctx, o, LibraryUse::kRead);
  if (!store) return;
  std::vector<CtInfo> cts;
  if (!Check(ctx, store->SearchCts(Utf8ToCp1252(search), limit, cts))) return;
  if (o.json) {
    JsonValue out = JsonValue::Array();
    for (const CtInfo& ct : cts) out.Push(CtJson(ct));
    Print(out);
    return;
  }
  for (const CtInfo& ct : cts)
    std::cout << Utf8(Format("%-20s %-20s %-20s %-20s %3lld  %s\n", ct.serialnumber.c_str(),
                             ct.manufacturer.c_str(), ct.station.c_str(), ct.circuit.c_str(),
                             static_cast<long long>(ct.records),
                             ct.last_test_date.substr(0, 10).c_str()));
}

struct HistoryOptions {
  std::string serial, tap, manufacturer;
  bool csv = false;
};

void RunHistory(CliContext& ctx, const LibraryOptions& o, const HistoryOptions& h) {
  auto store = Open(ctx, o, LibraryUse::kRead);
  if (!store) return;
  std::vector<CtInfo> cts;
  if (!Check(ctx, store->FindCtsBySerial(Utf8ToCp1252(h.serial), cts))) return;
  if (!h.manufacturer.empty()) {
    const std::string want = NormalizeIdentityText(Utf8ToCp1252(h.manufacturer));
    std::vector<CtInfo> kept;
    for (const CtInfo& ct : cts)
      if (NormalizeIdentityText(ct.manufacturer) == want) kept.push_back(ct);
    cts.swap(kept);
  }
  if (cts.empty() && !h.manufacturer.empty()) {
    PrintError("No CT of manufacturer \"" + h.manufacturer + "\" with serial number \"" + h.serial +
               "\" in the library");
    ctx.exit_code = 1;
    return;
  }
  if (cts.empty()) {
    PrintError("No CT with serial number \"" + h.serial + "\" in the library");
    ctx.exit_code = 1;
    return;
  }
  if (cts.size() > 1) {
    PrintError("Several manufacturers use serial number \"" + h.serial +
               "\": choose one with --manufacturer");
    for (const CtInfo& ct : cts) PrintError("  " + Utf8(ct.manufacturer));
    ctx.exit_code = 1;
    return;
  }
  std::vector<std::string> taps;
  if (h.tap.empty()) {
    if (!Check(ctx, store->CtTaps(cts[0].key, taps))) return;
  } else {
    taps.push_back(Utf8ToCp1252(h.tap));
  }
  const TrendBands bands = LoadLibrarySettings(*ctx.store).bands;
  std::vector<HistoryEntry> all;
  for (const std::string& tap : taps) {
    std::vector<TestRow> rows;
    if (!Check(ctx, store->History(cts[0].key, tap, rows))) return;
    auto history = BuildHistory(rows, bands);
    all.insert(all.end(), history.begin(), history.end());
  }
  if (all.empty()) {
    PrintError("No test of tap " + h.tap + " for this CT");
    ctx.exit_code = 1;
    return;
  }
  if (h.csv) {
    std::cout << HistoryCsv(all);
  } else if (o.json) {
    JsonValue out = CtJson(cts[0]);
    out.Set("tests", HistoryJson(all));
    Print(out);
  } else {
    std::cout << Utf8(cts[0].manufacturer + " " + cts[0].serialnumber + ", " + cts[0].station +
                      ", " + cts[0].circuit)
              << '\n';
    const auto& columns = HistoryColumns();
    for (size_t i = 0; i + 1 < columns.size(); ++i)
      std::cout << Utf8(Format("%-15s ", columns[i].c_str()));
    std::cout << Utf8(columns.back()) << '\n';
    for (const HistoryEntry& e : all) {
      const auto cells = HistoryCells(e, DateStyleOf(ctx.info.dateformat));
      for (size_t i = 0; i + 1 < cells.size(); ++i)
        std::cout << Utf8(Format("%-15s ", cells[i].text.c_str()));
      std::cout << SystemNameToUtf8(cells.back().text) << '\n';
    }
  }
}

void RunBaseline(CliContext& ctx, const LibraryOptions& o, const std::string& file) {
  auto store = Open(ctx, o, LibraryUse::kChange);
  if (!store) return;
  std::string hash, why;
  if (!RecordFileHash(file, hash, why)) {
    PrintError(file + ": " + why);
    ctx.exit_code = 1;
    return;
  }
  bool found = false;
  if (!Check(ctx, store->SetBaseline(hash, found))) return;
  if (!found) {
    PrintError(file + ": not in the library; add it first with \"kova library add\"");
    ctx.exit_code = 1;
    return;
  }
  std::cout << "Baseline: " << file << '\n';
}

struct AssessOptions {
  std::string station, circuit;
  bool csv = false;
};

// Records filed from another computer are assessed from the library's
// values; a record file is read only when those lack the curve.
void RunAssess(CliContext& ctx, const LibraryOptions& o, const AssessOptions& a) {
  auto store = Open(ctx, o, LibraryUse::kRead);
  if (!store) return;
  const RecordFileReader read = [](const std::string& path, TestRecord& rec) {
    return ReadRecordFile(rec, path, RecordDefaults());
  };
  std::vector<CtVerdict> verdicts;
  if (!Check(ctx, AssessLibrary(*store, {Utf8ToCp1252(a.station), Utf8ToCp1252(a.circuit)}, read,
                                verdicts)))
    return;
  if (a.csv) {
    std::cout << VerdictsCsv(verdicts);
  } else if (o.json) {
    Print(VerdictsJson(verdicts));
  } else if (verdicts.empty()) {
    PrintError("No CT with an assessment profile in the library matches");
  } else {
    for (const std::string& line : VerdictTableLines(verdicts)) std::cout << Utf8(line) << '\n';
  }
}

struct FleetOptions {
  FleetFilter filter;
  std::string state, sort = "serial", today, pdf;
  bool csv = false, overwrite = false;
};

// The fleet report as a PDF; the library file itself is never written over.
void WriteFleetPdf(CliContext& ctx, const LibraryOptions& o, RecordReader& store,
                   const FleetOptions& f, const std::string& today, int retest_years) {
  ctx.exit_code = 1;
  std::string pdf = f.pdf;
  if (!LibraryPdfTarget(ctx, o.location, f.overwrite, pdf)) return;
  FleetReport report;
  if (!Check(ctx, GatherFleetReport(store, f.filter, today, retest_years, report))) return;
  report.dates = DateStyleOf(ctx.info.dateformat);
  report.printed_on = PrintedNowText(ctx.info.dateformat == kDateEU);
  const auto pages = FleetReportPages(report);
  std::string why;
  if (!SurfacePagesToPdf(
          pdf, static_cast<int>(pages.size()), false,
          [&](Surface& s, const Rect& page, int i) {
            DrawFleetReportPage(s, page, report, pages, i);
          },
          "Fleet", why)) {
    PrintError("Cannot write \"" + pdf + "\": " + why);
    return;
  }
  ctx.exit_code = 0;
  if (report.page.total > static_cast<int64_t>(report.page.rows.size()))
    PrintError("The report holds the first " + std::to_string(report.page.rows.size()) + " of " +
               std::to_string(report.page.total) + " CTs: a filter narrows the list");
  std::cout << pdf << '\n';
}

// Reads a date option; false (with the words printed) for one that is none.
bool DateOption(CliContext& ctx, const char* name, std::string& date) {
  if (date.empty() || AddDays(date, 0) == date) return true;
  PrintError(std::string(name) + ": \"" + date + "\" is no date (YYYY-MM-DD)");
  ctx.exit_code = 1;
  return false;
}

void RunFleet(CliContext& ctx, const LibraryOptions& o, FleetOptions f) {
  if (!f.state.empty() && !ParseFleetState(f.state, f.filter.min_state)) {
    PrintError("--state: \"" + f.state + "\" is none of warn, alarm, fail");
    ctx.exit_code = 1;
    return;
  }
  if (!ParseFleetColumn(f.sort, f.filter.sort)) {
    std::string names;
    for (FleetColumn c : FleetColumns())
      names += std::string(names.empty() ? "" : ", ") + FleetColumnName(c);
    PrintError("--sort: \"" + f.sort + "\" is none of " + names);
    ctx.exit_code = 1;
    return;
  }
  if (!DateOption(ctx, "--today", f.today) ||
      !DateOption(ctx, "--tested-from", f.filter.tested_from) ||
      !DateOption(ctx, "--tested-to", f.filter.tested_to))
    return;
  for (std::string* text :
       {&f.filter.text, &f.filter.station, &f.filter.circuit, &f.filter.manufacturer})
    *text = Utf8ToCp1252(*text);
  auto store = Open(ctx, o, LibraryUse::kRead);
  if (!store) return;
  const LibrarySettings settings = LoadLibrarySettings(*ctx.store);
  // The stored states follow the bands of the settings where this user may
  // change the library; elsewhere they stay the library's.
  const StoreOutcome bands = store->SetTrendBands(settings.bands);
  if (!bands.ok())
    PrintError("The states are the library's, worked out with its own bands: " +
               Utf8(StoreOutcomeText(bands)));
  const std::string today = f.today.empty() ? TodayIso() : f.today;
  if (!f.pdf.empty()) {
    WriteFleetPdf(ctx, o, *store, f, today, settings.retest_years);
    return;
  }
  FleetPage page;
  if (!Check(ctx, store->Fleet(MakeFleetQuery(f.filter, today, settings.retest_years), page)))
    return;
  FillDue(page, today, settings.retest_years);
  if (f.csv) {
    std::cout << FleetCsv(page);
    return;
  }
  if (o.json) {
    Print(FleetJson(page));
    return;
  }
  const char* line = "%-16s %-16s %-16s %-12s %7s %10s %-5s %-12s %s\n";
  std::cout << Format(line, "Serial", "Manufacturer", "Station", "Circuit", "Records", "Last test",
                      "State", "Verdict", "Due");
  for (const FleetRow& r : page.rows) {
    const std::vector<std::string> cells = FleetCells(r, DateStyleOf(ctx.info.dateformat));
    std::cout << Utf8(Format(
        line, r.ct.serialnumber.c_str(), r.ct.manufacturer.c_str(), r.ct.station.c_str(),
        r.ct.circuit.c_str(), std::to_string(r.facts.records).c_str(),
        ShownDate(r.facts.last_test_date.substr(0, 10), DateStyleOf(ctx.info.dateformat)).c_str(),
        FleetStateText(r.facts.state), r.facts.verdict.c_str(), cells.back().c_str()));
  }
  std::cout << page.rows.size() << " of " << page.total << " CTs\n";
}

}  // namespace

void AddLibraryCommands(CLI::App& app, CliContext& ctx) {
  CLI::App* lib =
      app.add_subcommand("library", "The record library: every CT's tests over the years");
  lib->require_subcommand(1);
  auto o = std::make_shared<LibraryOptions>();
  // Every command takes the library's location and, but baseline, --json.
  auto common = [o](CLI::App* cmd, bool json) {
    cmd->add_option("--library", o->location,
                    "A SQLite file or a postgresql:// URI (default: the setting, else the file "
                    "in the user's data folder)");
    if (json) cmd->add_flag("--json", o->json, "Print JSON");
  };

  auto paths = std::make_shared<std::vector<std::string>>();
  CLI::App* add = lib->add_subcommand("add", "Add record files; folders are searched recursively");
  add->add_option("PATH", *paths, "Record files and folders")->required();
  common(add, true);
  add->callback([&ctx, o, paths] { RunAdd(ctx, *o, *paths); });

  auto pruning = std::make_shared<PruneOptions>();
  CLI::App* prune = lib->add_subcommand(
      "prune",
      "Drop files that are gone from the library; files of folders this computer cannot see "
      "(another computer's, an unmounted share) are kept");
  prune->add_option("FOLDER", pruning->folders, "Only files under these folders");
  prune->add_flag("--missing-folders", pruning->missing_folders,
                  "Also drop the files of folders this computer cannot see");
  common(prune, true);
  prune->callback([&ctx, o, pruning] { RunPrune(ctx, *o, *pruning); });

  CLI::App* stats = lib->add_subcommand("stats", "Count the library's CTs, records and tests");
  common(stats, true);
  stats->callback([&ctx, o] { RunStats(ctx, *o); });

  auto search = std::make_shared<std::string>();
  auto limit = std::make_shared<int>(1000);
  CLI::App* cts = lib->add_subcommand("cts", "List CTs");
  cts->add_option("--search", *search,
                  "Text in the serial number, station, circuit or manufacturer");
  cts->add_option("--limit", *limit, "At most this many CTs (1 to 1000000)")
      ->check(CLI::Range(1, 1000000));
  common(cts, true);
  cts->callback([&ctx, o, search, limit] { RunCts(ctx, *o, *search, *limit); });

  auto h = std::make_shared<HistoryOptions>();
  CLI::App* history = lib->add_subcommand("history", "One CT's tests with their changes flagged");
  history->add_option("SERIAL", h->serial, "Serial number")->required();
  history->add_option("--tap", h->tap, "Tap name, e.g. X1-X5 (default: every tap)");
  history->add_option("--manufacturer", h->manufacturer,
                      "Manufacturer, when several use the serial number");
  common(history, true);
  history->add_flag("--csv", h->csv, "Print CSV for a spreadsheet");
  history->callback([&ctx, o, h] { RunHistory(ctx, *o, *h); });

  auto rep = std::make_shared<LibraryReportOptions>();
  CLI::App* report = lib->add_subcommand(
      "report", "One CT's history report: its tests, states, bands, trend and curves, as a PDF");
  report->add_option("SERIAL", rep->serial, "Serial number")->required();
  report->add_option("--manufacturer", rep->manufacturer,
                     "Manufacturer, when several use the serial number");
  report->add_option("--tap", rep->tap, "Only this tap, e.g. X1-X5 (default: every tap)");
  report->add_option("-o,--output", rep->pdf, "PDF file to write (\".pdf\" is added when left out)")
      ->required();
  report->add_flag("--overwrite", rep->overwrite, "Replace an existing PDF");
  common(report, false);
  report->callback([&ctx, o, rep] {
    LibraryReportOptions r = *rep;
    r.location = o->location;
    RunLibraryReport(ctx, r);
  });

  auto a = std::make_shared<AssessOptions>();
  CLI::App* assess = lib->add_subcommand(
      "assess", "Assess the latest test of every CT with an assessment profile kept for it");
  assess->add_option("--station", a->station, "Only the CTs of this station");
  assess->add_option("--circuit", a->circuit, "Only the CTs of this circuit");
  common(assess, true);
  assess->add_flag("--csv", a->csv, "Print CSV for a spreadsheet")->excludes("--json");
  assess->callback([&ctx, o, a] { RunAssess(ctx, *o, *a); });

  auto f = std::make_shared<FleetOptions>();
  f->filter.limit = 1000;
  CLI::App* fleet = lib->add_subcommand(
      "fleet", "Every CT's state, verdict and due date: what needs attention first");
  fleet->add_option("--search", f->filter.text,
                    "Text in the serial number, station, circuit or manufacturer");
  fleet->add_option("--station", f->filter.station, "Only the CTs of this station");
  fleet->add_option("--circuit", f->filter.circuit, "Only the CTs of this circuit");
  fleet->add_option("--manufacturer", f->filter.manufacturer, "Only the CTs of this manufacturer");
  fleet->add_option("--state", f->state, "Only CTs in this state or worse: warn, alarm or fail");
  CLI::Option* overdue =
      fleet->add_flag("--overdue", f->filter.overdue, "Only CTs whose retest is overdue");
  fleet
      ->add_option("--due-within", f->filter.due_within_days,
                   "Only CTs due within this many days (overdue ones included)")
      ->check(CLI::Range(0, 36500))
      ->excludes(overdue);
  fleet->add_option("--tested-from", f->filter.tested_from,
                    "Only CTs tested on this day (YYYY-MM-DD) or later");
  fleet->add_option("--tested-to", f->filter.tested_to,
                    "Only CTs tested on this day (YYYY-MM-DD) or earlier");
  fleet->add_option("--sort", f->sort,
                    "serial, manufacturer, station, circuit, model, records, taps, first_test, "
                    "last_test, state, verdict or due");
  fleet->add_flag("--descending", f->filter.descending, "Sort the other way round");
  fleet->add_option("--limit", f->filter.limit, "At most this many CTs (1 to 1000000)")
      ->check(CLI::Range(1, 1000000));
  fleet->add_option("--offset", f->filter.offset, "Skip this many CTs first (a later page)")
      ->check(CLI::Range(0, 1000000000));
  fleet->add_option("--today", f->today,
                    "Count due dates from this day (YYYY-MM-DD) instead of today");
  common(fleet, true);
  fleet->add_flag("--csv", f->csv, "Print CSV for a spreadsheet")->excludes("--json");
  fleet
      ->add_option("--pdf", f->pdf,
                   "Write the fleet report (the table, its summary and the states per station) "
                   "to this PDF file")
      ->excludes("--csv")
      ->excludes("--json");
  fleet->add_flag("--overwrite", f->overwrite, "Write over an existing PDF file");
  fleet->callback([&ctx, o, f] { RunFleet(ctx, *o, *f); });

  auto file = std::make_shared<std::string>();
  CLI::App* baseline = lib->add_subcommand(
      "baseline", "Compare the CT's tests with this record instead of its first");
  baseline->add_option("FILE", *file, "A record file in the library")->required();
  common(baseline, false);
  baseline->callback([&ctx, o, file] { RunBaseline(ctx, *o, *file); });
}

}  // namespace kova
