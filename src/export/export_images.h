#pragma once
// The record's excitation plots as pictures: the summary of all tests and
// one per test, 1024 x 1024, 32-bit Windows bitmaps.

#include <string>
#include <vector>

#include "export/picture_canvas.h"
#include "records/test_record.h"

namespace kova {

constexpr int kPictureSize = 1024;

// Draws and saves "<base> - Test Summary.bmp" and "<base> - Test<n>.bmp" for
// n = 1 .. numtests, where <base> is `base_path` cut at its last '.'
// (".../Xml/T1.bmp" gives ".../Xml/T1 - Test1.bmp"); sets `imagefile` and
// every test's `testimagefile`. False when the bitmap cannot be made or a
// file cannot be saved (pictures saved before stay); `why`, when given, then
// names the picture and the reason.
bool ExportImages(TestRecord& rec, PictureCanvasFactory& canvases, const std::string& base_path,
                  std::string* why = nullptr);

// The names ExportImages gives: the summary first, then test 1 .. `tests`.
std::vector<std::string> ImageNames(const std::string& base_path, int tests);

// "<folder>/<stem>.bmp", or with an empty folder the "Xml" folder beside
// the record file (created when missing).
std::string ImageBasePath(const std::string& record_path, const std::string& folder);

}  // namespace kova
