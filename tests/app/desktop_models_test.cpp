// The desktop program's rules, without widgets: test browser listing,
// recent files, documents, the setup dialog's values, command enabling and
// the export of chosen records.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "app/chosen_exports.h"
#include "app/document_names.h"
#include "app/main_commands.h"
#include "app/recent_files.h"
#include "app/record_document.h"
#include "app/setup_model.h"
#include "app/test_browser.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/text_export.h"
#include "report/page_footer.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

namespace fs = std::filesystem;

// Writes an encoder-made record with the given date ("MM/DD/YY hh:mm:ss").
std::string WriteRecord(const std::string& folder, const std::string& name,
                        const std::string& date = "01/02/24 10:00:00", int tests = 2) {
  auto rec = MakeSampleRecord(2, tests);
  rec->testdatetime = date;
  rec->company = "Grid Co";
  Reencode(*rec);
  const std::string path = PathJoin(folder, name);
  EXPECT_TRUE(rec->WriteRecordFile(path));
  return path;
}

TEST(TestBrowser, PatternsAndDates) {
  struct {
    const char* name;
    const char* pattern;
    bool match;
  } patterns[] = {
      {"a.test", "*.test", true},       {"A.TEST", "*.test", true},
      {"a.test.bak", "*.test", false},  {"rec_12.txt", "rec_*.*", true},
      {"record.txt", "rec_*.*", false}, {"x-001.tst-kova7k", "*.tst-kova7k", true},
      {"rec_", "rec_*.*", false},       {"ab", "a?", true},
  };
  for (const auto& p : patterns) EXPECT_EQ(MatchesPattern(p.name, p.pattern), p.match) << p.name;

  struct {
    const char* text;
    bool day_first;
    int64_t key;
  } dates[] = {
      {"12/31/99 23:59:58", false, 19991231235958},
      {"01/02/24 10:00:00", false, 20240102100000},
      {"02/01/24 10:00:00", true, 20240102100000},
      {"1/2/24", false, 0},
      {"", false, 0},
  };
  for (const auto& d : dates) EXPECT_EQ(DateSortKey(d.text, d.day_first), d.key) << d.text;
  // MM/DD/YY text alone would put December 2023 above January 2024.
  EXPECT_GT(DateSortKey("01/05/24 00:00:00", false), DateSortKey("12/30/23 00:00:00", false));

  const auto columns = ParseColumnLayout(kBrowserColumns);
  ASSERT_EQ(columns.size(), 7u);
  EXPECT_EQ(columns[1].name, "Serial No.");
  EXPECT_EQ(columns[3].name, "# Tests");
  EXPECT_EQ(columns[3].width, 75);
}

TEST(TestBrowser, ListsRecordsOnceNewestFirstWithoutScratchOrTextExports) {
  const std::string folder = TempFolder("browser-rules");
  WriteRecord(folder, "b.test", "12/30/23 08:00:00");
  WriteRecord(folder, "a.test", "01/05/24 09:00:00");
  WriteRecord(folder, "rec_7.test", "06/01/22 07:00:00");  // "*.test" and "rec_*.*"
  WriteRecord(folder, "RunTest.test");
  WriteRecord(folder, "saved.txt", "03/03/21 03:00:00");  // a record named .txt
  auto rec = MakeSampleRecord(2, 1);
  ASSERT_TRUE(ExportText(*rec, PathJoin(folder, "export.txt")));  // not a record
  std::ofstream(PathJoin(folder, "notes.kova")) << "not a record";

  RecordFolderScan scan(folder, RecordDefaults());
  scan.RunToEnd();
  std::vector<std::string> names;
  for (const BrowserRow& r : scan.SortedRows()) names.push_back(r.filename);
  EXPECT_EQ(names, (std::vector<std::string>{"a.test", "b.test", "rec_7.test", "saved.txt"}));
  EXPECT_EQ(scan.SortedRows().front().numtests, 2);
  EXPECT_EQ(scan.SortedRows().front().company, "Grid Co");
}

TEST(TestBrowser, StopsAtFiveHundredInPatternOrderAndAcceptsSelections) {
  const std::string folder = TempFolder("browser-600");
  const std::string first = WriteRecord(folder, "model.test");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(first, bytes));
  for (int i = 0; i < 550; ++i)
    WriteFileAtomically(PathJoin(folder, Format("t%03d.test", i)), bytes);
  for (int i = 0; i < 50; ++i)
    WriteFileAtomically(PathJoin(folder, Format("k%03d.kova", i)), bytes);

  RecordFolderScan scan(folder, RecordDefaults());
  int steps = 0;
  while (scan.Step(50)) ++steps;
  EXPECT_GT(steps, 5);  // filled in steps, not at once
  ASSERT_EQ(scan.Rows().size(), 500u);
  for (const BrowserRow& r : scan.Rows())
    EXPECT_EQ(FileNameOf(r.path).find(".kova"), std::string::npos);

  std::string message;
  EXPECT_TRUE(AcceptSelection(scan.Rows(), {}, true, message).empty());
  EXPECT_EQ(message, kPleaseSelectTest);
  EXPECT_EQ(AcceptSelection(scan.Rows(), {3, 1}, false, message),
            std::vector<std::string>{scan.Rows()[3].path});
  EXPECT_EQ(AcceptSelection(scan.Rows(), {3, 1}, true, message).size(), 2u);
  EXPECT_TRUE(message.empty());
}

TEST(RecentFiles, NewestFirstMovesUpAndKeepsFour) {
  RecentFiles recent;
  for (const char* p : {"a", "b", "c", "d", "e", "c", ""}) recent.Add(p);
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"c", "e", "d", "b"}));
  MemorySettingsStore store;
  recent.Save(store);
  RecentFiles loaded;
  loaded.Load(store);
  EXPECT_EQ(loaded.Entries(), recent.Entries());
  std::string first;
  ASSERT_TRUE(store.GetText(kRecentFileSection, "File1", first));
  EXPECT_EQ(first, "c");
}

struct DocumentFixture : ::testing::Test {
  ScriptedPrompter prompter;
  std::string folder = TempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
  int exports = 0;
  std::vector<std::string> used;

  std::unique_ptr<RecordDocument> MakeDocument() {
    RecordDocument::Services s;
    s.prompter = &prompter;
    s.record_folder = [this] { return folder; };
    s.export_opened = [this](TestRecord&, const RecordContext&) { ++exports; };
    s.file_used = [this](const std::string& p) { used.push_back(p); };
    return std::make_unique<RecordDocument>(std::move(s));
  }
};

TEST_F(DocumentFixture, OpensPagesAndOverlays) {
  const std::string a = WriteRecord(folder, "a.test");
  const std::string b = WriteRecord(folder, "b.test");
  const std::string c = WriteRecord(folder, "c.test");
  auto doc = MakeDocument();
  ASSERT_TRUE(doc->Open(a));
  EXPECT_EQ(exports, 1);  // the automatic export runs for one record
  ASSERT_GT(doc->pagecount(), 2);
  const int last = doc->pagecount() - 1;
  EXPECT_FALSE(doc->PageUp());
  EXPECT_TRUE(doc->LastPage());
  EXPECT_FALSE(doc->PageDown());
  EXPECT_EQ(doc->currentpage(), last);
  EXPECT_TRUE(doc->PageUp());
  EXPECT_TRUE(doc->FirstPage());
  EXPECT_EQ(doc->currentpage(), 0);

  ASSERT_TRUE(doc->OpenOverlay({a, b, c}));
  EXPECT_EQ(exports, 1);  // ... but not for an overlay
  EXPECT_EQ(doc->overlaycount(), 3);
  EXPECT_EQ(doc->RecordCount(), 3);
  EXPECT_EQ(doc->report().pages().front().kind, kOverlayPage);
  EXPECT_FALSE(doc->OpenOverlay({a, b, c, a}));
  EXPECT_FALSE(doc->loaded());
  EXPECT_FALSE(doc->OpenOverlay({a, PathJoin(folder, "missing.test")}));
  EXPECT_FALSE(doc->loaded());
  EXPECT_FALSE(doc->Open(PathJoin(folder, "missing.test")));
  EXPECT_EQ(used, (std::vector<std::string>{a, a}));

  for (bool single : {true, false}) {
    EXPECT_EQ(OverlaySelectionValid(single ? 1 : 2), !single);
  }
  EXPECT_TRUE(OverlaySelectionValid(3));
  EXPECT_FALSE(OverlaySelectionValid(4));
}

TEST_F(DocumentFixture, RunTestResultIsSavedUnderAChosenName) {
  const std::string run = WriteRecord(folder, kRunTestFileName);
  const std::string taken = WriteRecord(folder, "taken.test");
  auto doc = MakeDocument();
  ASSERT_TRUE(doc->Open(run));

  // Cancel in the file dialog: nothing is saved.
  EXPECT_FALSE(doc->Save(run));
  ASSERT_EQ(prompter.messages().size(), 0u);

  // An existing name: No asks again, Cancel gives up.
  prompter.QueueText(taken);
  prompter.QueueAnswer(Answer::No);
  prompter.QueueText(taken);
  prompter.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(doc->Save(run));
  ASSERT_EQ(prompter.messages().size(), 2u);
  EXPECT_EQ(prompter.messages()[0].text, OverwriteQuestion(taken));
  EXPECT_EQ(prompter.messages()[0].buttons, Buttons::YesNoCancel);

  // Yes overwrites; a name without extension gets ".test".
  prompter.QueueText(taken);
  prompter.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(doc->Save(run));
  EXPECT_EQ(doc->path(), taken);
  // Saving to its own path asks nothing.
  const size_t asked = prompter.messages().size();
  EXPECT_TRUE(doc->Save(doc->path()));
  EXPECT_EQ(prompter.messages().size(), asked);

  // Unloading a run result says why a name is asked for; Yes saves it.
  ASSERT_TRUE(doc->Open(run));
  prompter.QueueAnswer(Answer::Yes);
  prompter.QueueText(PathJoin(folder, "fresh"));
  EXPECT_TRUE(doc->Unload());
  EXPECT_EQ(prompter.messages().back().text,
            std::string(kRunTestNotSaved) + "\r\n" + kSaveUnderANameQuestion);
  EXPECT_FALSE(doc->loaded());
  EXPECT_TRUE(doc->path().empty());
  EXPECT_TRUE(FileExists(PathJoin(folder, "fresh.test")));

  // Cancelling the name dialog keeps the run result open; so does Cancel.
  ASSERT_TRUE(doc->Open(run));
  prompter.QueueAnswer(Answer::Yes);
  EXPECT_FALSE(doc->Unload());
  prompter.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(doc->ConfirmClose());
  EXPECT_TRUE(doc->loaded());
  EXPECT_EQ(doc->path(), run);
  // No lets it go; the scratch file itself stays.
  prompter.QueueAnswer(Answer::No);
  EXPECT_TRUE(doc->Unload());
  EXPECT_TRUE(FileExists(run));
}

TEST_F(DocumentFixture, UnsavedChangesAreOfferedForSavingBeforeTheyGo) {
  struct {
    const char* what;
    bool edit_accepted;
    Answer answer;
    bool closes, saved, asked;
  } rows[] = {
      {"no change asks nothing", false, Answer::Cancel, true, false, false},
      {"Cancel keeps the change", true, Answer::Cancel, false, false, true},
      {"No drops it", true, Answer::No, true, false, true},
      {"Yes saves it", true, Answer::Yes, true, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = WriteRecord(folder, "edited.test");
    auto doc = MakeDocument();
    ASSERT_TRUE(doc->Open(path));
    const std::string before = doc->record(0).company;
    doc->EditRecord([&](TestRecord& rec) {
      rec.company = "Changed Co";
      rec.testnote = "changed note";
      return row.edit_accepted;
    });
    // A dialog left with Cancel changes nothing, not even what its own
    // dialogs changed.
    EXPECT_EQ(doc->record(0).company, row.edit_accepted ? "Changed Co" : before);
    EXPECT_EQ(doc->modified(), row.edit_accepted);
    const size_t shown = prompter.messages().size();
    if (row.asked) prompter.QueueAnswer(row.answer);
    EXPECT_EQ(doc->Unload(), row.closes);
    EXPECT_EQ(prompter.messages().size(), shown + (row.asked ? 1 : 0));
    if (row.asked) {
      EXPECT_EQ(prompter.messages().back().text, "Save changes to edited.test?");
      EXPECT_EQ(prompter.messages().back().buttons, Buttons::YesNoCancel);
    }
    EXPECT_EQ(doc->loaded(), !row.closes);
    auto reread = std::make_unique<TestRecord>();
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    ASSERT_TRUE(reread->DecodeRecordBytes(bytes.data(), bytes.size(), path, RecordDefaults()));
    EXPECT_EQ(reread->testnote == "changed note", row.saved);
  }
}

TEST_F(DocumentFixture, AFailedSaveSaysWhyAndKeepsTheDocumentChanged) {
  const std::string path = WriteRecord(folder, "keep.test");
  auto doc = MakeDocument();
  ASSERT_TRUE(doc->Open(path));
  doc->MarkModified();
  const std::string nowhere = PathJoin(PathJoin(folder, "gone"), "keep.test");
  EXPECT_FALSE(doc->Save(nowhere));
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text,
            "Unable to save " + nowhere + ": the folder does not exist.");
  EXPECT_TRUE(doc->modified());
  EXPECT_EQ(doc->path(), path);
  // Exit after the failure: Yes tries again, fails again, and keeps it.
  fs::remove_all(path);
  fs::create_directory(path);  // a folder now stands where the file was
  prompter.QueueAnswer(Answer::Yes);
  EXPECT_FALSE(doc->ConfirmClose());
  EXPECT_EQ(prompter.messages().back().text,
            "Unable to save " + path + ": a folder has that name.");
  EXPECT_TRUE(doc->loaded());
}

TEST(WriteProblem, NamesWhatStandsInTheWay) {
  const std::string folder = TempFolder("write-problem");
  const std::string file = PathJoin(folder, "plain.txt");
  ASSERT_TRUE(WriteFileAtomically(file, std::string("x")));
  fs::create_directory(PathJoin(folder, "taken.test"));
  struct {
    std::string path, text;
  } rows[] = {
      {PathJoin(PathJoin(folder, "missing"), "a.test"), "the folder does not exist"},
      {PathJoin(file, "a.test"), "the folder does not exist"},
      {PathJoin(folder, "taken.test"), "a folder has that name"},
      {PathJoin(folder, "fine.test"), "the file could not be written"},
  };
  for (const auto& row : rows) EXPECT_EQ(WriteProblemText(row.path, 1024), row.text) << row.path;
#ifndef _WIN32
  // A file size limit stands for a full disk: the write stops short.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tight = old;
  tight.rlim_cur = 512;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
  const std::string full = WriteProblemText(PathJoin(folder, "big.test"), 4096);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(full, "the disk is full");
  // A folder without write permission (root may write anywhere).
  if (geteuid() != 0) {
    const std::string locked = PathJoin(folder, "locked");
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(WriteProblemText(PathJoin(locked, "a.test"), 1024), "the folder is read-only");
    fs::permissions(locked, fs::perms::owner_all);
  }
#endif
  EXPECT_TRUE(fs::is_empty(PathJoin(folder, "taken.test")));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

TEST_F(DocumentFixture, SaveAsOffersEveryRecordKindAndKeepsTheDocumentsOwn) {
  const std::string download = WriteRecord(folder, "CT7-001.tst-kova7k");
  auto doc = MakeDocument();
  ASSERT_TRUE(doc->Open(download));
  prompter.QueueText(PathJoin(folder, "copy"));
  ASSERT_TRUE(doc->SaveAs());
  EXPECT_EQ(doc->path(), PathJoin(folder, "copy.tst-kova7k"));
  // The filter lists every pattern the record browser lists.
  const std::string filter = RecordFileFilter();
  for (const char* pattern : {"*.test", "*.tst-kova7k", "*.kova", "rec_*.*", "*.txt"})
    EXPECT_NE(filter.find(pattern), std::string::npos) << pattern;
}

TEST(DocumentNames, HandedOverBytesAreBoundedLines) {
  const struct {
    std::string bytes;
    size_t max_paths, max_bytes;
    std::vector<std::string> paths;
  } rows[] = {
      {"a\nb\n", 64, 1024, {"a", "b"}},
      {"a\r\n\n\nb", 64, 1024, {"a", "b"}},
      {"a\nb\nc\n", 2, 1024, {"a", "b"}},
      {"abcdef\nxyz", 64, 4, {"abcd"}},
      {"", 64, 1024, {}},
      {std::string("a\0b\n", 4), 64, 1024, {std::string("a\0b", 3)}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(HandedOverPaths(row.bytes, row.max_paths, row.max_bytes), row.paths);
}

TEST(DocumentNames, TabsTellSameNamedFilesApart) {
  struct {
    std::vector<std::string> paths, names;
  } rows[] = {
      {{"/r/a.test", "/r/b.test"}, {"a.test", "b.test"}},
      {{"/r/north/a.test", "/r/south/a.test", "/r/b.test"},
       {"a.test (north)", "a.test (south)", "b.test"}},
      {{"/x/site/a.test", "/y/site/a.test"}, {"a.test (x/site)", "a.test (y/site)"}},
      {{"/site/a.test", "/y/site/a.test"}, {"a.test (/site)", "a.test (y/site)"}},
      {{"/r/a.test", "/r/a.test"}, {"a.test", "a.test"}},
      {{"", "/r/a.test"}, {"", "a.test"}},
  };
  for (const auto& row : rows) EXPECT_EQ(DistinctTabNames(row.paths), row.names);
}

// The PDF names proposed and completed, and the printed pages' footer.
TEST(DocumentNames, PdfNamesAndFooter) {
  const struct {
    std::string in, out;
    std::string (*fn)(const std::string&);
  } rows[] = {
      {"/r/T-040419-011.tst-kova7k", "T-040419-011.pdf", ProposedPdfName},
      {"/r/a.b.test", "a.b.pdf", ProposedPdfName},
      {"", "report.pdf", ProposedPdfName},
      {"12345", "12345 history.pdf", HistoryPdfName},
      {"SN/1:2*\x1b", "SN_1_2__ history.pdf", HistoryPdfName},
      {"..", "_. history.pdf", HistoryPdfName},
      {"", "CT history.pdf", HistoryPdfName},
      {"/r/out", "/r/out.pdf", WithPdfExtension},
      {"/r/out.PDF", "/r/out.PDF", WithPdfExtension},
      {"/r/out.test", "/r/out.test.pdf", WithPdfExtension},
      {"/r.pdf/out", "/r.pdf/out.pdf", WithPdfExtension},
      {"/r/.pdf", "/r/.pdf.pdf", WithPdfExtension},
  };
  for (const auto& r : rows) EXPECT_EQ(r.fn(r.in), r.out) << r.in;

  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 9;
  t.tm_hour = 7;
  t.tm_min = 5;
  EXPECT_EQ(PrintedOnText(t, false), "Printed 12/09/26 07:05");
  EXPECT_EQ(PrintedOnText(t, true), "Printed 09/12/26 07:05");
  EXPECT_EQ(PageNumberText(3, 8), "Page 3 of 8");
}

TEST(Commands, EnablingRules) {
  const DocumentState none{}, empty{true, false, false}, single{true, true, false},
      overlay{true, true, true};
  struct {
    CommandId id;
    bool none, empty, single, overlay;
  } rows[] = {
      {CommandId::kOpenTest, true, true, true, true},
      {CommandId::kEditTest, false, false, true, false},
      {CommandId::kOverrideData, false, false, true, false},
      {CommandId::kExport, false, false, true, true},
      {CommandId::kSaveTest, false, false, true, true},
      {CommandId::kCloseWindow, false, true, true, true},
      {CommandId::kPrint, false, false, true, true},
      {CommandId::kAppSetup, true, true, true, true},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(CommandEnabled(r.id, none), r.none) << static_cast<int>(r.id);
    EXPECT_EQ(CommandEnabled(r.id, empty), r.empty) << static_cast<int>(r.id);
    EXPECT_EQ(CommandEnabled(r.id, single), r.single) << static_cast<int>(r.id);
    EXPECT_EQ(CommandEnabled(r.id, overlay), r.overlay) << static_cast<int>(r.id);
  }
  EXPECT_EQ(std::string(FindCommand(CommandId::kOpenTest)->shortcut), "Ctrl+O");
  EXPECT_EQ(std::string(FindCommand(CommandId::kTestDirectory)->menu_caption),
            "Retrieve Test Record From Device...\tCtrl+D");
  EXPECT_EQ(LookById(9999).id, kDefaultApplicationLook);
}

// The assessment keeps its profile beside the record's file and its
// reference for the record's CT: its commands need one record that has a
// file; the library needs nothing.
TEST(Commands, AssessmentNeedsOneRecordWithItsFileAndTheLibraryNothing) {
  const DocumentState none{}, empty{true, false, false, false}, unsaved{true, true, false, false},
      saved{true, true, false, true}, overlay{true, true, true, true};
  struct {
    CommandId id;
    bool none, empty, unsaved, saved, overlay;
  } rows[] = {
      {CommandId::kLibrary, true, true, true, true, true},
      {CommandId::kAssessmentProfile, false, false, false, true, false},
      {CommandId::kImportReferenceCurve, false, false, false, true, false},
      {CommandId::kCompareSisterPhases, false, false, false, true, false},
  };
  for (const auto& r : rows) {
    const int id = static_cast<int>(r.id);
    EXPECT_EQ(CommandEnabled(r.id, none), r.none) << id;
    EXPECT_EQ(CommandEnabled(r.id, empty), r.empty) << id;
    EXPECT_EQ(CommandEnabled(r.id, unsaved), r.unsaved) << id;
    EXPECT_EQ(CommandEnabled(r.id, saved), r.saved) << id;
    EXPECT_EQ(CommandEnabled(r.id, overlay), r.overlay) << id;
  }
}

// A caption on two panels ("Download from Device", "File Utilities") says in
// its tip what it works on, and no two such tips are alike.
TEST(Commands, SharedPanelCaptionsSayWhatTheyWorkOn) {
  std::map<std::string, std::vector<CommandId>> by_caption;
  for (const CommandInfo& c : MainCommands())
    if (c.ribbon_caption[0] != '\0') by_caption[c.ribbon_caption].push_back(c.id);
  int shared = 0;
  for (const auto& [caption, ids] : by_caption) {
    if (ids.size() < 2) continue;
    ++shared;
    std::set<std::string> tips;
    for (CommandId id : ids) {
      EXPECT_STRNE(RibbonTip(id), "") << caption;
      tips.insert(RibbonTip(id));
    }
    EXPECT_EQ(tips.size(), ids.size()) << caption;
  }
  EXPECT_EQ(shared, 2);
  EXPECT_STREQ(RibbonTip(CommandId::kOpenTest), "");
}

struct SetupFixture : ::testing::Test {
  MemorySettingsStore store;
  AppSettings settings;
  CAppInfo info;
  std::string install = TempFolder("setup-install");
  void SetUp() override {
    LoadAppSettings(settings, store, WithTrailingSeparator(install));
    info.Load(store, install);
  }
};

TEST_F(SetupFixture, NumberedPortsListAHundredAndKeepTheNumber) {
  info.comport = 12;
  info.comportname = "COM3";  // learnt by an earlier search
  const SetupValues v = LoadSetup(settings, info, SetupPortList(true, {}, {}), true);
  ASSERT_EQ(v.ports.size(), 100u);
  EXPECT_EQ(v.ports[0], "COM1:");
  EXPECT_EQ(v.portindex, 11);
  SetupValues chosen = v;
  chosen.portindex = 99;
  ApplySetup(chosen, true, settings, info, store);
  EXPECT_EQ(info.comport, 100);
  EXPECT_EQ(info.comportname, "");  // the choice wins over the earlier search
  EXPECT_EQ(settings.ComPort, 100);
  EXPECT_EQ(ReadIntSetting(store, kSettingsSection, "ComPort", 0), 100);
}

TEST_F(SetupFixture, NamedPortsAreTheSystemsAndTheExtraNames) {
  info.comportname = "/tmp/kova-link";
  const auto ports =
      SetupPortList(false, {"/dev/ttyS0", "/dev/ttyUSB0"}, {"/dev/ttyUSB0", "/tmp/sim"});
  EXPECT_EQ(ports, (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0", "/tmp/sim"}));
  SetupValues v = LoadSetup(settings, info, ports, false);
  EXPECT_EQ(v.ports.front(), "/tmp/kova-link");  // the current port stays choosable
  EXPECT_EQ(v.portindex, 0);

  struct {
    const char* choice;
    int comport;
    const char* name;
  } cases[] = {
      {"/dev/ttyS0", 1, ""}, {"/tmp/sim", 1, "/tmp/sim"}, {"/dev/ttyUSB0", 1, "/dev/ttyUSB0"}};
  for (const auto& c : cases) {
    v.portindex =
        static_cast<int>(std::find(v.ports.begin(), v.ports.end(), c.choice) - v.ports.begin());
    ApplySetup(v, false, settings, info, store);
    EXPECT_EQ(info.comport, c.comport) << c.choice;
    EXPECT_EQ(info.comportname, c.name) << c.choice;
    EXPECT_EQ(ReadTextSetting(store, kSettingsSection, "ComPortName", ""), c.name);
  }
}

// Auto Detect off: a typed port name and the chosen speed are what the link
// uses next; with it on the list's selection counts and nothing is typed.
TEST_F(SetupFixture, TypedPortsAndSpeedsWithAutoDetectOff) {
  EXPECT_TRUE(CommControlsFor(false).port_typed && CommControlsFor(false).speed);
  EXPECT_FALSE(CommControlsFor(true).port_typed || CommControlsFor(true).speed);

  const std::vector<std::string> named = {"/dev/ttyS0", "/dev/ttyUSB0"};
  const std::vector<std::string> numbered = SetupPortList(true, {}, {});
  struct {
    bool autodetect;
    bool numbered;
    std::string typed;
    int portindex;
    int speed;
    const char* problem;  // start of the refusal, or "" when OK takes it
    int comport;          // what the link uses next
    const char* name;
  } cases[] = {
      {false, false, "  /dev/pts/7 ", 0, 0, "", 1, "/dev/pts/7"},
      {false, false, "/dev/ttyS3", 0, 1, "", 4, ""},
      {false, false, "", 1, 0, "", 1, "/dev/ttyUSB0"},           // nothing typed: the list
      {true, false, "/dev/pts/7", 1, 1, "", 1, "/dev/ttyUSB0"},  // typing is off
      {false, true, "com7", 0, 0, "", 7, ""},
      {false, true, "COM150:", 0, 1, "", 150, ""},
      {false, true, "\\\\.\\CNCA0", 0, 1, "", 1, "\\\\.\\CNCA0"},
      {true, true, "", 11, 1, "", 12, ""},
      {false, false, "   ", -1, 1, "Please enter the name of the port", 0, nullptr},
      {false, false, "/dev/pts/\x01", 0, 1, "The port name holds a control", 0, nullptr},
      {false, false, "/dev/" + std::string(kMaxPortNameChars, 'x'), 0, 1,
       "The port name is too long (at most 260", 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    info.comport = 1;
    info.comportname.clear();
    SetupValues v = LoadSetup(settings, info, c.numbered ? numbered : named, c.numbered);
    v.autodetect = c.autodetect;
    v.porttext = c.typed;
    v.portindex = c.portindex;
    v.comspeed = c.speed;
    const std::string problem = SetupProblem(v);
    EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
    if (c.name == nullptr) continue;
    ApplySetup(v, c.numbered, settings, info, store);
    EXPECT_EQ(info.comport, c.comport);
    EXPECT_EQ(info.comportname, c.name);
    EXPECT_EQ(info.baud, c.speed == 0 ? 19200 : 115200);
    EXPECT_EQ(ReadIntSetting(store, kSettingsSection, "ComSpeed", -1), c.speed);
    EXPECT_EQ(ReadTextSetting(store, kSettingsSection, "ComPortName", ""), c.name);
    // Opened again, the dialog shows the port the link now uses.
    const SetupValues again = LoadSetup(settings, info, c.numbered ? numbered : named, c.numbered);
    EXPECT_EQ(ChosenPort(again), c.name[0] != '\0' ? std::string(c.name)
                                 : c.numbered      ? Format("COM%d:", c.comport)
                                                   : Format("/dev/ttyS%d", c.comport - 1));
  }
}

TEST_F(SetupFixture, OkStoresEveryValueAndTouchesTheTemplateOnlyForANewLogo) {
  const std::string tmpl = PathJoin(install, kReportTemplateName);
  ASSERT_TRUE(WriteFileAtomically(tmpl, std::string("<template/>")));
  const auto old_time = fs::last_write_time(tmpl) - std::chrono::hours(1);
  fs::last_write_time(tmpl, old_time);

  SetupValues v = LoadSetup(settings, info, SetupPortList(true, {}, {}), true);
  EXPECT_FALSE(ApplySetup(v, true, settings, info, store).template_touched);  // logo unchanged
  EXPECT_EQ(fs::last_write_time(tmpl), old_time);

  v.logo = PathJoin(install, "other.bmp");
  v.orientation = 1;
  v.frequency = 1;
  v.dateformat = 1;
  v.comspeed = 0;
  v.usb = false;
  v.autodetect = false;
  v.exportxml = v.exportpdf = true;
  v.filepath = "/data/records";
  const SetupResult r = ApplySetup(v, true, settings, info, store);
  EXPECT_TRUE(r.template_touched);
  EXPECT_EQ(r.orientation, 1);
  EXPECT_NE(fs::last_write_time(tmpl), old_time);
  std::string text;
  ASSERT_TRUE(ReadFileText(tmpl, text));
  EXPECT_EQ(text, "<template/>");

  struct {
    const char* name;
    int value;
  } ints[] = {{"Orientation", 1},   {"Frequency", 1},     {"DateFormat", 1},
              {"ComSpeed", 0},      {"USBEnable", 0},     {"DeviceAutoDetect", 0},
              {"AutoExportXml", 1}, {"AutoExportPdf", 1}, {"AutoExportExcel", 0}};
  for (const auto& i : ints)
    EXPECT_EQ(ReadIntSetting(store, kSettingsSection, i.name, -1), i.value) << i.name;
  EXPECT_EQ(info.baud, 19200);
  EXPECT_EQ(ReadTextSetting(store, kSettingsSection, "AppLogo", ""), v.logo);
  EXPECT_EQ(ReadTextSetting(store, kSettingsSection, "LogoFile", ""), v.logo);
  EXPECT_EQ(ReadTextSetting(store, kSettingsSection, "FilePath", ""), "/data/records");
  EXPECT_EQ(RecordDefaultsFrom(info).dateformat, 1);

  fs::remove(tmpl);
  v.logo = "again.bmp";
  EXPECT_FALSE(ApplySetup(v, true, settings, info, store).template_touched);  // silently skipped
}

TEST(ChosenExports, WritesReadableFilesIntoTheChosenFolderAndRemembersIt) {
  const std::string folder = TempFolder("chosen-export");
  const std::string out = TempFolder("chosen-export-out");
  const std::string a = WriteRecord(folder, "a.test");
  const std::string b = WriteRecord(folder, "b.tst-kova7k");
  std::ofstream(PathJoin(folder, "junk.test")) << "junk";
  MemorySettingsStore store;
  store.SetText(kAppInfoSection, "ExportDir", "/start");

  ScriptedPrompter cancel;
  EXPECT_FALSE(ExportChosenRecords({a}, TextExportKind(), {}, cancel, store).ran);

  ScriptedPrompter prompter;
  prompter.QueueText(out);
  const ChosenExportOutcome r = ExportChosenRecords({a, PathJoin(folder, "junk.test"), b},
                                                    TextExportKind(), {}, prompter, store);
  EXPECT_EQ(r.written, 2);
  EXPECT_EQ(r.unreadable, 1);
  EXPECT_TRUE(FileExists(PathJoin(out, "a.txt")));
  EXPECT_TRUE(FileExists(PathJoin(out, "b.txt")));
  EXPECT_EQ(ReadTextSetting(store, kAppInfoSection, "ExportDir", ""), out);
  EXPECT_TRUE(prompter.messages().empty());
}

}  // namespace
}  // namespace kova
