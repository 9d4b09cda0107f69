// The rules of the two directory dialogs: columns, rows, and what OK does
// with the selection.

#include "device/directory_choice.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/scripted_prompter.h"

namespace kova {
namespace {

DirectoryEntry Entry(int number, const char* knee, const char* company) {
  DirectoryEntry e;
  e.number = number;
  std::strncpy(e.knee, knee, sizeof e.knee - 1);
  std::strncpy(e.company, company, sizeof e.company - 1);
  std::strncpy(e.datetime, "12/31/19 10:20:30", sizeof e.datetime - 1);
  std::strncpy(e.testtype, "OPEN", sizeof e.testtype - 1);
  return e;
}

std::vector<std::string> Headers(const std::vector<DirectoryColumn>& columns) {
  std::vector<std::string> out;
  for (const DirectoryColumn& c : columns) out.push_back(c.header);
  return out;
}

TEST(DirectoryChoice, TestColumnsAndRowsFollowTheIdentification) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Headers(TestDirectoryColumns(false)),
            (V{"Test", "Date", "Company", "Station", "Circuit"}));
  EXPECT_EQ(Headers(TestDirectoryColumns(true)),
            (V{"Test", "Type", "Date", "Company", "Station", "Circuit"}));
  EXPECT_TRUE(TestDirectoryColumns(true)[0].right_aligned);
  const DirectoryEntry e = Entry(7, "", "ACME");
  EXPECT_EQ(TestDirectoryRow(e, false), (V{"0007", "12/31/19 10:20:30", "ACME", "", ""}));
  EXPECT_EQ(TestDirectoryRow(e, true), (V{"0007", "OPEN", "12/31/19 10:20:30", "ACME", "", ""}));
}

TEST(DirectoryChoice, SlotModeOffersAll128SlotsAndDownloadModeTheEntries) {
  const DirectoryEntry entries[] = {Entry(3, "IEEE 30", "ACME"), Entry(128, "IEC", "LAST"),
                                    Entry(200, "IEC", "NO SLOT")};
  const auto slots = PlanDirectoryRows(entries, 3, PlanDirectoryMode::kSlot);
  ASSERT_EQ(slots.size(), 128u);
  struct Case {
    size_t row;
    int number;
    bool occupied;
    const char* knee;
    const char* company;
  };
  for (const Case& c : {Case{0, 1, false, "EMPTY", ""}, Case{2, 3, true, "IEEE 30", "ACME"},
                        Case{127, 128, true, "IEC", "LAST"}}) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(slots[c.row].number, c.number);
    EXPECT_EQ(slots[c.row].occupied, c.occupied);
    EXPECT_EQ(slots[c.row].texts[1], c.knee);
    EXPECT_EQ(slots[c.row].texts[2], c.company);
  }
  EXPECT_EQ(slots[2].texts[0], "0003");
  const auto listed = PlanDirectoryRows(entries, 3, PlanDirectoryMode::kDownload);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[2].texts[0], "0200");
  // A count beyond the table is not read past.
  EXPECT_EQ(PlanDirectoryRows(entries, -4, PlanDirectoryMode::kDownload).size(), 0u);
}

TEST(DirectoryChoice, OkInSlotModeTakesTheFirstRowAndAsksBeforeReplacing) {
  const DirectoryEntry entries[] = {Entry(5, "IEEE 30", "ACME")};
  const auto rows = PlanDirectoryRows(entries, 1, PlanDirectoryMode::kSlot);
  struct Case {
    std::vector<int> selected;
    std::vector<Answer> answers;
    bool ok;
    int slot;
    size_t messages;
  };
  const Case cases[] = {
      {{}, {}, false, 0, 1},                // nothing selected
      {{999, -1}, {}, false, 0, 1},         // nothing that is a row
      {{7, 6}, {}, true, 7, 0},             // first in list order: slot 7
      {{4, 9}, {Answer::No}, false, 0, 1},  // slot 5 holds a plan: No stays
      {{4}, {Answer::Yes}, true, 5, 1},     // Yes replaces it
  };
  for (const Case& c : cases) {
    ScriptedPrompter prompter;
    for (Answer a : c.answers) prompter.QueueAnswer(a);
    int slot = 0;
    EXPECT_EQ(ChoosePlanSlot(rows, c.selected, prompter, slot), c.ok);
    EXPECT_EQ(slot, c.slot);
    ASSERT_EQ(prompter.messages().size(), c.messages);
    if (c.messages == 0) continue;
    const std::string& text = prompter.messages()[0].text;
    if (c.selected.empty() || c.selected[0] == 999) {
      EXPECT_EQ(text, kSelectPlanFirst);
    } else {
      EXPECT_EQ(text,
                "Plan slot 5 already holds a test plan (ACME).\r\rReplace it with this plan?");
      EXPECT_EQ(prompter.messages()[0].buttons, Buttons::YesNo);
    }
  }
}

TEST(DirectoryChoice, OkInDownloadModeHandsOverTheSelectedPlans) {
  const DirectoryEntry entries[] = {Entry(2, "", ""), Entry(7, "", ""), Entry(9, "", "")};
  const auto rows = PlanDirectoryRows(entries, 3, PlanDirectoryMode::kDownload);
  ScriptedPrompter prompter;
  std::vector<int> numbers;
  EXPECT_FALSE(ChoosePlansToFetch(rows, {}, prompter, numbers));
  EXPECT_EQ(prompter.texts(), std::vector<std::string>{kSelectPlanFirst});
  EXPECT_TRUE(ChoosePlansToFetch(rows, {2, 0, 2}, prompter, numbers));
  EXPECT_EQ(numbers, (std::vector<int>{2, 9}));
}

}  // namespace
}  // namespace kova
