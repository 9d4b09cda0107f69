#pragma once
// Printing a report: every page of a document's page list onto a paged
// device (a printer, the print preview's printer, a PDF writer), each page
// with the logo band on top and the footer. Print, Print Preview and the
// PDF all call this.

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>
#include <string>

#include "report/report_document.h"
#include "report/surface.h"

namespace kova {

// The "AppLogo" bitmap; a null image when it cannot be loaded or is not a
// regular file (the band then stays white).
QImage LoadReportLogo(const std::string& path);
QImage LoadReportLogo(const QString& path);

// Page `index` as printed into a page of `width` x `height` device units
// on an active painter: the band of 7 % of the height with the logo scaled
// into it, proportions kept, then the page, then below the page's frame a
// footer line with `printed_on` on the left and "Page n of m" on the right.
void DrawPrintedPage(QPainter& painter, const ReportDocument& doc, int index, int width, int height,
                     const QImage& logo, const std::string& printed_on = std::string());

// Every page of the list, one device page each, in order, with the
// continuation pages that text too long for its page needs at the device's
// size. False when the device cannot be painted on or the document is empty.
// `printed_on` ("Printed 12/10/26 16:30", see report/page_footer.h) goes in
// each page's footer.
bool PrintReport(const ReportDocument& doc, QPagedPaintDevice& device, const QImage& logo,
                 const std::string& printed_on = std::string());

// A PDF of the printed pages on A4, landscape unless `portrait`, at 600
// dots per inch. Text stays text. Written whole in one atomic step or not
// at all; `why` says why not.
bool PrintReportToPdf(const ReportDocument& doc, const std::string& path, bool portrait,
                      const QImage& logo, std::string& why,
                      const std::string& printed_on = std::string());
bool PrintReportToPdf(const ReportDocument& doc, const QString& path, bool portrait,
                      const QImage& logo, const std::string& printed_on = std::string());

// Lays the page list out for screen pages of the given size (as the window
// and RenderScreenPage draw them): text that does not fit goes on over
// continuation pages.
void FitScreenPages(ReportDocument& doc, int width, int height);

// One page as on screen, drawn into an image of the given size.
QImage RenderScreenPage(const ReportDocument& doc, int index, int width, int height);

}  // namespace kova
