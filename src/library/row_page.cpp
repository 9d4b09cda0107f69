#include "library/row_page.h"

#include <algorithm>

#include "report/page_footer.h"

namespace kova {
namespace {
constexpr Color kBlack{0, 0, 0}, kRule{120, 120, 120};
}

RowPage::RowPage(Surface& s, const Rect& page, int rows) : s_(s), page_(page), rows_(rows) {
  unit_ = std::max(1, page.Height() / std::max(1, rows));
}

void RowPage::Font(double rows, int weight) {
  s_.SelectFont({"Arial", std::max(6, static_cast<int>(rows * unit_)), weight, false});
}

void RowPage::Text(int x, double row, const std::string& text, double size, int weight) {
  Font(size, weight);
  s_.SetTextColor(kBlack);
  s_.TextLine({x, Y(row) + static_cast<int>((1 - size) / 2 * unit_), page_.right, Y(row + 1)}, text,
              false);
}

void RowPage::Rule(double row) {
  s_.SetPen(kRule, PenStyle::kSolid, std::max(1, unit_ / 20));
  s_.Line(page_.left, Y(row), page_.right, Y(row));
}

void RowPage::Footer(const std::string& printed_on, int index, int pages) {
  Rule(rows_ - 1.3);
  Text(page_.left, rows_ - 1.1, printed_on, 0.5);
  const std::string number = PageNumberText(index + 1, pages);
  Font(0.5);
  Text(page_.right - s_.TextWidth(number), rows_ - 1.1, number, 0.5);
}

std::vector<int> RowPage::ColumnEdges(const std::vector<int>& weights) const {
  int total = 0;
  for (int w : weights) total += w;
  std::vector<int> x;
  int at = 0;
  for (int w : weights) {
    x.push_back(page_.left +
                static_cast<int>(static_cast<long long>(at) * page_.Width() / std::max(1, total)));
    at += w;
  }
  x.push_back(page_.right);
  return x;
}

void RowPage::Cell(const std::vector<int>& x, int column, double row, const std::string& text,
                   int weight) {
  const int pad = unit_ / 6;
  Font(0.55, weight);
  s_.TextLine({x[column] + pad, Y(row) + unit_ / 4, x[column + 1] - pad, Y(row + 1)}, text, false);
}

void RowPage::Grid(const std::vector<int>& x, double head, double end) {
  s_.SetPen(kRule, PenStyle::kSolid, 1);
  for (double r = head; r <= end + 0.01; r += 1) s_.Line(page_.left, Y(r), page_.right, Y(r));
  for (int edge : x) s_.Line(edge, Y(head), edge, Y(end));
}

}  // namespace kova
