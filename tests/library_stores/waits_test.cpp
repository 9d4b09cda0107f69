// Waiting for the library has a bound: a server that never answers, a table
// another session locked, a SQLite file another program holds.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "base/file_io.h"
#include "library/library_import.h"
#include "library/store_messages.h"
#include "library_support/library_records.h"
#include "store_fixture.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// A "server" that takes connections and never says a word.
TEST(LibraryWaits, AServerThatNeverAnswersIsGivenUp) {
  const std::string folder = TempFolder("waits-silent-server");
  const std::string socket_path = folder + "/.s.PGSQL.5432";
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(socket_path.size(), sizeof addr.sun_path);
  socket_path.copy(addr.sun_path, socket_path.size());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(fd, 8), 0);
  LibraryWaits waits;
  waits.connect = 2;
  StoreOutcome outcome;
  EXPECT_FALSE(OpenLibrary("postgresql:///kova?host=" + folder, outcome, LibraryUse::kRead, waits));
  close(fd);
  EXPECT_EQ(outcome.status, StoreStatus::kFailed);
  EXPECT_NE(outcome.detail.find("no answer from the server " + folder), std::string::npos)
      << outcome.detail;
  EXPECT_NE(outcome.detail.find("within 2 s"), std::string::npos) << outcome.detail;
}

// Another session holds what a read or an import needs: it is waited for
// up to its bound, once, and the words say what was waited for.
TEST_P(StoreTest, AWaitForTheLibraryHasABound) {
  const std::string records = folder_ + "/records";
  WriteLibraryRecords(records, {1, 1, 0, ""});
  auto other = Connect(location_);
  ASSERT_TRUE(other);
  LibraryWaits waits;
  waits.lock = 1;
  waits.busy = 3;
  std::vector<std::string> said;
  if (GetParam() == Backend::kPostgres) {
    ASSERT_TRUE(other->Exec("BEGIN"));
    ASSERT_TRUE(other->Exec("LOCK TABLE cts IN ACCESS EXCLUSIVE MODE")) << other->LastErrorText();
    StoreOutcome outcome;
    auto reader = OpenLibrary(location_, outcome, LibraryUse::kRead, waits);
    ASSERT_TRUE(reader) << outcome.detail;
    LibraryStats st;
    outcome = reader->Stats(st);
    EXPECT_EQ(outcome.status, StoreStatus::kFailed);
    EXPECT_NE(outcome.detail.find("waited 1 s for a table that another session of the server"),
              std::string::npos)
        << outcome.detail;
  } else {
    ASSERT_TRUE(other->Exec("BEGIN IMMEDIATE"));
    StoreOutcome outcome;
    auto importer = OpenLibrary(location_, outcome, LibraryUse::kFile, waits,
                                [&said](const std::string& text) { said.push_back(text); });
    ASSERT_TRUE(importer) << outcome.detail;
    const ImportSummary s = ImportRecordFiles(*importer, {records}, {});
    EXPECT_EQ(s.store.status, StoreStatus::kFailed);
    EXPECT_NE(
        s.store.detail.find("gave up after waiting 3 s for the library file \"" + location_ + "\""),
        std::string::npos)
        << s.store.detail;
    ASSERT_EQ(said.size(), 1u);  // told once, and not tried again
    EXPECT_NE(said[0].find("Waiting for the library file \"" + location_ + "\""),
              std::string::npos);
  }
  ASSERT_TRUE(other->Exec("ROLLBACK"));
  EXPECT_EQ(ImportRecordFiles(*store_, {records}, {}).added, 1);
}

}  // namespace
}  // namespace kova
