#include "report/jewel_report_pdf.h"

#include <cairo-pdf.h>

#include <cerrno>
#include <cstring>

#include "platform/replacing_file.h"
#include "report/jewel_report_page.h"

namespace orva {

namespace {

struct CPdfStream {
    std::FILE* file;
    int error = 0;  // errno of the first write that failed
};

cairo_status_t WritePdfBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* stream = static_cast<CPdfStream*>(closure);
    if (std::fwrite(data, 1, length, stream->file) != length) {
        stream->error = errno != 0 ? errno : EIO;
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool WriteJewelReportPdf(const CJewelReport& report, const CReportPictures& pictures,
                         const std::string& path, const CPaperSize& paper, std::string& error) {
    CReplacingFile file;
    if (!file.Open(path)) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    CPdfStream stream{file.File()};
    cairo_surface_t* surface =
        cairo_pdf_surface_create_for_stream(&WritePdfBytes, &stream, paper.widthPt, paper.heightPt);
    const std::string title = report.source.sceneName.empty()
                                  ? std::string("Jeweller's report")
                                  : "Jeweller's report: " + report.source.sceneName;
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "Orvatrix Viewer");
    cairo_t* cairo = cairo_create(surface);
    DrawJewelReportPage(cairo, paper.widthPt, paper.heightPt, report, pictures, ReportDate());
    cairo_show_page(cairo);
    cairo_destroy(cairo);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (stream.error == 0 && std::fflush(file.File()) != 0) {
        stream.error = errno != 0 ? errno : EIO;
    }
    if (stream.error != 0 || status != CAIRO_STATUS_SUCCESS) {
        error = path + ": " +
                (stream.error != 0 ? std::strerror(stream.error) : cairo_status_to_string(status));
        file.Discard();
        return false;
    }
    if (!file.Commit()) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool WriteJewelReportPdf(const CJewelReport& report, const CReportPictures& pictures,
                         const std::string& path, std::string& error) {
    return WriteJewelReportPdf(report, pictures, path, LocalePaperSize(), error);
}

}  // namespace orva
