// kova plan ...: show plan files, build them from JSON, print their image.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>

#include "app/output_rule.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/json.h"
#include "cli/cli_context.h"
#include "plans/plan_json.h"
#include "plans/test_plan.h"
#include "records/tap_names.h"

namespace kova {
namespace {

constexpr size_t kMaxJsonBytes = 16u * 1024 * 1024;

std::string U(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

// A thumb-drive image is recognised by its folder: give Load the whole path
// even when the user typed a relative one.
bool LoadPlan(const std::string& path, kvTestPlan& plan) {
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(path, ec);
  if (plan.Load(ec ? path : whole.string())) return true;
  PrintError("Unable to load test plan \"" + path + "\"");
  return false;
}

const char* DeviceName(int type) {
  switch (type) {
    case kPlanKova7100:
      return "KOVA-7100";
    case kPlanKovaR5:
      return "KOVA-R5";
    case kPlanKova7100BC:
      return "KOVA-7100B/C";
    case kPlanKova7KC:
      return "KOVA-7KC folder";
    case kPlanKova7KA:
      return "KOVA-7KA";
    default:
      return "unknown";
  }
}

const char* KneeName(int kneetype) {
  switch (kneetype) {
    case 1:
      return "IEEE 30 Deg";
    case 2:
      return "IEEE 45 Deg";
    case 3:
      return "IEC 10/50";
    default:
      return "unknown";
  }
}

std::string TestNames(int flags) {
  static const struct {
    int bit;
    const char* name;
  } kNames[] = {
      {1, "ratio"}, {2, "resistance"}, {4, "excitation"}, {8, "burden"}, {16, "insulation"}};
  std::string text;
  for (const auto& n : kNames) {
    if ((flags & n.bit) == 0) continue;
    if (!text.empty()) text += ',';
    text += n.name;
  }
  return text.empty() ? "none" : text;
}

void PrintPlan(const std::string& path, const kvTestPlan& plan) {
  std::cout << "File:           " << path << '\n'
            << "Device type:    " << plan.devicetype << ' ' << DeviceName(plan.devicetype) << '\n'
            << "Knee type:      " << plan.kneetype << ' ' << KneeName(plan.kneetype) << '\n'
            << "Company:        " << U(plan.company) << '\n'
            << "Station:        " << U(plan.station) << '\n'
            << "Circuit:        " << U(plan.circuit) << '\n'
            << "Manufacturer:   " << U(plan.manufacturer) << '\n'
            << "Model:          " << U(plan.model) << '\n'
            << "Comment:        " << U(plan.comment) << '\n';
  if (plan.devicetype == kPlanKova7100BC) {
    std::cout << Format("Insulation:     %d V\n", plan.insulationvoltage * 10)
              << Format("Burden current: %.1f A\n", plan.burdencurrent / 10.0);
  }
  std::cout << "Tap order:      " << U(plan.taporder) << '\n'
            << "Taps:           " << plan.numtests << '\n';
  for (int i = 0; i < plan.numtests && i < kMaxPlanTaps; ++i) {
    const PlanTap& tap = plan.taps[i];
    std::cout << Format("Tap %2d  %-6s  nameplate %g:%g  tests %s  limits %g V %g A", i + 1,
                        TapNameFromCode(tap.tapid + 1).c_str(), tap.nNamePlateNum,
                        tap.fNamePlateDen, TestNames(tap.uTestType).c_str(), tap.fVoltageRange,
                        tap.fCurrentRange);
    if (tap.bDoBurdenTest != 0) {
      std::cout << Format("  ratio error %g VA cos %g at %g A", tap.fBurdenVA, tap.fCosPhi,
                          tap.fSecCurrent);
    }
    if (!tap.szTestNote.empty()) std::cout << "  note \"" << U(tap.szTestNote) << '"';
    std::cout << '\n';
  }
  const PassFailBlock& pf = plan.passfail;
  std::cout << Format(
      "Pass/fail:      %s, ratio deviation %d (custom %d%%), knee type %d, location %d, "
      "knee deviation %d, CT type %d\n",
      pf.pfenable != 0 ? "on" : "off", pf.pfturnsratiodeviation, pf.pfcustomdeviation,
      pf.pfkneepointtype, pf.pfkneepointlocation, pf.pfkneepointdeviation, pf.pfcttype);
  std::cout << "Knee voltages:  ";
  for (int i = 0; i < kTapTableSize; ++i) std::cout << (i ? " " : "") << pf.pfkneevoltage[i];
  std::cout << "\nResistances:    ";
  for (int i = 0; i < kTapTableSize; ++i) {
    std::cout << (i ? " " : "") << Format("%g", plan.resistance.pfresistance[i]);
  }
  std::cout << Format("\nRes. deviation: %d (custom %g%%)\n", plan.resistance.pfresdeviation,
                      plan.resistance.pfcustomresdeviation);
  const ClassSettings& cls = plan.classsettings;
  std::cout << Format(
      "Class:          %.2f C, rated %.2f A, single tap %d, multi tap %d, CT usage %d\n",
      cls.tempcelsius, cls.ratedcurrent, cls.singletap, cls.multitap, cls.ctusage);
}

// Standard input is read up to the same limit as a file, and no further.
bool ReadJsonInput(const std::string& path, std::string& text, std::string& why) {
  if (path == "-") {
    if (ReadStreamText(std::cin, text, kMaxJsonBytes)) return true;
    why = "more than 16 MiB of input";
    return false;
  }
  FileProblem problem = FileProblem::kNone;
  if (ReadFileText(path, text, kMaxJsonBytes, &problem)) return true;
  why = FileProblemText(problem);
  return false;
}

}  // namespace

void AddPlanCommands(CLI::App& app, CliContext& ctx) {
  CLI::App* plan_cmd = app.add_subcommand("plan", "Test plan files (.plan)");
  plan_cmd->require_subcommand(1);

  struct ShowOptions {
    std::string file;
    bool json = false;
  };
  auto show_opts = std::make_shared<ShowOptions>();
  CLI::App* show = plan_cmd->add_subcommand("show", "Show a plan file or a plan image file");
  show->add_option("FILE", show_opts->file, "Plan file, tagged image or thumb-drive image")
      ->required();
  show->add_flag("--json", show_opts->json, "The plan as one JSON object");
  show->callback([&ctx, show_opts] {
    kvTestPlan plan;
    if (!LoadPlan(show_opts->file, plan)) {
      ctx.exit_code = 1;
      return;
    }
    if (show_opts->json) {
      std::cout << PlanToJson(plan).Dump(1) << '\n';
    } else {
      PrintPlan(show_opts->file, plan);
    }
  });

  struct FromJsonOptions {
    std::string in, out;
    bool overwrite = false;
  };
  auto json_opts = std::make_shared<FromJsonOptions>();
  CLI::App* from_json =
      plan_cmd->add_subcommand("from-json", "Write a plan file from its JSON form");
  from_json->add_option("JSON", json_opts->in, "JSON file as \"plan show --json\" writes it, or -")
      ->required();
  from_json->add_option("-o,--output", json_opts->out, "Plan file to write")->required();
  from_json->add_flag("--overwrite", json_opts->overwrite, "Replace an existing output file");
  from_json->callback([&ctx, json_opts] {
    std::vector<std::string> inputs;
    if (json_opts->in != "-") inputs.push_back(json_opts->in);
    const OutputCheck check = CheckOutputFile(json_opts->out, inputs, json_opts->overwrite);
    if (check != OutputCheck::kFine) {
      PrintError(OutputCheckText(check, json_opts->out));
      ctx.exit_code = 1;
      return;
    }
    std::string text, error, why;
    JsonValue json;
    if (!ReadJsonInput(json_opts->in, text, why)) {
      PrintError("Cannot read \"" + json_opts->in + "\": " + why);
      ctx.exit_code = 1;
      return;
    }
    if (!JsonValue::Parse(text, json, error)) {
      PrintError("\"" + json_opts->in + "\" is not valid JSON: " + error);
      ctx.exit_code = 1;
      return;
    }
    kvTestPlan plan;
    if (!PlanFromJson(json, plan, error)) {
      PrintError("\"" + json_opts->in + "\": " + error + "; nothing written");
      ctx.exit_code = 1;
      return;
    }
    if (!plan.Save(json_opts->out)) {
      PrintError("Cannot write plan file \"" + json_opts->out + "\"");
      ctx.exit_code = 1;
    }
  });

  auto hex_file = std::make_shared<std::string>();
  CLI::App* hex = plan_cmd->add_subcommand("hex", "Print the plan image as the link carries it");
  hex->add_option("FILE", *hex_file, "Plan file, tagged image or thumb-drive image")->required();
  hex->callback([&ctx, hex_file] {
    kvTestPlan plan;
    if (!LoadPlan(*hex_file, plan)) {
      ctx.exit_code = 1;
      return;
    }
    std::cout << plan.ImageLinkText() << '\n';
  });
}

}  // namespace kova
