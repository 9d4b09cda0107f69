// File and folder names are the system's (UTF-8 here); messages are
// Windows-1252 text that the faces convert once more. Every builder that
// puts a name into a message must put it in as text, or the user reads
// "PrÃ¼fung" for "Prüfung".

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/auto_export.h"
#include "app/batch_transfer.h"
#include "app/document_names.h"
#include "app/export_notice.h"
#include "app/output_place.h"
#include "app/record_document.h"
#include "assess/reference_keeper.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/native_path.h"
#include "base/path.h"
#include "device/device_status.h"
#include "plans/thumb_drive.h"
#include "records/record_file.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

// Which part of the path the message names.
enum class Part { kWhole, kFileName, kFolder };

struct Builder {
  const char* what;
  Part part;
  std::function<std::string(const std::string& path)> text;
};

std::vector<Builder> Builders() {
  static AppSettings excel_only;
  excel_only.AutoExportXml = excel_only.AutoExportPdf = 0;
  excel_only.AutoExportExcel = 1;
  RecordFileEnd early;
  early.ended_at = 100;
  early.needed = 200;
  return {
      {"auto export step", Part::kWhole,
       [](const std::string& p) {
         return StepFailureText("Unable to write the workbook", p, "Is a directory");
       }},
      {"write failed", Part::kWhole,
       [](const std::string& p) { return WriteFailedText(p, "full"); }},
      {"folder unopened", Part::kWhole,
       [](const std::string& p) {
         DeviceStatus s(DeviceCode::kFolderUnopened);
         s.file = p;
         return DeviceStatusText(s);
       }},
      {"no device at a port", Part::kWhole,
       [](const std::string& p) { return DeviceStatusText(DeviceStatus::NoDevice(p, "silent")); }},
      {"port unopened", Part::kWhole,
       [](const std::string& p) {
         DeviceStatus s(DeviceCode::kPortUnopened);
         s.port = p;
         return DeviceStatusText(s);
       }},
      {"overwrite question", Part::kFileName, OverwriteQuestion},
      {"exports written", Part::kFileName,
       [](const std::string& p) { return AutoExportsWrittenText(p, excel_only); }},
      {"exports written, folder", Part::kFolder,
       [](const std::string& p) { return AutoExportsWrittenText(p, excel_only); }},
      {"chosen exports written", Part::kFolder,
       [](const std::string& p) {
         return ChosenExportsWrittenText(2, "text file(s)", FolderOf(p));
       }},
      {"record ended early", Part::kWhole,
       [early](const std::string& p) { return RecordFileEndedEarlyText(p, early); }},
      {"open failure", Part::kWhole,
       [](const std::string& p) {
         return OpenFailureText({{p, "not a record file"}});
       }},
      {"thumb drive notice", Part::kWhole,
       [](const std::string& p) {
         ThumbExportResult r;
         r.failed = {p};
         return ThumbExportNotice(r).at(0);
       }},
      {"reference curve not kept", Part::kFolder,
       [](const std::string& p) {
         auto rec = std::make_unique<TestRecord>();
         rec->fullpath = p;  // in a folder that is not there
         std::string where, why;
         BesideRecordReferences().Keep(*rec, ReferenceCurve(), where, why);
         return why;
       }},
      {"overwrite of a download", Part::kFileName,
       [](const std::string& p) {
         ScriptedPrompter prompter;
         PrompterQuestions(prompter).AskOverwrite(FileNameOf(p));
         return prompter.messages().at(0).text;
       }},
  };
}

// The part of `path` (Windows-1252) the message names, as the user reads it.
std::string ShownPart(const std::string& path, Part part) {
  std::string shown = path;
  if (part == Part::kFileName) shown = FileNameOf(path);
  if (part == Part::kFolder) shown = FolderOf(path).substr(0, FolderOf(path).size() - 1);
  return Cp1252ToUtf8(shown);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(NamesInMessages, ShowAsTypedOnce) {
  const std::string typed = "/kova-none/Pr\374fung/Excel/Trafo \304.xlsx";
  for (const Builder& b : Builders()) {
    SCOPED_TRACE(b.what);
    const std::string shown = Cp1252ToUtf8(b.text(Cp1252ToSystemName(typed)));
    EXPECT_EQ(Count(shown, ShownPart(typed, b.part)), 1u) << shown;
    EXPECT_EQ(shown.find("\303\203"), std::string::npos) << shown;  // no "Ã": converted twice
  }
}

// A letter Windows-1252 lacks becomes "?" and leaves the rest of the text
// as it is.
TEST(NamesInMessages, LettersOutsideTheCodePageLeaveTheRestWhole) {
#ifdef _WIN32
  GTEST_SKIP() << "names here are Windows-1252 already";
#endif
  const std::string cyrillic = "/kova-none/\320\236\321\202\321\207\321\221\321\202/Trafo.test";
  const std::string marked = "/kova-none/" + std::string(5, '?') + "/Trafo.test";
  for (const Builder& b : Builders()) {
    SCOPED_TRACE(b.what);
    EXPECT_EQ(Cp1252ToUtf8(b.text(cyrillic)), Cp1252ToUtf8(b.text(marked)));
  }
}

// The place of a run's record is checked on a real folder: the message
// names it as typed.
TEST(NamesInMessages, OutputPlaceNamesTheFileAsTyped) {
  const std::string dir = TempFolder("names-output-place");
  const std::string folder = PathJoin(dir, Cp1252ToSystemName("Pr\374fung"));
  const std::string file = PathJoin(folder, Cp1252ToSystemName("Trafo \304.test"));
  ASSERT_TRUE(MakeFolders(file));  // a folder where the record goes
  const struct {
    std::string path;
    std::string named;
  } cases[] = {
      {file, "\"" + SystemNameToUtf8(file) + "\""},
      {PathJoin(folder, "gone/r.test"), "\"" + SystemNameToUtf8(PathJoin(folder, "gone")) + "\""},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_FALSE(CheckOutputFile(c.path, false, why));
    EXPECT_NE(Cp1252ToUtf8(why).find(c.named), std::string::npos) << why;
  }
  std::filesystem::remove_all(NativePath(dir));
}

// Names typed as text (the "Rename" answer) or on a UTF-8 edge (the
// terminal, a window) reach the same file.
TEST(NamesInMessages, TypedNamesBecomeSystemNames) {
  const std::string cp1252 = "Pr\374fung \200", utf8 = "Pr\303\274fung \342\202\254";
  EXPECT_EQ(Cp1252ToSystemName(cp1252), Utf8ToSystemName(utf8));
  EXPECT_EQ(SystemNameToCp1252(Cp1252ToSystemName(cp1252)), cp1252);
  EXPECT_EQ(SystemNameToUtf8(Utf8ToSystemName(utf8)), utf8);
}

}  // namespace
}  // namespace kova
