#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/file_io.h"
#include "base/format.h"
#include "base/native_path.h"
#include "base/path.h"
#include "base/private_folder.h"
#include "base/timer.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(PathJoin, RelativeNamesGoBelowAbsoluteOnesStay) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(PathJoin("/opt/kova", "Tests"), "/opt/kova" + sep + "Tests");
  EXPECT_EQ(PathJoin("/opt/kova/", "Tests"), "/opt/kova/Tests");
  EXPECT_EQ(PathJoin("/opt/kova/", "\\Tests"), "/opt/kova/Tests")
      << "one leading separator dropped";
  EXPECT_EQ(PathJoin("/opt/kova", "D:\\Data\\Tests"), "D:\\Data\\Tests");
  EXPECT_EQ(PathJoin("/opt/kova", "\\\\server\\share"), "\\\\server\\share");
#ifndef _WIN32
  EXPECT_EQ(PathJoin("/opt/kova", "/srv/tests"), "/srv/tests");
#endif
  // "C:" alone is not absolute: it needs more than two characters.
  EXPECT_EQ(PathJoin("/x", "C:"), "/x" + sep + "C:");
}

TEST(PathParts, BothSeparatorsAreAccepted) {
  EXPECT_EQ(FileNameOf("c:\\tests\\a.test"), "a.test");
  EXPECT_EQ(FileNameOf("/tmp/b.test"), "b.test");
  EXPECT_EQ(FileNameOf("plain"), "plain");
  EXPECT_EQ(StemOf("/tmp/rec.001.test"), "rec.001");
  EXPECT_EQ(FolderOf("a/b\\c.txt"), "a/b\\");
}

uint32_t g_now = 0;
uint32_t FakeClock() { return g_now; }

TEST(CTimer, ElapsedSurvivesTheCounterWrapping) {
  CTimer t(&FakeClock);
  g_now = 0xFFFFFF00u;
  t.Start(1000);
  g_now = 0xFFFFFF00u + 1000;  // wraps past zero
  EXPECT_FALSE(t.Expired()) << "exactly the duration is not yet expired";
  g_now += 1;
  EXPECT_TRUE(t.Expired());
  g_now = 0xFFFFFF00u;
  EXPECT_TRUE(t.Expired()) << "expiry latches";
  EXPECT_EQ(t.RemainingMs(), 0u);
}

TEST(AtomicWrite, ReplacesTheFileAndLeavesNoTemporaries) {
  const std::string dir = TempFolder("atomic");
  const std::string path = dir + "/data.bin";
  ASSERT_TRUE(WriteFileAtomically(path, std::string("first")));
  ASSERT_TRUE(WriteFileAtomically(path, std::string("second")));
  std::string back;
  ASSERT_TRUE(ReadFileText(path, back));
  EXPECT_EQ(back, "second");
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(AtomicWrite, AFailedWriteKeepsTheOldFile) {
  const std::string dir = TempFolder("atomic-fail");
  const std::string path = dir + "/keep.bin";
  ASSERT_TRUE(WriteFileAtomically(path, std::string("precious")));
  // A folder in the way of the rename: the write must fail and keep nothing
  // half-written.
  const std::string blocked = dir + "/blocked";
  std::filesystem::create_directories(blocked + "/inside");
  EXPECT_FALSE(WriteFileAtomically(blocked, std::string("x")));
  EXPECT_FALSE(WriteFileAtomically(dir + "/missing/file.bin", std::string("x")));
  std::string back;
  ASSERT_TRUE(ReadFileText(path, back));
  EXPECT_EQ(back, "precious");
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 2) << "no temporary file left behind";
}

// Names are Windows-1252 text inside the program ("é" is 0xE9, "€" 0x80); on
// Windows they must reach the file system as those characters, whatever the
// PC's code page.
TEST(EightBitNames, FoldersAndFilesKeepTheirNames) {
  const std::string top = TempFolder("eight-bit");
  const std::string dir = PathJoin(top, "Mess\xe9 \x80");
  const std::string path = PathJoin(dir, "T\xfc_1.test");
  ASSERT_TRUE(MakeFolders(dir));
  EXPECT_TRUE(FolderExists(dir));
  ASSERT_TRUE(WriteFileAtomically(path, std::string("one")));
  ASSERT_TRUE(WriteFileAtomically(path, std::string("two")));
  EXPECT_TRUE(FileExists(path));
  std::string back;
  ASSERT_TRUE(ReadFileText(path, back));
  EXPECT_EQ(back, "two");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(NativePath(dir))) {
    names.push_back(PathText(e.path().filename()));
  }
  EXPECT_EQ(names, std::vector<std::string>{"T\xfc_1.test"});
#ifdef _WIN32
  EXPECT_TRUE(
      std::filesystem::is_regular_file(NativePath(top) / L"Mess\u00e9 \u20ac" / L"T\u00fc_1.test"));
#endif
}

// A write that fails after its file was opened (the file size limit is
// reached half-way): an in-place write would have cut the old file short.
TEST(AtomicWrite, AWriteCutShortByTheFileSizeLimitKeepsTheOldFile) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no per-process file size limit to cut a write short";
#else
  const std::string path = TempFolder("fsize") + "/keep.bin";
  ASSERT_TRUE(WriteFileAtomically(path, std::string("precious")));
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 4096;
  void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteFileAtomically(path, std::string(64 * 1024, 'x'));
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  std::string back;
  ASSERT_TRUE(ReadFileText(path, back));
  EXPECT_EQ(back, "precious");
#endif
}

TEST(AtomicWrite, AReplacedFileKeepsItsMode) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no POSIX mode bits";
#else
  const std::string dir = TempFolder("mode");
  for (mode_t mode : {0600, 0640, 0644}) {
    const std::string path = dir + "/f" + std::to_string(mode);
    ASSERT_TRUE(WriteFileAtomically(path, std::string("a")));
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomically(path, std::string("b")));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
  }
#endif
}

// Reads say why they failed, and never open what is not a regular file (a
// FIFO would block the program until someone writes to it).
TEST(ReadFile, SaysWhyAndRefusesWhatIsNotARegularFile) {
  const std::string dir = TempFolder("problems");
  const std::string file = dir + "/f.bin", empty = dir + "/empty.bin";
  ASSERT_TRUE(WriteFileAtomically(file, std::string(100, 'a')));
  ASSERT_TRUE(WriteFileAtomically(empty, std::string()));
  constexpr size_t kSomeBytes = SIZE_MAX;
  struct Case {
    std::string path;
    size_t limit;
    FileProblem want;
    size_t want_size = 0;  // kSomeBytes: more than none
  };
  std::vector<Case> cases = {
      {file, 100, FileProblem::kNone, 100},
      {file, 1000, FileProblem::kNone, 100},
      {file, 99, FileProblem::kTooLarge},
      {empty, 0, FileProblem::kNone, 0},
      {empty, 10, FileProblem::kNone, 0},
      {dir + "/none", 100, FileProblem::kMissing},
      {dir, 100, FileProblem::kFolder},
#ifdef __linux__
      // The folder says 0 bytes for these: the read goes on past the size
      // it was told, still within the limit.
      {"/proc/self/maps", 1u << 20, FileProblem::kNone, kSomeBytes},
      {"/proc/self/maps", 8, FileProblem::kTooLarge},
#endif
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes;
    FileProblem got = FileProblem::kUnreadable;
    EXPECT_EQ(ReadFileBytes(c.path, bytes, c.limit, &got), c.want == FileProblem::kNone) << c.path;
    EXPECT_EQ(got, c.want) << c.path;
    if (c.want != FileProblem::kNone) continue;
    if (c.want_size == kSomeBytes) {
      EXPECT_GT(bytes.size(), 8u) << c.path;
      continue;
    }
    EXPECT_EQ(bytes, std::vector<uint8_t>(c.want_size, 'a')) << c.path << " read whole";
  }
  EXPECT_EQ(FileProblemText(FileProblem::kFolder), "it is a folder");
}

TEST(ReadFile, RefusesFifosAndDevicesWithoutOpeningThem) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs and devices in the file system are POSIX";
#else
  const std::string dir = TempFolder("fifo");
  const std::string fifo = dir + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string locked = dir + "/locked";
  ASSERT_EQ(mkdir(locked.c_str(), 0700), 0);
  ASSERT_TRUE(WriteFileAtomically(locked + "/p.json", std::string("{}")));
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  struct Case {
    std::string path;
    FileProblem want;
    const char* text;
  };
  std::vector<Case> cases = {
      {fifo, FileProblem::kFifo, "it is a FIFO (a named pipe), not a regular file"},
      {"/dev/zero", FileProblem::kDevice, "it is a device, not a regular file"},
      {dir + "/" + std::string(300, 'n'), FileProblem::kPathTooLong, "the path is too long"},
      {fifo + "/below", FileProblem::kMissing, "no such file"},
  };
  // Root enters any folder.
  if (geteuid() != 0) {
    cases.push_back({locked + "/p.json", FileProblem::kFolderDenied,
                     "a folder on its path may not be entered (permission denied)"});
  }
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes;
    FileProblem got = FileProblem::kNone;
    EXPECT_FALSE(ReadFileBytes(c.path, bytes, 100, &got)) << c.path;
    EXPECT_EQ(got, c.want) << c.path;
    EXPECT_EQ(RegularFileProblem(c.path), c.want) << c.path;
    EXPECT_EQ(FileProblemText(got), c.text) << c.path;
  }
  chmod(locked.c_str(), 0700);
#endif
}

// A folder an export needs is made, or named with why it cannot be.
TEST(MakeFolderFor, MakesOrSaysWhy) {
  const std::string dir = TempFolder("folder-for");
  const std::string file = PathJoin(dir, "plain");
  ASSERT_TRUE(WriteFileAtomically(file, std::string("x")));
  struct Case {
    std::string target;
    bool ok;
    std::string folder_named, reason;  // in the message when refused
  };
  std::vector<Case> cases = {
      {"name-only.txt", true, "", ""},
      {PathJoin(PathJoin(dir, "new"), "a.xml"), true, "", ""},
      {PathJoin(PathJoin(PathJoin(dir, "deep"), "er"), "a.xml"), true, "", ""},
      {PathJoin(file, "a.xml"), false, file, "is a file, not a folder"},
      {PathJoin(PathJoin(file, "Xml"), "a.xml"), false, PathJoin(file, "Xml"),
       "\"" + file + "\" is a file, not a folder"},
  };
#ifndef _WIN32
  const std::string locked = PathJoin(dir, "locked");
  ASSERT_TRUE(MakeFolders(locked));
  ASSERT_EQ(chmod(locked.c_str(), 0500), 0);
  if (geteuid() != 0) {  // root writes into any folder
    cases.push_back({PathJoin(PathJoin(locked, "Xml"), "a.xml"), false, PathJoin(locked, "Xml"),
                     "Permission denied"});
  }
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    std::string why = "untouched";
    EXPECT_EQ(MakeFolderFor(c.target, &why), c.ok);
    if (c.ok) {
      EXPECT_EQ(why, "untouched");
      EXPECT_TRUE(FolderExists(FolderOf(c.target)) || FolderOf(c.target).empty());
    } else {
      EXPECT_EQ(why.rfind("the folder \"" + c.folder_named + "\" cannot be made: ", 0), 0u) << why;
      EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
  }
#ifndef _WIN32
  chmod(locked.c_str(), 0700);
#endif
}

// Standard input has no size to check first: it is read up to the limit and
// refused beyond it, without keeping more than the limit.
TEST(ReadStream, StopsAtTheLimit) {
  struct Case {
    size_t bytes, limit;
    bool ok;
  };
  for (const Case& c : {Case{0, 10, true}, Case{10, 10, true}, Case{11, 10, false},
                        Case{200000, 150000, false}, Case{200000, 200000, true}}) {
    std::istringstream in(std::string(c.bytes, 'x'));
    std::string out = "before";
    EXPECT_EQ(ReadStreamText(in, out, c.limit), c.ok) << c.bytes << " of " << c.limit;
    EXPECT_EQ(out, c.ok ? std::string(c.bytes, 'x') : "before") << "a refused read changes nothing";
  }
}

TEST(ReadFile, RefusesFilesAboveTheLimit) {
  const std::string path = TempFolder("limit") + "/big.bin";
  ASSERT_TRUE(WriteFileAtomically(path, std::string(5000, 'a')));
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadFileBytes(path, bytes, 4999));
  EXPECT_TRUE(ReadFileBytes(path, bytes, 5000));
  EXPECT_EQ(bytes.size(), 5000u);
  EXPECT_FALSE(ReadFileBytes(path + ".none", bytes));
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// The temporary of a write is short whatever the target's name (a name of
// 255 bytes stays writable), new (a link planted under the names the
// program once used leads nowhere), and a failure says why.
TEST(AtomicWrite, ShortExclusiveTemporariesAndAReason) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links and name limits differ on Windows";
#else
  const std::string dir = TempFolder("temp-names");
  for (size_t length : {size_t{1}, size_t{200}, size_t{244}, size_t{255}}) {
    SCOPED_TRACE(length);
    const std::string path = dir + "/" + std::string(length, 'n');
    EXPECT_LE(FileNameOf(AtomicTempName(path, 0xffffffffu)).size(), 32u);
    EXPECT_EQ(AtomicTempName(path, 1).rfind(dir + "/", 0), 0u);
    EXPECT_TRUE(WriteFileAtomically(path, std::string("x")));
  }
  const std::string victim = dir + "/victim", out = dir + "/r.pdf";
  ASSERT_TRUE(WriteFileAtomically(victim, std::string("victim")));
  ASSERT_EQ(symlink(victim.c_str(), (out + ".part").c_str()), 0);
  ASSERT_EQ(symlink(victim.c_str(), (out + ".tmp1-1").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(out, std::string("pdf")));
  std::string back;
  ASSERT_TRUE(ReadFileText(victim, back));
  EXPECT_EQ(back, "victim");
  std::string why;
  EXPECT_FALSE(WriteFileAtomically(dir + "/missing/x", std::string("x"), &why));
  EXPECT_NE(why.find("No such file"), std::string::npos) << why;
#endif
}

// A private folder is the caller's alone and gone with everything in it
// when it goes out of scope.
TEST(PrivateFolder, OwnerOnlyAndRemovedWithItsFiles) {
  std::string path;
  {
    PrivateFolder a("test"), b("test");
    ASSERT_TRUE(a.valid()) << a.problem();
    ASSERT_TRUE(b.valid()) << b.problem();
    EXPECT_NE(a.path(), b.path());
    path = a.path();
    ASSERT_TRUE(WriteFileAtomically(a.File("x.bmp"), std::string(1000, 'x')));
    ASSERT_TRUE(MakeFolders(a.File("sub")));
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif
  }
  EXPECT_FALSE(FolderExists(path));
}

TEST(PrivateFolder, NameCarriesTheProcessThatOwnsIt) {
  PrivateFolder f("test");
  ASSERT_TRUE(f.valid()) << f.problem();
  long pid = 0;
  ASSERT_TRUE(PrivateFolderOwner(FileNameOf(f.path()), &pid)) << f.path();
#ifndef _WIN32
  EXPECT_EQ(pid, static_cast<long>(::getpid()));
#endif
}

TEST(PrivateFolder, OnlyOurNamesGiveAnOwner) {
  const struct {
    const char* name;
    long pid;  // 0: not one of ours
  } cases[] = {
      {"kova-export-p4242-a1B2c3", 4242},
      {"kova-pictures-p1-zzzzzz", 1},
      {"kova-a-b-p99-000000", 99},  // a tag with a dash
      {"kova-export-p2147483647-abcdef", 2147483647},
      {"kova-export-p2147483648-abcdef", 0},  // no such process id
      {"kova-export-p04242-a1B2c3", 0},       // leading zero
      {"kova-export-p-a1B2c3", 0},            // no digits
      {"kova-export-4242-a1B2c3", 0},         // the old name, no "p"
      {"kova-export-p4242-a1B2c", 0},         // suffix too short
      {"kova-export-p4242-a1B2c3d", 0},       // suffix too long
      {"kova-export-p4242-a1.2c3", 0},        // not a mkdtemp suffix
      {"kova-export-p42x2-a1B2c3", 0},
      {"kova-tests-4242", 0},  // the test fixtures' folders
      {"kovaexport-p4242-a1B2c3", 0},
      {"x-kova-export-p4242-a1B2c3", 0},
      {"kova-p4242-a1B2c3", 0},  // no tag
      {"", 0},
  };
  for (const auto& c : cases) {
    long pid = 0;
    EXPECT_EQ(PrivateFolderOwner(c.name, &pid), c.pid != 0) << c.name;
    if (c.pid != 0) {
      EXPECT_EQ(pid, c.pid) << c.name;
    }
  }
}

#ifndef _WIN32
// A process id that is certainly not running: a child that has ended and
// been reaped.
long EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return static_cast<long>(child);
}

// After a kill -9 the folder stays; the next one made removes it, and only
// it: a live process's folder, links, files and other names stay.
TEST(PrivateFolder, LeftoversOfEndedProcessesAreRemoved) {
  const std::string base = TempFolder("leftovers");
  const long gone = EndedProcess();
  const long alive = static_cast<long>(::getppid());
  auto at = [&](const std::string& name) { return PathJoin(base, name); };
  const std::string dead = Format("kova-export-p%ld-aaaaaa", gone);
  ASSERT_TRUE(MakeFolders(at(dead) + "/sub"));
  ASSERT_TRUE(WriteFileAtomically(at(dead) + "/sub/r - Test1.bmp", std::string(100, 'x')));
  const std::string live = Format("kova-export-p%ld-bbbbbb", alive);
  const std::string mine = Format("kova-export-p%ld-cccccc", static_cast<long>(::getpid()));
  ASSERT_TRUE(MakeFolders(at(live)));
  ASSERT_TRUE(MakeFolders(at(mine)));
  // A link named as a dead process's folder points at the user's data.
  ASSERT_TRUE(MakeFolders(at("victim")));
  ASSERT_TRUE(WriteFileAtomically(at("victim/keep.txt"), std::string("data")));
  const std::string link = Format("kova-export-p%ld-dddddd", gone);
  ASSERT_EQ(::symlink(at("victim").c_str(), at(link).c_str()), 0);
  const std::string file = Format("kova-export-p%ld-eeeeee", gone);
  ASSERT_TRUE(WriteFileAtomically(at(file), std::string("plain file")));
  const std::string other = Format("kova-tests-%ld", gone);
  ASSERT_TRUE(MakeFolders(at(other)));

  EXPECT_EQ(RemoveLeftoverPrivateFolders(base), 1);
  EXPECT_FALSE(FolderExists(at(dead)));
  EXPECT_TRUE(FolderExists(at(live)));
  EXPECT_TRUE(FolderExists(at(mine)));
  EXPECT_TRUE(FileExists(at("victim/keep.txt")));
  struct stat st {};
  EXPECT_EQ(::lstat(at(link).c_str(), &st), 0);
  EXPECT_TRUE(FileExists(at(file)));
  EXPECT_TRUE(FolderExists(at(other)));
  EXPECT_EQ(RemoveLeftoverPrivateFolders(base), 0) << "nothing more to remove";
}
#endif

}  // namespace
}  // namespace kova
