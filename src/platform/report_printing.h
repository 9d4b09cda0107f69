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
// into it, proportions kept, then the page below it.
void DrawPrintedPage(QPainter& painter, const ReportDocument& doc, int index, int width, int height,
                     const QImage& logo);

// Every page of the list, one device page each, in order, with the
// continuation pages that text too long for its page needs at the device's
// size. False when the device cannot be painted on or the document is empty.
bool PrintReport(const ReportDocument& doc, QPagedPaintDevice& device, const QImage& logo);

// A PDF of the printed pages on A4, landscape unless `portrait`, at 600
// dots per inch. Text stays text. Written whole in one atomic step or not
// at all; `why` says why not.
bool PrintReportToPdf(const ReportDocument& doc, const std::string& path, bool portrait,
                      const QImage& logo, std::string& why);
bool PrintReportToPdf(const ReportDocument& doc, const QString& path, bool portrait,
                      const QImage& logo);

// Lays the page list out for screen pages of the given size (as the window
// and RenderScreenPage draw them): text that does not fit goes on over
// continuation pages.
void FitScreenPages(ReportDocument& doc, int width, int height);

// One page as on screen, drawn into an image of the given size.
QImage RenderScreenPage(const ReportDocument& doc, int index, int width, int height);

}  // namespace kova
