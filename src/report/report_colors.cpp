#include "report/report_colors.h"

namespace kova {

const Color kReportColors[kReportColorCount] = {
    {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0},
    {128, 0, 128},   {128, 64, 0},    {192, 192, 192}, {128, 128, 128}, {0, 0, 255},
    {0, 255, 0},     {0, 255, 255},   {255, 0, 0},     {255, 0, 255},   {255, 255, 0},
    {255, 255, 255}, {200, 200, 200}, {0, 255, 0},     {0, 0, 255},     {255, 0, 0},
};

const Color kOverlayColors[kOverlayColorCount] = {
    {0, 0, 230},  // blue
    {200, 0, 0},  // red
    {0, 128, 0},  // green
};

Color ReportColor(int index) {
  if (index < 0 || index >= kReportColorCount) return kReportColors[0];
  return kReportColors[index];
}

int TestColorIndex(int test) { return test == 7 ? 8 : test; }

}  // namespace kova
