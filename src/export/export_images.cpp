#include "export/export_images.h"

#include <future>
#include <vector>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "report/display_test.h"

namespace kova {

std::vector<std::string> ImageNames(const std::string& base_path, int tests) {
  const size_t dot = base_path.find_last_of('.');
  const size_t sep = base_path.find_last_of("/\\");
  const std::string base = dot != std::string::npos && (sep == std::string::npos || dot > sep)
                               ? base_path.substr(0, dot)
                               : base_path;
  std::vector<std::string> names = {base + " - Test Summary.bmp"};
  for (int b = 1; b <= tests; ++b) names.push_back(base + Format(" - Test%d.bmp", b));
  return names;
}

namespace {

// At most this many pictures are being written while the next is drawn.
constexpr size_t kWritesInFlight = 4;

// Writes one encoded picture; the reason it failed, or empty.
std::string WritePicture(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string reason;
  if (bytes.empty()) return "the picture is empty";
  if (WriteFileAtomically(name, bytes, &reason)) return std::string();
  return reason.empty() ? std::string("the picture cannot be written") : reason;
}

std::string PictureFailure(const std::string& name, const std::string& reason) {
  return "\"" + SystemNameToCp1252(name) + "\": " + reason;
}

}  // namespace

bool ExportImages(TestRecord& rec, PictureCanvasFactory& canvases, const std::string& base_path,
                  std::string* why) {
  auto fail = [why](const std::string& text) {
    if (why) *why = text;
    return false;
  };
  std::unique_ptr<PictureCanvas> canvas = canvases.Create(kPictureSize, kPictureSize);
  if (!canvas) return fail("no picture could be made");
  CDisplayTest painter;
  const Rect whole{0, 0, kPictureSize, kPictureSize};
  const int tests = rec.UsableTests();
  const std::vector<std::string> names = ImageNames(base_path, tests);
  // Writing a 4 MB bitmap (flushed, then renamed into place) takes longer
  // than drawing the next one, so the pictures after the first are written
  // on threads of their own meanwhile. The first is written before the next
  // is drawn: a folder that takes no file stops the export at once.
  std::vector<std::future<std::string>> writes;  // of names[1] on
  size_t checked = 0;
  auto next_failure = [&]() -> std::string {
    const std::string reason = writes[checked].get();
    ++checked;
    return reason.empty() ? reason : PictureFailure(names[checked], reason);
  };
  for (int b = 0; b <= tests; ++b) {
    Surface* surface = canvas->Begin();
    if (!surface) return fail("no picture could be made");
    painter.Setup(surface, rec, false, nullptr);
    painter.OrderTests();
    const std::string& name = names[static_cast<size_t>(b)];
    if (b == 0) {
      for (int i = 0; i < painter.OrderedTestCount(); ++i) painter.DrawPlot(whole, i, true);
      rec.imagefile = name;
    } else {
      painter.DrawPlot(whole, b - 1, false);
      rec.taps[b - 1].testimagefile = name;
    }
    painter.DrawPictureBanner(whole);
    PixelImage pixels;
    if (!canvas->Finish(pixels)) return fail("no picture could be made");
    // Encoded now: the canvas's pixels are drawn over by the next picture.
    std::vector<uint8_t> bytes = EncodeBmp32(pixels);
    if (b == 0) {
      const std::string reason = WritePicture(name, bytes);
      if (!reason.empty()) return fail(PictureFailure(name, reason));
      continue;
    }
    if (writes.size() - checked >= kWritesInFlight) {
      const std::string failure = next_failure();
      if (!failure.empty()) return fail(failure);
    }
    writes.push_back(std::async(std::launch::async, [name, bytes = std::move(bytes)] {
      return WritePicture(name, bytes);
    }));
  }
  while (checked < writes.size()) {
    const std::string failure = next_failure();
    if (!failure.empty()) return fail(failure);
  }
  return true;
}

std::string ImageBasePath(const std::string& record_path, const std::string& folder) {
  std::string dir = folder;
  if (dir.empty()) {
    // A bare file name is in the current folder, and so is its "Xml".
    const std::string record_folder = FolderOf(record_path);
    dir = record_folder.empty() ? std::string("Xml") : PathJoin(record_folder, "Xml");
    MakeFolders(dir);
  }
  return PathJoin(dir, StemOf(record_path) + ".bmp");
}

}  // namespace kova
