#include "device/directory_choice.h"

#include <algorithm>

#include "base/fixed_text.h"
#include "base/format.h"
#include "base/prompter.h"

namespace kova {
namespace {

std::string Text(const char* field) { return FixedString(field, kDirectoryTextSize); }

// Selected row indexes that stand for a row, in ascending (list) order.
std::vector<int> ValidRows(const std::vector<int>& selected, size_t rows) {
  std::vector<int> out;
  for (int r : selected) {
    if (r >= 0 && static_cast<size_t>(r) < rows) out.push_back(r);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace

std::vector<DirectoryColumn> TestDirectoryColumns(bool show_type) {
  std::vector<DirectoryColumn> columns = {{"Test", "Test Num", true}};
  if (show_type) columns.push_back({"Type", "OPEN XXX", false});
  columns.push_back({"Date", "04/44/99 12:12:23 ", false});
  columns.push_back({"Company", "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX", false});
  columns.push_back({"Station", "XXXXXXXXXXXXXXXXXXXX", false});
  columns.push_back({"Circuit", "XXXXXXXXXXXXXXXXXXXX", false});
  return columns;
}

std::vector<std::string> TestDirectoryRow(const DirectoryEntry& e, bool show_type) {
  std::vector<std::string> row = {Format("%04d", e.number)};
  if (show_type) row.push_back(Text(e.testtype));
  row.push_back(Text(e.datetime));
  row.push_back(Text(e.company));
  row.push_back(Text(e.station));
  row.push_back(Text(e.circuit));
  return row;
}

std::vector<DirectoryColumn> PlanDirectoryColumns() {
  return {{"Plan", "Plan Num", true},
          {"Knee Type", "Knee Type XX", false},
          {"Company", "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX", false},
          {"Station", "XXXXXXXXXXXXXXXXXXXX", false},
          {"Circuit", "XXXXXXXXXXXXXXXXXXXX", false}};
}

std::vector<PlanDirectoryRow> PlanDirectoryRows(const DirectoryEntry* entries, int count,
                                                PlanDirectoryMode mode) {
  count = std::max(0, std::min(count, kMaxDirectoryEntries));
  auto filled = [](const DirectoryEntry& e) {
    PlanDirectoryRow row;
    row.number = e.number;
    row.occupied = true;
    row.texts = {Format("%04d", e.number), Text(e.knee), Text(e.company), Text(e.station),
                 Text(e.circuit)};
    return row;
  };
  std::vector<PlanDirectoryRow> rows;
  if (mode == PlanDirectoryMode::kDownload) {
    for (int i = 0; i < count; ++i) rows.push_back(filled(entries[i]));
    return rows;
  }
  for (int slot = 1; slot <= kPlanSlots; ++slot) {
    const DirectoryEntry* found = nullptr;
    for (int i = 0; i < count && found == nullptr; ++i) {
      if (entries[i].number == slot) found = &entries[i];
    }
    if (found != nullptr) {
      rows.push_back(filled(*found));
    } else {
      PlanDirectoryRow row;
      row.number = slot;
      row.texts = {Format("%04d", slot), kEmptySlot, "", "", ""};
      rows.push_back(row);
    }
  }
  return rows;
}

std::string ReplaceSlotQuestion(const PlanDirectoryRow& row) {
  std::string what;
  for (size_t i = 2; i < row.texts.size(); ++i) {
    if (row.texts[i].empty()) continue;
    what += what.empty() ? row.texts[i] : ", " + row.texts[i];
  }
  return Format("Plan slot %d already holds a test plan%s%s%s.\r\rReplace it with this plan?",
                row.number, what.empty() ? "" : " (", what.c_str(), what.empty() ? "" : ")");
}

bool ChoosePlanSlot(const std::vector<PlanDirectoryRow>& rows, const std::vector<int>& selected,
                    Prompter& prompter, int& slot) {
  const std::vector<int> valid = ValidRows(selected, rows.size());
  if (valid.empty()) {
    prompter.Message(kDeviceCaption, kSelectPlanFirst);
    return false;
  }
  const PlanDirectoryRow& row = rows[static_cast<size_t>(valid.front())];
  if (row.occupied && prompter.Message(kDeviceCaption, ReplaceSlotQuestion(row), Buttons::YesNo,
                                       Icon::Question) != Answer::Yes) {
    return false;
  }
  slot = row.number;
  return true;
}

bool ChoosePlansToFetch(const std::vector<PlanDirectoryRow>& rows, const std::vector<int>& selected,
                        Prompter& prompter, std::vector<int>& numbers) {
  numbers.clear();
  for (int r : ValidRows(selected, rows.size()))
    numbers.push_back(rows[static_cast<size_t>(r)].number);
  if (numbers.empty()) {
    prompter.Message(kDeviceCaption, kSelectPlanFirst);
    return false;
  }
  return true;
}

}  // namespace kova
