#pragma once

#include <QImage>
#include <QSizeF>

#include "measure/jewel_report.h"
#include "report/report_pictures.h"

class QPrinter;

namespace orva {

// The report's page as the PDF has it (the same cairo layout), drawn into an image of a sheet
// of `paperPt` points at `dpi` dots per inch.
QImage JewelReportPageImage(const CJewelReport& report, const CReportPictures& pictures,
                            QSizeF paperPt, double dpi);

// Prints the page on the printer's paper, at its resolution up to 300 dpi (more would only
// make the image larger). False when the printer could not be started.
bool PrintJewelReport(QPrinter& printer, const CJewelReport& report,
                      const CReportPictures& pictures);

}  // namespace orva
