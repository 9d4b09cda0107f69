// Every file kova writes is whole or not there: a full disk, a planted link,
// a generator that fails quietly or hangs, a FIFO where a file should be,
// and outputs that are also inputs.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "export/whole_pdf.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {
namespace fs = std::filesystem;

class WholeFilesCli : public KovaCliTest {
 protected:
  std::string Record(const std::string& name) {
    auto rec = MakeSampleRecord(1, 2, 2);
    const std::string path = PathJoin(dir_, name);
    MakeFolders(FolderOf(path));
    EXPECT_TRUE(rec->WriteRecordFile(path));
    return path;
  }
  void Settings(const std::string& lines) {
    ASSERT_TRUE(WriteFileAtomically(dir_ + "/settings.ini", "[Settings]\n" + lines));
  }
  // An install folder whose report generator is the given shell script.
  std::string FakeInstall(const std::string& script) {
    const std::string install = dir_ + "/install/";
    MakeFolders(install);
    const std::string bin = FolderOf(BuiltProgram("kova"));
    for (const char* f : {"kovareport.mrt", "kovatest.xsd"}) {
      fs::copy_file(PathJoin(bin, f), install + f, fs::copy_options::overwrite_existing);
    }
    const std::string gen = install + "hmReportExport";
    EXPECT_TRUE(WriteFileAtomically(gen, "#!/bin/sh\n" + script));
    chmod(gen.c_str(), 0755);
    return install;
  }
  static std::string Text(const std::string& path) {
    std::string t;
    ReadFileText(path, t);
    return t;
  }
  static std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// The generator's failures that look like success: exit 0 without a file,
// exit 0 with a cut file, a hang past the time limit. Never exit 0 without a
// whole PDF, never a word on standard output but the written paths.
TEST_F(WholeFilesCli, AGeneratorThatFailsQuietlyOrHangsIsAFailure) {
  const std::string record = Record("r.test");
  struct Case {
    const char* what;
    const char* script;
    const char* reason;
  };
  const Case cases[] = {
      {"exit 0, no file", "echo chatter\nexit 0\n", "without writing a whole PDF"},
      {"exit 0, cut file", "printf '%%PDF-1.4\\n1 0 obj' > \"$4\"\nexit 0\n",
       "without writing a whole PDF"},
      {"hangs", "exec sleep 30\n", "did not finish within 1 s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Settings("InstallDir=" + FakeInstall(c.script) + "\nReportTimeLimit=1\n");
    ASSERT_TRUE(MakeFolders(dir_ + "/out"));
    ASSERT_TRUE(WriteFileAtomically(dir_ + "/out/r.pdf", std::string("old")));
    const ProgramResult r =
        Kova({"record", "export", "--format", "pdf", record, "-o", dir_ + "/out"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Text(dir_ + "/out/r.pdf"), "old");
    EXPECT_EQ(Names(dir_ + "/out"), std::vector<std::string>{"r.pdf"});
  }
}

// Pictures and XML the user keeps beside the output are never the export's
// intermediates: they stay as they were; a planted link under the old fixed
// temporary name leads nowhere.
TEST_F(WholeFilesCli, IntermediatesNeverTouchTheUsersFiles) {
  const std::string record = Record("r.test");
  const std::string out = dir_ + "/out";
  MakeFolders(out);
  const std::vector<std::string> users = {"r - Test1.bmp", "r - Test Summary.bmp", "r.report.xml"};
  for (const std::string& f : users) ASSERT_TRUE(WriteFileAtomically(PathJoin(out, f), f));
  const std::string victim = dir_ + "/victim";
  ASSERT_TRUE(WriteFileAtomically(victim, std::string("victim")));
  fs::create_symlink(victim, out + "/r.pdf.part");
  fs::create_symlink(victim, out + "/r.xlsx.part");
  for (const char* format : {"pdf", "xlsx"}) {
    SCOPED_TRACE(format);
    const ProgramResult r = Kova({"record", "export", "--format", format, record, "-o", out});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    for (const std::string& f : users) EXPECT_EQ(Text(PathJoin(out, f)), f);
    EXPECT_EQ(Text(victim), "victim");
  }
  std::vector<uint8_t> pdf;
  ASSERT_TRUE(ReadFileBytes(out + "/r.pdf", pdf));
  EXPECT_TRUE(IsWholePdf(pdf));
  EXPECT_EQ(Names(out).size(), users.size() + 4);  // + r.pdf, r.xlsx and the two links
}

// print and report follow the rule of every command: never over an input,
// never over an existing file without --overwrite; the generator refuses an
// output that is one of its inputs.
TEST_F(WholeFilesCli, PrintAndReportNeverWriteOverAnInputOrUnasked) {
  const std::string record = Record("a.test");
  const std::string before = Text(record);
  const std::string pdf = dir_ + "/p.pdf", png = dir_ + "/p.png";
  ASSERT_TRUE(WriteFileAtomically(pdf, std::string("old")));
  ASSERT_TRUE(WriteFileAtomically(png, std::string("old")));
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {{"print", record, "-o", record}, 1, "is also an input"},
      {{"report", record, "--png", record}, 1, "is also an input"},
      {{"print", record, "-o", pdf}, 1, "give --overwrite"},
      {{"report", record, "--png", png}, 1, "give --overwrite"},
      {{"report", record, "--png", png, "--overwrite", "--page", "0"}, 1, "give --page 1 to"},
      {{"print", record, "-o", pdf, "--overwrite"}, 0, ""},
      {{"report", record, "--png", png, "--overwrite"}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    const ProgramResult r = Kova(c.args);
    EXPECT_EQ(r.exit_code, c.code) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(Text(record), before);
  }
  EXPECT_NE(Text(pdf), "old");
  EXPECT_EQ(Text(png).substr(1, 3), "PNG");

  const std::string bin = FolderOf(BuiltProgram("kova"));
  const std::string xml = dir_ + "/x.xml";
  ASSERT_EQ(Kova({"record", "export", "--format", "xml", record, "-o", dir_}).exit_code, 0);
  fs::rename(dir_ + "/a.xml", xml);
  const std::string xml_text = Text(xml);
  const ProgramResult gen =
      RunProgram(BuiltProgram("hmReportExport"),
                 {PathJoin(bin, "kovareport.mrt"), PathJoin(bin, "kovatest.xsd"), xml, xml}, env_);
  EXPECT_EQ(gen.exit_code, 4);
  EXPECT_EQ(Text(xml), xml_text);
}

// A full disk (the file size limit) fails the write with the file's name
// and keeps the old file whole.
TEST_F(WholeFilesCli, AFullDiskKeepsTheOldFile) {
  const std::string record = Record("r.test");
  const std::string out = dir_ + "/out";
  MakeFolders(out);
  struct Case {
    std::vector<std::string> args;
    std::string target;
  };
  const Case cases[] = {
      {{"print", record, "-o", out + "/p.pdf", "--overwrite"}, out + "/p.pdf"},
      {{"report", record, "--png", out + "/p.png", "--overwrite"}, out + "/p.png"},
      {{"record", "export", "--format", "pdf", record, "-o", out}, out + "/r.pdf"},
      {{"record", "export", "--format", "xlsx", record, "-o", out}, out + "/r.xlsx"},
  };
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    ASSERT_TRUE(WriteFileAtomically(c.target, std::string("precious")));
    // The limit reaches the child through fork, with the signal at its
    // default: the program itself must make the write fail instead of being
    // killed by SIGXFSZ.
    rlimit small = old;
    small.rlim_cur = 8 * 1024;
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_DFL);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ProgramResult r = Kova(c.args);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, old_handler);
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_NE(r.err.find(c.target), std::string::npos) << r.err;
    EXPECT_EQ(Text(c.target), "precious");
  }
  EXPECT_EQ(Names(out), (std::vector<std::string>{"p.pdf", "p.png", "r.pdf", "r.xlsx"}));
}

// A FIFO where the logo, a picture or the document should be never hangs a
// command: it is refused as not a regular file.
TEST_F(WholeFilesCli, AFifoInsteadOfAFileIsRefusedNotWaitedFor) {
  const std::string record = Record("r.test");
  const std::string fifo = dir_ + "/logo.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  Settings("AppLogo=" + fifo + "\n");
  const ProgramResult printed = Kova({"print", record, "-o", dir_ + "/p.pdf"});
  EXPECT_EQ(printed.exit_code, 0) << printed.err;
  const ProgramResult pdf = Kova({"record", "export", "--format", "pdf", record, "-o", dir_});
  EXPECT_EQ(pdf.exit_code, 0) << pdf.err;

  const std::string bin = FolderOf(BuiltProgram("kova"));
  const ProgramResult gen = RunProgram(
      BuiltProgram("hmReportExport"),
      {PathJoin(bin, "kovareport.mrt"), PathJoin(bin, "kovatest.xsd"), fifo, dir_ + "/g.pdf"},
      env_);
  EXPECT_EQ(gen.exit_code, 2);
  EXPECT_NE(gen.err.find("not a regular file"), std::string::npos) << gen.err;
}

// Records of one name in one run: the images of the second get their own
// names, as every other format does.
TEST_F(WholeFilesCli, SameNamedRecordsGetTheirOwnPictures) {
  const std::string a = Record("a/r.test"), b = Record("b/r.test");
  const ProgramResult r =
      Kova({"record", "export", "--format", "images", a, b, "-o", dir_ + "/out"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(FileExists(dir_ + "/out/r - Test1.bmp"));
  EXPECT_TRUE(FileExists(dir_ + "/out/r (2) - Test1.bmp"));
  EXPECT_TRUE(FileExists(dir_ + "/out/r (2) - Test Summary.bmp"));
}

// A record file cut short is shown with what it held, and said so.
TEST_F(WholeFilesCli, ARecordFileThatEndsEarlySaysWhere) {
  const std::string record = Record("r.test");
  std::string bytes = Text(record);
  ASSERT_TRUE(WriteFileAtomically(record, bytes.substr(0, 100)));
  const ProgramResult r = Kova({"record", "export", "--format", "txt", record, "-o", dir_});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("ended at byte 100 but needed"), std::string::npos) << r.err;
}

// A long note flows onto following pages of the PDF; a text past a
// workbook cell's limit is cut visibly, the workbook still written, and the
// cell named.
TEST_F(WholeFilesCli, LongTextsAreNeverCutSilently) {
  auto rec = MakeSampleRecord(1, 1, 2);
  std::string note;
  for (int i = 1; i <= 300; ++i) note += "note line " + std::to_string(i) + "\r\n";
  rec->testnote = note;
  const std::string record = PathJoin(dir_, "n.test");
  ASSERT_TRUE(rec->WriteRecordFile(record));
  ASSERT_EQ(Kova({"record", "export", "--format", "pdf", record, "-o", dir_}).exit_code, 0);
  const ProgramResult text = RunProgram("/usr/bin/pdftotext", {dir_ + "/n.pdf", "-"});
  for (const char* line : {"note line 1\n", "note line 84\n", "note line 300\n"}) {
    EXPECT_NE(text.out.find(line), std::string::npos) << line;
  }

  rec->testnote = std::string(40000, 'x');
  ASSERT_TRUE(rec->WriteRecordFile(record));
  const ProgramResult xlsx = Kova({"record", "export", "--format", "xlsx", record, "-o", dir_});
  EXPECT_EQ(xlsx.exit_code, 0) << xlsx.err;
  EXPECT_NE(xlsx.err.find("was cut from 40000 to 32767 characters"), std::string::npos) << xlsx.err;
  EXPECT_TRUE(FileExists(dir_ + "/n.xlsx"));
}

// The PDF carries the burden and insulation results the printout carries,
// and no "Note Pad" heading over an empty note.
TEST_F(WholeFilesCli, PdfSectionsOnlyWhereTheirDataExist) {
  struct Case {
    int model;  // only the second model measures burden and insulation
    bool burden, note;
  };
  for (const Case c : {Case{2, true, false}, Case{1, false, true}}) {
    SCOPED_TRACE(c.model);
    auto rec = MakeSampleRecord(c.model, 1, 2);
    rec->testnote = c.note ? "checked" : "";
    const std::string record = PathJoin(dir_, "s.test");
    ASSERT_TRUE(rec->WriteRecordFile(record));
    const ProgramResult r =
        Kova({"record", "export", "--format", "pdf", record, "-o", dir_ + "/s"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string text = RunProgram("/usr/bin/pdftotext", {dir_ + "/s/s.pdf", "-"}).out;
    EXPECT_EQ(text.find("5 Amp Burden Test") != std::string::npos, c.burden) << text;
    EXPECT_EQ(text.find("1000V Insulation Resistance Test") != std::string::npos, c.burden);
    EXPECT_EQ(text.find("Note Pad") != std::string::npos, c.note);
    fs::remove_all(dir_ + "/s");
  }
}

// The tool needs no runtime folder: Qt's note about one never reaches its
// output.
TEST_F(WholeFilesCli, NoRuntimeFolderNoise) {
  env_.push_back("XDG_RUNTIME_DIR=");
  const ProgramResult r = Kova({"--help"});
  EXPECT_EQ(r.err.find("QStandardPaths"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("QStandardPaths"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace kova
