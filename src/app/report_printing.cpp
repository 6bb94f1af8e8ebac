#include "app/report_printing.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "report/jewel_report_page.h"

namespace orva {

QImage JewelReportPageImage(const CJewelReport& report, const CReportPictures& pictures,
                            QSizeF paperPt, double dpi) {
    const double scale = dpi / 72.0;
    QImage image(std::max(1, qRound(paperPt.width() * scale)),
                 std::max(1, qRound(paperPt.height() * scale)), QImage::Format_RGB32);
    image.fill(Qt::white);
    // Format_RGB32 and cairo's RGB24 are the same pixels: 0xffRRGGBB in the machine's order.
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_RGB24, image.width(),
                                            image.height(), static_cast<int>(image.bytesPerLine()));
    cairo_t* cairo = cairo_create(surface);
    cairo_scale(cairo, scale, scale);
    DrawJewelReportPage(cairo, paperPt.width(), paperPt.height(), report, pictures, ReportDate());
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    return image;
}

bool PrintJewelReport(QPrinter& printer, const CJewelReport& report,
                      const CReportPictures& pictures) {
    // The page keeps margins of its own: the painter gets the whole sheet.
    printer.setFullPage(true);
    const QSizeF paperPt = printer.pageLayout().fullRect(QPageLayout::Point).size();
    const QImage page =
        JewelReportPageImage(report, pictures, paperPt, std::min(printer.resolution(), 300));
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), printer.paperRect(QPrinter::DevicePixel).size()), page);
    return painter.end();
}

}  // namespace orva
