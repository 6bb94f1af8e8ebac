#pragma once

#include <cairo.h>

#include <string>

#include "measure/jewel_report.h"
#include "report/report_pictures.h"

namespace orva {

// Lays the report out on one page of widthPt x heightPt points, drawn into `cairo` in points
// from the page's top left corner (scale the context first to draw at another resolution):
// the scene's name and `date`, the INCOMPLETE banner when the report is, the two pictures,
// the metal and the stones with their totals, the ring's size when known, the overlap note and
// the warnings. The figures are rounded and printed as `orva measure` prints them, so the paper
// and the text say the same. What does not fit is drawn smaller rather than cut off.
void DrawJewelReportPage(cairo_t* cairo, double widthPt, double heightPt,
                         const CJewelReport& report, const CReportPictures& pictures,
                         const std::string& date);

// Today's date as the page gives it, "2025-03-14": the same in every language.
std::string ReportDate();

}  // namespace orva
