// The record and plan folders: the user's own below the documents folder
// unless stored, made at the first start; Setup's OK makes a missing folder
// on Yes and refuses one it cannot have.

#include <gtest/gtest.h>

#include <string>

#include "app/app_settings.h"
#include "app/settings_store.h"
#include "app/setup_model.h"
#include "base/file_io.h"
#include "base/path.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

TEST(UserFolders, BelowTheDocumentsFolderUnlessStored) {
  const std::string docs = TempFolder("user-folders-docs");
  MemorySettingsStore store;
  CAppInfo info;
  info.Load(store, "/started/here", docs);
  EXPECT_EQ(info.filepath, PathJoin(PathJoin(docs, "KOVA"), "Tests"));
  EXPECT_EQ(info.planpath, PathJoin(PathJoin(docs, "KOVA"), "TestPlans"));
  EXPECT_TRUE(FolderExists(info.filepath)) << "made at the first start";
  EXPECT_TRUE(FolderExists(info.planpath));

  // Without a documents folder: the current folder, as before.
  CAppInfo plain;
  plain.Load(store, "/started/here");
  EXPECT_EQ(plain.filepath, "/started/here");

  // A stored folder keeps its meaning and is not made.
  const std::string stored = PathJoin(docs, "elsewhere/records");
  store.SetText("Settings", "FilePath", stored);
  CAppInfo kept;
  kept.Load(store, "/started/here", docs);
  EXPECT_EQ(kept.filepath, stored);
  EXPECT_FALSE(FolderExists(stored));
}

TEST(UserFolders, SetupOkOffersToMakeAMissingFolderOrSaysWhyNot) {
  const std::string root = TempFolder("user-folders-setup");
  ASSERT_TRUE(WriteFileAtomically(PathJoin(root, "a-file"), "x"));
  const std::string there = root, missing = PathJoin(root, "new/records");
  const struct {
    const char* what;
    std::string records, plans;
    std::vector<Answer> answers;
    SetupFolder refused;
    const char* told;  // in the last message; "" when none
  } rows[] = {
      {"both there", there, there, {}, SetupFolder::kNone, ""},
      {"missing, Yes makes it", missing, there, {Answer::Yes}, SetupFolder::kNone, "Create it?"},
      {"missing, No keeps the dialog",
       PathJoin(root, "no/records"),
       there,
       {Answer::No},
       SetupFolder::kRecords,
       "Create it?"},
      {"empty plan folder", there, "", {}, SetupFolder::kPlans, "Please choose the folder"},
      {"a file's name",
       PathJoin(root, "a-file"),
       there,
       {},
       SetupFolder::kRecords,
       "is a file, not a folder"},
      {"below a file: cannot be made",
       PathJoin(root, "a-file/sub"),
       there,
       {Answer::Yes},
       SetupFolder::kRecords,
       "could not be created"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    ScriptedPrompter prompter;
    for (Answer a : r.answers) prompter.QueueAnswer(a);
    SetupValues v;
    v.filepath = r.records;
    v.planpath = r.plans;
    EXPECT_EQ(PrepareSetupFolders(v, prompter), r.refused);
    if (r.told[0] == '\0') {
      EXPECT_TRUE(prompter.messages().empty());
    } else {
      ASSERT_FALSE(prompter.messages().empty());
      EXPECT_NE(prompter.messages().back().text.find(r.told), std::string::npos)
          << prompter.messages().back().text;
    }
  }
  EXPECT_TRUE(FolderExists(missing));
  EXPECT_FALSE(FolderExists(PathJoin(root, "no/records")));
}

}  // namespace
}  // namespace kova
