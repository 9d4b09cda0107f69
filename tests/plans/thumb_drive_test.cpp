#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "plans/plan_fixtures.h"
#include "plans/test_plan.h"
#include "plans/thumb_drive.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {
namespace fs = std::filesystem;

std::string SavePlan(const std::string& folder, const std::string& name, int type, int taps) {
  kvTestPlan plan = MakeSamplePlan(type, taps);
  const std::string path = folder + "/" + name;
  EXPECT_TRUE(plan.Save(path));
  return path;
}

// A file below the drive root, written with "/" and given with the
// program's separator.
std::string OnDrive(const std::string& drive, std::string below) {
  std::replace(below.begin(), below.end(), '/', kPathSeparator);
  return drive + kPathSeparator + below;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ThumbDrive, TypeFromPathFindsTheModelFolder) {
  EXPECT_EQ(kvTestPlan::TypeFromPath("E:\\HELMARK\\KOVA-7KB\\PLAN_000"), 2);
  EXPECT_EQ(kvTestPlan::TypeFromPath("e:\\helmark\\kova-7kc\\plan_004"), 2);
  EXPECT_EQ(kvTestPlan::TypeFromPath("/media/usb/HELMARK/KOVA-R5A/PLAN_001"), 1);
  EXPECT_EQ(kvTestPlan::TypeFromPath("/media/usb/Helmark/Kova-7ka/x"), 4);
  EXPECT_EQ(kvTestPlan::TypeFromPath("E:/HELMARK\\KOVA-7KA/PLAN_001"), 4);
  // The first folder of the list wins, wherever it stands in the path.
  EXPECT_EQ(kvTestPlan::TypeFromPath("/HELMARK/KOVA-7KA/HELMARK/KOVA-R5A/p"), 1);
  EXPECT_EQ(kvTestPlan::TypeFromPath("/x/HELMARK/KOVA-7KA/HELMARK/KOVA-7KB/p"), 2);
  EXPECT_EQ(kvTestPlan::TypeFromPath("/media/usb/KOVA-7KB/PLAN_000"), -1);
  EXPECT_EQ(kvTestPlan::TypeFromPath("HELMARK/KOVA-7KB/PLAN_000"), -1);  // no separator before
  EXPECT_EQ(kvTestPlan::TypeFromPath(""), -1);
}

TEST(ThumbDrive, FolderForEveryType) {
  const std::string s(1, kPathSeparator);
  EXPECT_EQ(kvTestPlan::FolderForType(0), s + "HELMARK" + s + "KOVA-7KA" + s);
  EXPECT_EQ(kvTestPlan::FolderForType(1), s + "HELMARK" + s + "KOVA-R5A" + s);
  EXPECT_EQ(kvTestPlan::FolderForType(2), s + "HELMARK" + s + "KOVA-7KB" + s);
  EXPECT_EQ(kvTestPlan::FolderForType(3), s + "HELMARK" + s + "KOVA-7KC" + s);
  EXPECT_EQ(kvTestPlan::FolderForType(4), s + "HELMARK" + s + "KOVA-7KA" + s);
  EXPECT_EQ(kvTestPlan::FolderForType(99), kvTestPlan::FolderForType(4));
}

TEST(ThumbDrive, LeadingNumber) {
  EXPECT_EQ(LeadingNumber("010"), 10);
  EXPECT_EQ(LeadingNumber("7.plan"), 7);
  EXPECT_EQ(LeadingNumber("ABC"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("99999999999999999999999"), 1000000000);
}

TEST(ThumbDrive, NextDriveNumberCountsOnFromTheHighest) {
  const std::string drive = TempFolder("thumb_next");
  EXPECT_EQ(kvTestPlan::NextDriveNumber(drive, 1), 0);  // no folder yet
  const std::string folder = drive + "/HELMARK/KOVA-R5A";
  ASSERT_TRUE(MakeFolders(folder));
  EXPECT_EQ(kvTestPlan::NextDriveNumber(drive, 1), 0);
  PutFile(folder + "/PLAN_ABC", {1});
  EXPECT_EQ(kvTestPlan::NextDriveNumber(drive, 1), 1);  // a name without digits counts as 0
  PutFile(folder + "/PLAN_003", {1});
  PutFile(folder + "/PLAN_010", {1});
  PutFile(folder + "/OTHER_050", {1});
  EXPECT_EQ(kvTestPlan::NextDriveNumber(drive, 1), 11);
  PutFile(folder + "/plan_020", {1});  // names match without regard to case
  EXPECT_EQ(kvTestPlan::NextDriveNumber(drive, 1), 21);
  EXPECT_EQ(kvTestPlan::NextDriveNumber(drive + "/", 1), 21);
  EXPECT_EQ(kvTestPlan::NextDriveNumber(drive, 2), 0);
}

TEST(ThumbDrive, ExportOfATypeTwoPlanWritesBothFolders) {
  const std::string plans = TempFolder("thumb_t2_plans");
  const std::string drive = TempFolder("thumb_t2_drive");
  const std::string file = SavePlan(plans, "a.plan", 2, 3);
  const ThumbExportResult r = ExportPlansToDrive({file}, drive);
  ASSERT_EQ(r.written.size(), 2u);
  EXPECT_TRUE(r.skipped.empty());
  EXPECT_TRUE(r.failed.empty());
  EXPECT_TRUE(ThumbExportNotice(r).empty()) << "nothing to say";
  EXPECT_EQ(r.written[0], OnDrive(drive, "HELMARK/KOVA-7KB/PLAN_000"));
  EXPECT_EQ(r.written[1], OnDrive(drive, "HELMARK/KOVA-7KC/PLAN_000"));
  kvTestPlan original;
  ASSERT_TRUE(original.Load(file));
  for (const std::string& f : r.written) {
    const std::vector<uint8_t> bytes = FileContents(f);
    ASSERT_EQ(bytes.size(), 1024u) << f;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), original.image)) << f;
  }
}

TEST(ThumbDrive, ExportNumbersOnAndSkipsPlansThatDoNotLoad) {
  const std::string plans = TempFolder("thumb_r5_plans");
  const std::string drive = TempFolder("thumb_r5_drive");
  const std::string folder = drive + "/HELMARK/KOVA-R5A";
  ASSERT_TRUE(MakeFolders(folder));
  PutFile(folder + "/PLAN_003", std::vector<uint8_t>(512));
  PutFile(folder + "/PLAN_010", std::vector<uint8_t>(512));
  PutFile(plans + "/broken.plan", {1, 2, 3});
  const ThumbExportResult r = ExportPlansToDrive(
      {SavePlan(plans, "a.plan", 1, 1), plans + "/broken.plan", SavePlan(plans, "b.plan", 1, 2),
       plans + "/missing.plan", SavePlan(plans, "c.plan", 1, 3)},
      drive);
  EXPECT_EQ(r.skipped, (std::vector<std::string>{plans + "/broken.plan", plans + "/missing.plan"}));
  EXPECT_EQ(
      ThumbExportNotice(r),
      (std::vector<std::string>{"Skipped " + plans + "/broken.plan: unable to load test plan",
                                "Skipped " + plans + "/missing.plan: unable to load test plan"}));
  EXPECT_EQ(Names(folder),
            (std::vector<std::string>{"PLAN_003", "PLAN_010", "PLAN_011", "PLAN_012", "PLAN_013"}));
  for (int n = 11; n <= 13; ++n) {
    kvTestPlan p;
    ASSERT_TRUE(p.Load(folder + "/PLAN_0" + std::to_string(n)));
    EXPECT_EQ(p.numtests, n - 10);  // in the order of the selection
    EXPECT_EQ(FileContents(folder + "/PLAN_0" + std::to_string(n)).size(), 512u);
  }
}

// Types 0 and 4 share the KOVA-7KA folder: one export holding both must not
// write two files of the same name.
TEST(ThumbDrive, TypesSharingAFolderNeverReplaceEachOther) {
  const std::string plans = TempFolder("thumb_shared_plans");
  const std::string drive = TempFolder("thumb_shared_drive");
  const std::string folder = drive + "/HELMARK/KOVA-7KA";
  ASSERT_TRUE(MakeFolders(folder));
  PutFile(folder + "/PLAN_001", std::vector<uint8_t>(512));
  const ThumbExportResult r =
      ExportPlansToDrive({SavePlan(plans, "a.plan", 0, 1), SavePlan(plans, "b.plan", 4, 2),
                          SavePlan(plans, "c.plan", 0, 3), SavePlan(plans, "d.plan", 3, 4),
                          SavePlan(plans, "e.plan", 2, 5)},
                         drive);
  EXPECT_EQ(Names(folder),
            (std::vector<std::string>{"PLAN_001", "PLAN_002", "PLAN_003", "PLAN_004"}));
  for (int n = 2; n <= 4; ++n) {
    kvTestPlan p;
    ASSERT_TRUE(p.Load(folder + "/PLAN_00" + std::to_string(n)));
    EXPECT_EQ(p.numtests, n - 1);
  }
  // The type-3 plan and the second copy of the type-2 plan share KOVA-7KC.
  const std::string kc = drive + "/HELMARK/KOVA-7KC";
  EXPECT_EQ(Names(kc), (std::vector<std::string>{"PLAN_000", "PLAN_001"}));
  EXPECT_EQ(FileContents(kc + "/PLAN_000").size(), 512u);
  EXPECT_EQ(FileContents(kc + "/PLAN_001").size(), 1024u);
  EXPECT_EQ(r.written.size(), 6u);
  EXPECT_EQ(ThumbExportNotice(r), (std::vector<std::string>{"KOVA-7100 plans share the KOVA-7KA "
                                                            "folder with KOVA-7KA plans"}));
}

TEST(ThumbDrive, UnwritableDriveUsesNoNumber) {
  const std::string plans = TempFolder("thumb_ro_plans");
  const std::string drive = TempFolder("thumb_ro_drive");
  // A file where the model folder should be: nothing can be written there.
  ASSERT_TRUE(MakeFolders(drive + "/HELMARK"));
  PutFile(drive + "/HELMARK/KOVA-R5A", {0});
  const ThumbExportResult r =
      ExportPlansToDrive({SavePlan(plans, "a.plan", 1, 1), SavePlan(plans, "b.plan", 0, 1)}, drive);
  ASSERT_EQ(r.failed.size(), 1u);
  EXPECT_EQ(r.failed[0], OnDrive(drive, "HELMARK/KOVA-R5A/PLAN_000"));
  EXPECT_EQ(r.written, (std::vector<std::string>{OnDrive(drive, "HELMARK/KOVA-7KA/PLAN_000")}));
  const std::vector<std::string> notice = ThumbExportNotice(r);
  ASSERT_EQ(notice.size(), 2u);
  EXPECT_EQ(notice[0], "Unable to write " + r.failed[0]);
  EXPECT_EQ(notice[1], "KOVA-7100 plans share the KOVA-7KA folder with KOVA-7KA plans");
}

TEST(ThumbDrive, ExportToDriveWritesTheImageAsLoaded) {
  const std::string drive = TempFolder("thumb_asloaded");
  kvTestPlan plan = MakeSamplePlan(4, 2);
  plan.company = "CHANGED";  // not encoded: the image goes out unchanged
  ASSERT_TRUE(plan.ExportToDrive(drive, 4, 7));
  const std::vector<uint8_t> bytes = FileContents(OnDrive(drive, "HELMARK/KOVA-7KA/PLAN_007"));
  ASSERT_EQ(bytes.size(), 512u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), plan.image));
  EXPECT_FALSE(plan.ExportToDrive(drive, 4, -1));
}

TEST(ThumbImport, LowerCaseTypeTwoFolderGivesKova7100BFiles) {
  const std::string drive = TempFolder("import_kc_drive");
  const std::string plans = TempFolder("import_kc_plans");
  const std::string folder = drive + "/helmark/kova-7kc";
  ASSERT_TRUE(MakeFolders(folder));
  const kvTestPlan source = MakeSamplePlan(2, 2);
  PutFile(folder + "/plan_004", std::vector<uint8_t>(source.image, source.image + 1024));
  const ThumbImportResult r = ImportPlansFromDrive({folder + "/plan_004"}, plans);
  ASSERT_EQ(r.status, ThumbImportResult::Status::kDone);
  EXPECT_EQ(r.type, 2);
  ASSERT_EQ(r.written, (std::vector<std::string>{PathJoin(plans, "PLAN_KOVA-7100B_000.plan")}));
  kvTestPlan p;
  ASSERT_TRUE(p.Load(r.written[0]));
  EXPECT_EQ(p.devicetype, 2);
  EXPECT_EQ(p.numtests, 2);
  EXPECT_EQ(FileContents(r.written[0]).size(), 1427u);
}

TEST(ThumbImport, KovaSevenKaFolderGivesTypeFourPlans) {
  const std::string drive = TempFolder("import_ka_drive");
  const std::string plans = TempFolder("import_ka_plans");
  const kvTestPlan source = MakeSamplePlan(4, 3);
  ASSERT_TRUE(source.ExportToDrive(drive, 4, 0));
  ASSERT_TRUE(source.ExportToDrive(drive, 4, 1));
  const std::string folder = drive + "/HELMARK/KOVA-7KA";
  const ThumbImportResult r =
      ImportPlansFromDrive({folder + "/PLAN_000", folder + "/PLAN_001"}, plans);
  EXPECT_EQ(r.type, 4);
  EXPECT_EQ(r.written, (std::vector<std::string>{PathJoin(plans, "PLAN_KOVA-7100A_000.plan"),
                                                 PathJoin(plans, "PLAN_KOVA-7100A_001.plan")}));
  kvTestPlan p;
  ASSERT_TRUE(p.Load(r.written[1]));
  EXPECT_EQ(p.devicetype, 4);
  EXPECT_EQ(p.taps[2].szTestNote, "NOTE 2");
}

TEST(ThumbImport, NumbersFollowTheHighestExistingPlanFile) {
  const std::string drive = TempFolder("import_r5_drive");
  const std::string plans = TempFolder("import_r5_plans");
  const kvTestPlan source = MakeSamplePlan(1, 1);
  ASSERT_TRUE(source.ExportToDrive(drive, 1, 0));
  ASSERT_TRUE(source.ExportToDrive(drive, 1, 1));
  PutFile(plans + "/PLAN_KOVA-R5A_002.plan", {0});
  PutFile(plans + "/PLAN_KOVA-R5A_007.plan", {0});
  PutFile(plans + "/PLAN_KOVA-R5A_900.txt", {0});     // not a plan file name
  PutFile(plans + "/PLAN_KOVA-7100A_050.plan", {0});  // another model
  const std::string folder = drive + "/HELMARK/KOVA-R5A";
  const ThumbImportResult r =
      ImportPlansFromDrive({folder + "/PLAN_000", folder + "/PLAN_001"}, plans);
  EXPECT_EQ(r.written, (std::vector<std::string>{PathJoin(plans, "PLAN_KOVA-R5A_008.plan"),
                                                 PathJoin(plans, "PLAN_KOVA-R5A_009.plan")}));
}

TEST(ThumbImport, FirstFileDecidesTheTypeOfAll) {
  const std::string drive = TempFolder("import_first_drive");
  const std::string plans = TempFolder("import_first_plans");
  const std::string elsewhere = TempFolder("import_first_else");
  ASSERT_TRUE(MakeSamplePlan(1, 1).ExportToDrive(drive, 1, 0));
  const std::string plan_file = SavePlan(elsewhere, "x.plan", 4, 2);

  // A plan file outside the model folders stops the import when it comes first...
  ThumbImportResult r = ImportPlansFromDrive({plan_file}, plans);
  EXPECT_EQ(r.status, ThumbImportResult::Status::kUnrecognizedFolder);
  EXPECT_TRUE(Names(plans).empty());

  // ...and takes the first file's type when it does not.
  r = ImportPlansFromDrive(
      {OnDrive(drive, "HELMARK/KOVA-R5A/PLAN_000"), plan_file, elsewhere + "/missing"}, plans);
  ASSERT_EQ(r.status, ThumbImportResult::Status::kDone);
  EXPECT_EQ(r.skipped, (std::vector<std::string>{elsewhere + "/missing"}));
  ASSERT_EQ(r.written.size(), 2u);
  kvTestPlan p;
  ASSERT_TRUE(p.Load(r.written[1]));
  EXPECT_EQ(p.devicetype, 1);
  EXPECT_EQ(p.numtests, 2);

  EXPECT_EQ(ImportPlansFromDrive({}, plans).status, ThumbImportResult::Status::kNoFiles);
}

TEST(ThumbImport, NeverReplacesAnExistingPlanFile) {
  const std::string drive = TempFolder("import_keep_drive");
  const std::string plans = TempFolder("import_keep_plans");
  ASSERT_TRUE(MakeSamplePlan(1, 1).ExportToDrive(drive, 1, 0));
  PutFile(plans + "/PLAN_KOVA-R5A_abc.plan", {9});  // counts as 0
  ThumbImportResult r = ImportPlansFromDrive({OnDrive(drive, "HELMARK/KOVA-R5A/PLAN_000")}, plans);
  EXPECT_EQ(r.written, (std::vector<std::string>{PathJoin(plans, "PLAN_KOVA-R5A_001.plan")}));
  EXPECT_EQ(FileContents(plans + "/PLAN_KOVA-R5A_abc.plan"), std::vector<uint8_t>{9});

  // Numbers stop growing at a billion, so these two read alike.
  PutFile(plans + "/PLAN_KOVA-R5A_1000000005.plan", {5});
  PutFile(plans + "/PLAN_KOVA-R5A_1000000001.plan", {1});
  r = ImportPlansFromDrive({OnDrive(drive, "HELMARK/KOVA-R5A/PLAN_000")}, plans);
  EXPECT_EQ(r.written,
            (std::vector<std::string>{PathJoin(plans, "PLAN_KOVA-R5A_1000000002.plan")}));
  EXPECT_EQ(FileContents(plans + "/PLAN_KOVA-R5A_1000000001.plan"), std::vector<uint8_t>{1});
}

TEST(ThumbDrive, ExportNeverReplacesAFileOnTheDrive) {
  const std::string plans = TempFolder("thumb_keep_plans");
  const std::string drive = TempFolder("thumb_keep_drive");
  const std::string folder = drive + "/HELMARK/KOVA-R5A";
  ASSERT_TRUE(MakeFolders(folder));
  PutFile(folder + "/PLAN_1000000007", {7});
  PutFile(folder + "/PLAN_1000000001", {1});
  const ThumbExportResult r = ExportPlansToDrive({SavePlan(plans, "a.plan", 1, 1)}, drive);
  EXPECT_EQ(r.written,
            (std::vector<std::string>{OnDrive(drive, "HELMARK/KOVA-R5A/PLAN_1000000002")}));
  EXPECT_EQ(FileContents(folder + "/PLAN_1000000001"), std::vector<uint8_t>{1});
}

TEST(ThumbDriveRoot, MountTableAndLongestPrefix) {
  const std::vector<std::string> mounts = ParseMountPoints(
      "/dev/sda1 / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "/dev/sdb1 /media/usb vfat rw 0 0\n"
      "/dev/sdc1 /media/usb\\040stick vfat rw 0 0\n"
      "broken-line\n");
  ASSERT_EQ(mounts, (std::vector<std::string>{"/", "/proc", "/media/usb", "/media/usb stick"}));
  EXPECT_EQ(LongestMountPrefix("/media/usb/HELMARK/KOVA-7KB", mounts), "/media/usb");
  EXPECT_EQ(LongestMountPrefix("/media/usb", mounts), "/media/usb");
  EXPECT_EQ(LongestMountPrefix("/media/usb stick/x", mounts), "/media/usb stick");
  EXPECT_EQ(LongestMountPrefix("/media/usb2/x", mounts), "/");  // not a folder of /media/usb
  EXPECT_EQ(LongestMountPrefix("relative/x", mounts), "");
}

TEST(ThumbDriveRoot, AFolderOnTheSystemDiskIsItsOwnRoot) {
  const std::vector<std::string> mounts = {"/", "/media/usb"};
  const struct {
    const char* path;
    const char* root;
  } kCases[] = {
      {"/media/usb/HELMARK", "/media/usb"},
      {"/home/eng/plans", "/home/eng/plans"},
      {"/home/eng/plans/", "/home/eng/plans"},
      {"/", "/"},
      {"relative", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(ThumbRootAmongMounts(c.path, mounts), c.root) << c.path;
}

TEST(ThumbDriveRoot, WindowsDriveLetterOrNetworkShare) {
  const struct {
    const char* path;
    const char* root;  // nullptr: no root
  } kCases[] = {
      {"E:\\", "E:"},
      {"e:\\Plans\\Old", "e:"},
      {"E:", "E:"},
      {"\\\\server\\share\\HELMARK", "\\\\server\\share"},
      {"\\\\server\\share", "\\\\server\\share"},
      {"//server/share/x", "//server/share"},
      {"\\\\server", nullptr},
      {"\\\\server\\", nullptr},
      {"\\\\\\share", nullptr},
      {"Plans\\E:", nullptr},
      {"1:\\x", nullptr},
      {"", nullptr},
  };
  for (const auto& c : kCases) {
    std::string root = "unchanged";
    EXPECT_EQ(WindowsDriveRoot(c.path, root), c.root != nullptr) << c.path;
    EXPECT_EQ(root, c.root != nullptr ? c.root : "unchanged") << c.path;
  }
}

TEST(ThumbDriveRoot, TheRootOfARealFolder) {
  std::string root;
  ASSERT_TRUE(ThumbDriveRoot(TempFolder("root_probe"), root));
#ifdef _WIN32
  ASSERT_EQ(root.size(), 2u);
  EXPECT_EQ(root[1], ':');
#else
  EXPECT_FALSE(root.empty());
  EXPECT_EQ(root.front(), '/');
#endif
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// Export then import gives the same plan back for every type, including a
// KOVA-7100 plan, whose 32-byte tap blocks share the KOVA-7KA folder with
// the 36-byte blocks of KOVA-7KA plans.
TEST(ThumbRoundTrip, EveryTypeComesBackWithItsTaps) {
  for (int type : {0, 1, 2, 4}) {
    SCOPED_TRACE(type);
    const std::string root = TempFolder("roundtrip" + std::to_string(type));
    const std::string drive = root + "/drive";
    const std::string back = root + "/back";
    MakeFolders(back);
    const std::string file = SavePlan(root, "p.plan", type, 3);
    const ThumbExportResult out = ExportPlansToDrive({file}, drive);
    ASSERT_FALSE(out.written.empty());
    EXPECT_EQ(out.shared_folder, type == 0);
    const ThumbImportResult in = ImportPlansFromDrive({out.written[0]}, back);
    ASSERT_EQ(in.written.size(), 1u);
    kvTestPlan source, imported;
    ASSERT_TRUE(source.Load(file));
    ASSERT_TRUE(imported.Load(in.written[0]));
    EXPECT_EQ(imported.devicetype, type);
    ASSERT_EQ(imported.numtests, 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(imported.taps[i].tapid, source.taps[i].tapid) << i;
      EXPECT_EQ(imported.taps[i].nNamePlateNum, source.taps[i].nNamePlateNum) << i;
      EXPECT_EQ(imported.taps[i].uTestType, source.taps[i].uTestType) << i;
      EXPECT_EQ(imported.taps[i].szTestNote, source.taps[i].szTestNote) << i;
    }
  }
}

TEST(ThumbImport, AnImageThatFitsNeitherLayoutOfTheSharedFolderIsRefused) {
  const std::string drive = TempFolder("import_garbled");
  const std::string folder = drive + "/HELMARK/KOVA-7KA";
  MakeFolders(folder);
  std::vector<uint8_t> image(512, 0x07);  // control characters in every note
  image[0] = 3;
  ASSERT_TRUE(WriteFileAtomically(folder + "/PLAN_000", image));
  kvTestPlan plan;
  EXPECT_FALSE(plan.Load(folder + "/PLAN_000"));
}

}  // namespace
}  // namespace kova
