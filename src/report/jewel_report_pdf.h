#pragma once

#include <string>

#include "measure/jewel_report.h"
#include "report/paper_size.h"
#include "report/report_pictures.h"

namespace orva {

// Writes the report's page (DrawJewelReportPage, dated today) as a one-page PDF on `paper`.
// The file appears whole or not at all: a file already under that name stays until the new
// one is complete. False with a message naming the file and the reason in `error`.
bool WriteJewelReportPdf(const CJewelReport& report, const CReportPictures& pictures,
                         const std::string& path, const CPaperSize& paper, std::string& error);
// The same on the paper of the user's locale.
bool WriteJewelReportPdf(const CJewelReport& report, const CReportPictures& pictures,
                         const std::string& path, std::string& error);

}  // namespace orva
