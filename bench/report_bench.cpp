// Report speed: one page of each kind drawn onto a 1600 x 1200 image (goal
// 10 ms a page) and the pictures of a 10-test record, files included (goal
// 300 ms for the 11 files).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "analysis/compute_derived.h"
#include "base/file_io.h"
#include "export/export_images.h"
#include "platform/qpainter_surface.h"
#include "platform/qt_picture_canvas.h"
#include "report/assessment_page.h"
#include "report/display_test.h"
#include "sim/record_maker.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// A 7100B test with pass/fail on, metering, burden and error tables.
std::unique_ptr<TestRecord> MeteringRecord(uint32_t seed) {
  auto rec = MakeStoredTest(SimModel::k7100B, seed, 0);
  rec->passfail.pfenable = 1;
  rec->classsettings.ctusage = 2;
  ComputeDerived(*rec);
  rec->taps[0].uTestType |= kBurdenTest | kInsulationTest;
  return rec;
}

struct Fixture {
  ReportDocument single, overlay;
  Fixture() {
    single.SetRecords({*MeteringRecord(1)});
    overlay.SetRecords({*MeteringRecord(1), *MeteringRecord(2), *MeteringRecord(3)});
  }
};

const Fixture& Docs() {
  static const Fixture f;
  return f;
}

void BM_DrawPage(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const ReportDocument& doc =
      kind == kOverlayPage || kind == kOverlayDetailPage || kind == kThirdRecordPage
          ? Docs().overlay
          : Docs().single;
  int index = -1;
  for (int i = 0; i < doc.pagecount(); ++i) {
    if (doc.pages()[i].kind == kind) {
      index = i;
      break;
    }
  }
  if (index < 0) {
    state.SkipWithError("no page of this kind");
    return;
  }
  QImage image(1600, 1200, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    QPainterSurface surface(painter);
    CDisplayTest page;
    page.Setup(&surface, doc.Record(0), false, &doc);
    page.DrawPage({0, 0, 1600, 1200}, index);
  }
}
BENCHMARK(BM_DrawPage)->DenseRange(1, 10)->Unit(benchmark::kMillisecond);

// Laying the page list out for the window (every resize, every edit): a
// record whose note has N lines of 60 characters; 4 MB is the most a record
// file holds (the flow stops after 50 continuation pages).
void BM_FitPagesWithLongNote(benchmark::State& state) {
  auto rec = MeteringRecord(1);
  rec->testnote.clear();
  for (int64_t i = 0; i < state.range(0); ++i) {
    rec->testnote +=
        "The operator wrote this line about the CT under test, no. " + std::to_string(i) + "\r\n";
  }
  ReportDocument doc;
  doc.SetRecords({*rec});
  QImage image(1, 1, QImage::Format_RGB32);
  QPainter painter(&image);
  QPainterSurface surface(painter);
  for (auto _ : state) {
    doc.BuildPageList();
    doc.FitPages(surface, {0, 0, 1600, 1200}, false);
  }
  state.counters["pages"] = doc.pagecount();
}
BENCHMARK(BM_FitPagesWithLongNote)->Arg(10)->Arg(300)->Arg(60000)->Unit(benchmark::kMillisecond);

// The assessment page of a 20-tap record with a profile and a reference
// curve kept beside it (goal 5 ms), drawn from what the page list gathered;
// and gathering it, done once per page list.
struct TwentyTaps {
  ReportDocument doc;
  int index = -1;
  TwentyTaps() {
    auto rec = MakeSampleRecord(1, 20, 5);
    const std::string folder = TempFolder("assessment-bench");
    rec->fullpath = folder + "/T20.test";
    WriteFileAtomically(folder + "/T20.assess.json",
                        std::string(R"({"class":"5P","isr":5,"alf":20,"burden_va":15})"));
    WriteFileAtomically(folder + "/T20.reference.csv",
                        std::string("turns,240\nvoltmeter,rms\n20,0.01\n60,0.05\n100,0.2\n"
                                    "140,1.5\n"));
    doc.SetRecords({*rec});
    for (int i = 0; i < doc.pagecount(); ++i) {
      if (doc.pages()[i].kind == kAssessmentPage) index = i;
    }
  }
};

void BM_AssessmentPageOfTwentyTaps(benchmark::State& state) {
  static const TwentyTaps f;
  if (f.index < 0 || f.doc.assessment_page().taps.size() != 20) {
    state.SkipWithError("no assessment page of 20 taps");
    return;
  }
  QImage image(1600, 1200, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    QPainterSurface surface(painter);
    CDisplayTest page;
    page.Setup(&surface, f.doc.Record(0), false, &f.doc);
    page.DrawPage({0, 0, 1600, 1200}, f.index);
  }
}
BENCHMARK(BM_AssessmentPageOfTwentyTaps)->Unit(benchmark::kMillisecond);

void BM_GatherAssessmentPageOfTwentyTaps(benchmark::State& state) {
  static const TwentyTaps f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(AssessmentPageOf(f.doc.Record(0), f.doc.context(0)));
  }
}
BENCHMARK(BM_GatherAssessmentPageOfTwentyTaps)->Unit(benchmark::kMillisecond);

void BM_PicturesOfTenTests(benchmark::State& state) {
  auto rec = MakeSampleRecord(1, 10, 3);
  const std::string base = TempFolder("report-bench") + "/T1.bmp";
  QtPictureCanvasFactory canvases;
  for (auto _ : state) {
    if (!ExportImages(*rec, canvases, base)) state.SkipWithError("export failed");
  }
}
BENCHMARK(BM_PicturesOfTenTests)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kova

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
