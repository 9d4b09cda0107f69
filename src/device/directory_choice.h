#pragma once
// The rules behind the two directory dialogs, kept out of the widgets: the
// columns and rows of "Device Directory" and "Test Plan Directory", and what
// their OK buttons do with the rows the user selected.

#include <string>
#include <vector>

#include "device/rud_device.h"

namespace kova {

class Prompter;

struct DirectoryColumn {
  const char* header;
  const char* width_sample;  // the column is as wide as this text
  bool right_aligned;
};

// --- "Device Directory": the instrument's stored tests ---------------------

constexpr const char* kDefaultTestPrefix = "Test";
constexpr const char* kSelectTestFirst = "Please select test first";

std::vector<DirectoryColumn> TestDirectoryColumns(bool show_type);
// One text per column: "%04d" of the number, the type when shown, date,
// company, station, circuit.
std::vector<std::string> TestDirectoryRow(const DirectoryEntry& entry, bool show_type);

// --- "Test Plan Directory": plan slots ---------------------------------------

constexpr const char* kDefaultPlanPrefix = "plan";
constexpr const char* kSelectPlanFirst = "Please select a test plan first";
constexpr const char* kEmptySlot = "EMPTY";
constexpr int kPlanSlots = 128;

enum class PlanDirectoryMode {
  kSlot,      // pick the slot that receives a plan (all 128 slots)
  kDownload,  // pick stored plans to fetch (the directory's entries)
};

struct PlanDirectoryRow {
  int number = 0;         // slot or plan number
  bool occupied = false;  // the instrument holds a plan there
  std::vector<std::string> texts;
};

std::vector<DirectoryColumn> PlanDirectoryColumns();
// Slot mode: slots 1..128, "EMPTY" in "Knee Type" where the directory has no
// entry of that number. Download mode: one row per directory entry.
std::vector<PlanDirectoryRow> PlanDirectoryRows(const DirectoryEntry* entries, int count,
                                                PlanDirectoryMode mode);

// The question before a slot that holds a plan is replaced.
std::string ReplaceSlotQuestion(const PlanDirectoryRow& row);
// OK in slot mode: the slot of the first selected row. Nothing selected
// shows "Please select a test plan first"; an occupied slot is replaced
// only after a Yes. False keeps the dialog open.
bool ChoosePlanSlot(const std::vector<PlanDirectoryRow>& rows, const std::vector<int>& selected,
                    Prompter& prompter, int& slot);
// OK in download mode: the plan numbers of the selected rows, in list order.
bool ChoosePlansToFetch(const std::vector<PlanDirectoryRow>& rows, const std::vector<int>& selected,
                        Prompter& prompter, std::vector<int>& numbers);

}  // namespace kova
