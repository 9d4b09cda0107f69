// A record whose file ends early is marked wherever it is drawn: every
// report page on screen and in print, every picture, and the report
// generator's sections (its PDF heads every page with the banner). The
// text and the XML document keep their layouts.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "base/path.h"
#include "export/export_images.h"
#include "export/export_xml.h"
#include "export/text_export.h"
#include "export/xml_report_sections.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

class Canvas : public PictureCanvas {
 public:
  explicit Canvas(std::vector<RecordingSurface>* drawn) : drawn_(drawn), pixels_(64, 0) {}
  Surface* Begin() override {
    drawn_->emplace_back();
    return &drawn_->back();
  }
  bool Finish(PixelImage& out) override {
    out = {8, 8, pixels_.data(), 8};
    return true;
  }

 private:
  std::vector<RecordingSurface>* drawn_;
  std::vector<uint32_t> pixels_;
};

class Canvases : public PictureCanvasFactory {
 public:
  std::unique_ptr<PictureCanvas> Create(int, int) override {
    drawn.reserve(32);
    return std::make_unique<Canvas>(&drawn);
  }
  std::vector<RecordingSurface> drawn;
};

bool Carries(const RecordingSurface& s, const std::string& banner) {
  for (const DrawOp& op : s.ops()) {
    if (op.text == banner) return true;
  }
  return false;
}

// Each output as a list of what it drew or wrote, one entry per page,
// picture or document.
struct Output {
  const char* name;
  bool marked;  // carries the banner (else keeps its layout without it)
  std::function<std::vector<std::string>(TestRecord&, const std::string& banner)> made;
};

std::vector<std::string> Pages(TestRecord& rec, const std::string& banner, bool printing) {
  ReportDocument doc;
  doc.ShowCalculationDetails(true);
  EXPECT_TRUE(doc.SetRecords({rec}));
  std::vector<std::string> pages;
  for (int i = 0; i < doc.pagecount(); ++i) {
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, doc.Record(0), printing, &doc);
    painter.DrawPage({0, 0, 2400, 1220}, i);
    pages.push_back(Carries(s, banner) ? banner : "page " + std::to_string(i));
  }
  return pages;
}

TEST(DamagedRecord, EveryDrawnOutputCarriesTheBannerAndTheDocumentsKeepTheirLayout) {
  const std::string folder = TempFolder("damaged");
  auto whole = MakeSampleRecord(1, 3);
  const std::string path = PathJoin(folder, "cut.test");
  ASSERT_TRUE(whole->WriteRecordFile(path));
  std::string bytes;
  ASSERT_TRUE(ReadFileText(path, bytes));
  ASSERT_GT(bytes.size(), 5000u);
  ASSERT_TRUE(WriteFileAtomically(path, bytes.substr(0, 5000)));

  auto rec = std::make_unique<TestRecord>();
  ASSERT_TRUE(ReadRecordFile(*rec, path, RecordDefaults()));
  ASSERT_TRUE(rec->fileend.Early());
  const std::string banner = DamagedRecordBanner(rec->fileend);
  EXPECT_EQ(banner.rfind("DAMAGED RECORD: the file ends at byte 5000 of ", 0), 0u) << banner;
  EXPECT_NE(banner.find("; later values are reset"), std::string::npos) << banner;

  const Output outputs[] = {
      {"report pages on screen", true,
       [](TestRecord& r, const std::string& b) { return Pages(r, b, false); }},
      {"printed pages", true,
       [](TestRecord& r, const std::string& b) { return Pages(r, b, true); }},
      {"pictures", true,
       [&folder](TestRecord& r, const std::string& b) {
         Canvases canvases;
         EXPECT_TRUE(ExportImages(r, canvases, PathJoin(folder, "cut.bmp")));
         std::vector<std::string> out;
         for (const RecordingSurface& s : canvases.drawn) out.push_back(Carries(s, b) ? b : "");
         return out;
       }},
      {"the generator's sections", true,
       [](TestRecord& r, const std::string& b) {
         const std::string doc = BuildReportSectionsBeside(r, ComparisonBands());
         const bool has = doc.find("<damaged>" + b + "</damaged>") != std::string::npos;
         return std::vector<std::string>{has ? b : doc};
       }},
      {"the XML document", false,
       [](TestRecord& r, const std::string&) {
         return std::vector<std::string>{BuildXmlExport(r, XmlExportContext())};
       }},
      {"the text export", false,
       [](TestRecord& r, const std::string&) {
         return std::vector<std::string>{BuildTextExport(r)};
       }},
  };
  for (const Output& o : outputs) {
    SCOPED_TRACE(o.name);
    const std::vector<std::string> made = o.made(*rec, banner);
    ASSERT_FALSE(made.empty());
    for (const std::string& m : made) {
      if (o.marked) {
        EXPECT_EQ(m, banner);
      } else {
        EXPECT_EQ(m.find("DAMAGED"), std::string::npos);
      }
    }
  }
  // The record read whole is not marked.
  auto good = std::make_unique<TestRecord>();
  ASSERT_TRUE(WriteFileAtomically(path, bytes));
  ASSERT_TRUE(ReadRecordFile(*good, path, RecordDefaults()));
  EXPECT_FALSE(good->fileend.Early());
  for (const std::string& page : Pages(*good, banner, false)) EXPECT_NE(page, banner);
}

}  // namespace
}  // namespace kova
