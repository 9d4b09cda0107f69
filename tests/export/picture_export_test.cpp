#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "export/bmp_writer.h"
#include "export/export_images.h"
#include "report/recording_surface.h"
#include "report/report_colors.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(BmpWriter, ThirtyTwoBitBottomUpRowsWithAZeroFourthByte) {
  // 2 x 2 pixels in rows of 3 (the third is padding and never written).
  const uint32_t pixels[] = {0xFF112233, 0xFF445566, 0xDEADBEEF,
                             0xFFAABBCC, 0x00DDEEFF, 0xDEADBEEF};
  const std::vector<uint8_t> bmp = EncodeBmp32({2, 2, pixels, 3});
  const std::vector<uint8_t> want = {
      'B',
      'M',
      70,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      54,
      0,
      0,
      0,  // file header
      40,
      0,
      0,
      0,
      2,
      0,
      0,
      0,
      2,
      0,
      0,
      0,
      1,
      0,
      32,
      0,
      0,
      0,
      0,
      0,
      16,
      0,
      0,
      0,
      0x13,
      0x0B,
      0,
      0,
      0x13,
      0x0B,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0xCC,
      0xBB,
      0xAA,
      0,
      0xFF,
      0xEE,
      0xDD,
      0,  // bottom row
          // first
      0x33,
      0x22,
      0x11,
      0,
      0x66,
      0x55,
      0x44,
      0,
  };
  EXPECT_EQ(bmp, want);
  EXPECT_TRUE(EncodeBmp32({0, 2, pixels, 3}).empty());
  EXPECT_TRUE(EncodeBmp32({2, 2, pixels, 1}).empty());
}

// Records every picture's drawing and gives grey pixels.
class RecordingCanvas : public PictureCanvas {
 public:
  explicit RecordingCanvas(std::vector<RecordingSurface>* pictures, int w, int h)
      : pictures_(pictures), pixels_(static_cast<size_t>(w) * h, 0xFF808080), w_(w), h_(h) {}
  Surface* Begin() override {
    pictures_->emplace_back();
    return &pictures_->back();
  }
  bool Finish(PixelImage& out) override {
    out = {w_, h_, pixels_.data(), static_cast<size_t>(w_)};
    return true;
  }

 private:
  std::vector<RecordingSurface>* pictures_;
  std::vector<uint32_t> pixels_;
  int w_, h_;
};

class RecordingCanvases : public PictureCanvasFactory {
 public:
  std::unique_ptr<PictureCanvas> Create(int w, int h) override {
    if (fail) return nullptr;
    pictures.reserve(32);
    return std::make_unique<RecordingCanvas>(&pictures, w, h);
  }
  bool fail = false;
  std::vector<RecordingSurface> pictures;
};

bool UsesColor(const RecordingSurface& s, Color c) {
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kLine && op.pen == c && op.pen_width == 2) return true;
  }
  return false;
}

TEST(ExportImages, SummaryAndOnePicturePerTestInStorageOrder) {
  auto rec = MakeSampleRecord(1, 3);
  rec->taporder = "X1-X3,X1-X4,X1-X5";  // the summary lists test 2 first
  const std::string dir = TempFolder("pictures");
  RecordingCanvases canvases;
  ASSERT_TRUE(ExportImages(*rec, canvases, PathJoin(dir, "T1.bmp")));
  ASSERT_EQ(canvases.pictures.size(), 4u);
  EXPECT_EQ(rec->imagefile, PathJoin(dir, "T1 - Test Summary.bmp"));
  for (int t = 0; t < 3; ++t) {
    const std::string name = PathJoin(dir, "T1 - Test" + std::to_string(t + 1) + ".bmp");
    EXPECT_EQ(rec->taps[t].testimagefile, name);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(name, bytes));
    EXPECT_EQ(bytes.size(), 54u + 4u * 1024 * 1024);
  }
  // Summary: every test in its own colour on one grid; then one black curve each.
  for (int t = 0; t < 3; ++t) EXPECT_TRUE(UsesColor(canvases.pictures[0], kReportColors[t]));
  EXPECT_EQ(canvases.pictures[0].TextsContaining("CT Excitation Plot").size(), 1u);
  EXPECT_TRUE(UsesColor(canvases.pictures[1], kReportColors[0]));
  EXPECT_FALSE(UsesColor(canvases.pictures[1], kReportColors[1]));
}

TEST(ExportImages, FailsWithoutABitmapOrAWritableFolder) {
  auto rec = MakeSampleRecord(1, 2);
  RecordingCanvases canvases;
  canvases.fail = true;
  EXPECT_FALSE(ExportImages(*rec, canvases, TempFolder("nobitmap") + "/T.bmp"));
  canvases.fail = false;
  std::string why;
  EXPECT_FALSE(ExportImages(*rec, canvases, "/nonexistent-folder/deeper/T.bmp", &why));
  EXPECT_EQ(canvases.pictures.size(), 1u);  // stopped at the first file
  // The reason names the picture that could not be saved, and why.
  EXPECT_NE(why.find("\"/nonexistent-folder/deeper/T - Test Summary.bmp\": "), std::string::npos)
      << why;
  EXPECT_GT(why.size(),
            std::string("\"/nonexistent-folder/deeper/T - Test Summary.bmp\": ").size());
}

// The pictures after the first are written while the next is drawn: a
// picture that cannot be written is still the one named, whichever it is,
// and the export fails.
TEST(ExportImages, TheFailedPictureIsNamedWhicheverItIs) {
  const char* const blocked[] = {"T - Test Summary.bmp", "T - Test1.bmp", "T - Test3.bmp",
                                 "T - Test5.bmp"};
  int n = 0;
  for (const char* name : blocked) {
    SCOPED_TRACE(name);
    const std::string dir = TempFolder("blocked" + std::to_string(n++));
    MakeFolders(PathJoin(dir, name));  // a folder where the picture goes
    auto rec = MakeSampleRecord(1, 5);
    RecordingCanvases canvases;
    std::string why;
    EXPECT_FALSE(ExportImages(*rec, canvases, PathJoin(dir, "T.bmp"), &why));
    EXPECT_EQ(why.rfind("\"" + PathJoin(dir, name) + "\": ", 0), 0u) << why;
    // Every picture before it was written whole.
    for (const std::string& before : ImageNames(PathJoin(dir, "T.bmp"), 5)) {
      if (FileNameOf(before) == name) break;
      std::vector<uint8_t> bytes;
      EXPECT_TRUE(ReadFileBytes(before, bytes) && bytes.size() == 54u + 4u * 1024 * 1024)
          << before;
    }
  }
}

TEST(ExportImages, BasePathBesideTheRecordOrInTheGivenFolder) {
  const std::string dir = TempFolder("basepath");
  EXPECT_EQ(ImageBasePath(PathJoin(dir, "T1.test"), "/out"), PathJoin("/out", "T1.bmp"));
  EXPECT_EQ(ImageBasePath(PathJoin(dir, "T1.test"), ""), PathJoin(PathJoin(dir, "Xml"), "T1.bmp"));
  EXPECT_TRUE(FolderExists(PathJoin(dir, "Xml")));
  // A record named without a folder keeps its pictures relative to it.
  std::error_code ec;
  const auto cwd = std::filesystem::current_path(ec);
  std::filesystem::current_path(dir, ec);
  EXPECT_EQ(ImageBasePath("T2.test", ""), PathJoin("Xml", "T2.bmp"));
  std::filesystem::current_path(cwd, ec);
}

}  // namespace
}  // namespace kova
