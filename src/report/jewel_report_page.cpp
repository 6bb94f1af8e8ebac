#include "report/jewel_report_page.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

#include "measure/jewel_figures.h"
#include "measure/jewel_report_text.h"

namespace orva {

namespace {

constexpr double kMargin = 50.0;     // about 18 mm: inside any printer's unprintable edge
constexpr double kGap = 14.0;        // between the pictures, and between sections
constexpr double kCellPad = 3.5;     // above and below a table's text
constexpr double kColumnGap = 12.0;  // between a table's columns
constexpr double kMinPictureHeight = 90.0;
constexpr char kFont[] = "Sans";

struct CColour {
    double r, g, b;
};
constexpr CColour kInk{0.12, 0.12, 0.12};
constexpr CColour kMuted{0.42, 0.42, 0.42};
constexpr CColour kRule{0.78, 0.78, 0.78};
constexpr CColour kFaintRule{0.9, 0.9, 0.9};
constexpr CColour kAlarm{0.7, 0.05, 0.05};
constexpr CColour kAlarmFill{1.0, 0.92, 0.9};
constexpr CColour kCaution{0.5, 0.33, 0.0};

void SetColour(cairo_t* cairo, const CColour& c) {
    cairo_set_source_rgb(cairo, c.r, c.g, c.b);
}

// Names come from the scene's bytes: pango takes only UTF-8, so anything else becomes U+FFFD.
std::string ValidText(const std::string& text) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

// A figure the report has already rounded, to `decimals` places as the text table prints it;
// "-" for none.
std::string Figure(const std::optional<double>& value, int decimals) {
    if (!value) {
        return "-";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, *value);
    return buffer;
}

struct CStyle {
    double sizePt = 9.5;
    bool bold = false;
    bool italic = false;
    CColour colour = kInk;
};

using CLayout = std::unique_ptr<PangoLayout, decltype(&g_object_unref)>;

CLayout NewLayout(cairo_t* cairo, const std::string& text, const CStyle& style,
                  double wrapWidth = -1) {
    CLayout layout(pango_cairo_create_layout(cairo), &g_object_unref);
    PangoFontDescription* font = pango_font_description_from_string(kFont);
    pango_font_description_set_absolute_size(font, style.sizePt * PANGO_SCALE);
    pango_font_description_set_weight(font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(font, style.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout.get(), font);
    pango_font_description_free(font);
    if (wrapWidth > 0) {
        pango_layout_set_width(layout.get(), static_cast<int>(wrapWidth * PANGO_SCALE));
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    }
    const std::string valid = ValidText(text);
    pango_layout_set_text(layout.get(), valid.c_str(), -1);
    return layout;
}

double LayoutWidth(PangoLayout* layout) {
    int width = 0, height = 0;
    pango_layout_get_size(layout, &width, &height);
    return static_cast<double>(width) / PANGO_SCALE;
}

double LayoutHeight(PangoLayout* layout) {
    int width = 0, height = 0;
    pango_layout_get_size(layout, &width, &height);
    return static_cast<double>(height) / PANGO_SCALE;
}

struct CTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    unsigned names = 0;     // bit k: column k holds names, set on the left; numbers on the right
    int stretch = 0;        // the column that takes the width left over, and wraps when narrow
    bool totalRow = false;  // the last row sums the others: set off and bold
};

// Lays the page out from top to bottom. The same pass measures (drawing nothing) and draws,
// so the height the page is planned with is the height it is drawn with.
class CPageFlow {
public:
    CPageFlow(cairo_t* cairo, double left, double width, bool draw)
        : m_cairo(cairo), m_left(left), m_width(width), m_draw(draw) {}

    double y = 0.0;

    void Space(double points) { y += points; }

    void Paragraph(const std::string& text, const CStyle& style, double spaceAfter = 0.0) {
        const CLayout layout = NewLayout(m_cairo, text, style, m_width);
        Show(layout.get(), m_left, y, style.colour);
        y += LayoutHeight(layout.get()) + spaceAfter;
    }

    void Rule(const CColour& colour, double thickness) {
        if (m_draw) {
            SetColour(m_cairo, colour);
            cairo_set_line_width(m_cairo, thickness);
            cairo_move_to(m_cairo, m_left, y + thickness / 2);
            cairo_line_to(m_cairo, m_left + m_width, y + thickness / 2);
            cairo_stroke(m_cairo);
        }
        y += thickness;
    }

    // A framed band that cannot be missed: the report holds only part of the piece.
    void Banner(const std::string& headline, const std::string& detail) {
        constexpr double kPad = 8.0;
        const double inner = m_width - 2 * kPad;
        const CLayout head = NewLayout(m_cairo, headline, {13.0, true, false, kAlarm}, inner);
        const CLayout more = NewLayout(m_cairo, detail, {9.0, false, false, kAlarm}, inner);
        const double height = 2 * kPad + LayoutHeight(head.get()) +
                              (detail.empty() ? 0.0 : 3.0 + LayoutHeight(more.get()));
        if (m_draw) {
            cairo_rectangle(m_cairo, m_left, y, m_width, height);
            SetColour(m_cairo, kAlarmFill);
            cairo_fill_preserve(m_cairo);
            SetColour(m_cairo, kAlarm);
            cairo_set_line_width(m_cairo, 1.5);
            cairo_stroke(m_cairo);
        }
        Show(head.get(), m_left + kPad, y + kPad, kAlarm);
        if (!detail.empty()) {
            Show(more.get(), m_left + kPad, y + kPad + LayoutHeight(head.get()) + 3.0, kAlarm);
        }
        y += height;
    }

    void Pictures(const CReportPictures& pictures, double height) {
        const double boxWidth = (m_width - kGap) / 2;
        const CStyle caption{8.0, false, false, kMuted};
        double captionHeight = 0.0;
        int column = 0;
        for (const auto& [picture, name] :
             {std::pair{&pictures.front, "Front"}, std::pair{&pictures.top, "Top"}}) {
            const double x = m_left + column++ * (boxWidth + kGap);
            if (m_draw) {
                Picture(*picture, x, y, boxWidth, height);
            }
            const CLayout layout = NewLayout(m_cairo, name, caption);
            Show(layout.get(), x, y + height + 3.0, caption.colour);
            captionHeight = LayoutHeight(layout.get());
        }
        y += height + 3.0 + captionHeight;
    }

    void Table(const CTable& table) {
        const size_t columns = table.headers.size();
        const CStyle header{8.0, true, false, kMuted};
        const CStyle cell{9.5, false, false, kInk};
        const CStyle total{9.5, true, false, kInk};
        std::vector<double> widths(columns, 0.0);
        const auto widen = [&](const std::vector<std::string>& cells, const CStyle& style) {
            for (size_t k = 0; k < columns && k < cells.size(); ++k) {
                widths[k] =
                    std::max(widths[k], LayoutWidth(NewLayout(m_cairo, cells[k], style).get()));
            }
        };
        widen(table.headers, header);
        for (const auto& row : table.rows) {
            widen(row, table.totalRow && &row == &table.rows.back() ? total : cell);
        }
        double others = kColumnGap * static_cast<double>(columns - 1);
        for (size_t k = 0; k < columns; ++k) {
            others += static_cast<int>(k) == table.stretch ? 0.0 : widths[k];
        }
        // The stretching column takes what is left: the table spans the page, and a long name
        // wraps rather than pushing the numbers off the paper.
        widths[table.stretch] = std::max(m_width - others, 40.0);
        Row(table.headers, widths, table.names, header);
        Rule(kRule, 0.8);
        for (size_t r = 0; r < table.rows.size(); ++r) {
            const bool isTotal = table.totalRow && r + 1 == table.rows.size();
            if (r > 0) {
                Rule(isTotal ? kRule : kFaintRule, isTotal ? 0.8 : 0.4);
            }
            Row(table.rows[r], widths, table.names, isTotal ? total : cell);
        }
        Rule(kRule, 0.8);
    }

private:
    void Row(const std::vector<std::string>& cells, const std::vector<double>& widths,
             unsigned names, const CStyle& style) {
        double x = m_left;
        double height = 0.0;
        for (size_t k = 0; k < widths.size(); ++k) {
            const CLayout layout =
                NewLayout(m_cairo, k < cells.size() ? cells[k] : std::string(), style, widths[k]);
            pango_layout_set_alignment(
                layout.get(), (names & (1u << k)) != 0 ? PANGO_ALIGN_LEFT : PANGO_ALIGN_RIGHT);
            Show(layout.get(), x, y + kCellPad, style.colour);
            height = std::max(height, LayoutHeight(layout.get()));
            x += widths[k] + kColumnGap;
        }
        y += height + 2 * kCellPad;
    }

    void Show(PangoLayout* layout, double x, double top, const CColour& colour) {
        if (!m_draw) {
            return;
        }
        SetColour(m_cairo, colour);
        cairo_move_to(m_cairo, x, top);
        pango_cairo_show_layout(m_cairo, layout);
    }

    // The picture fitted into the box, its proportions kept, inside a thin frame. Painted as
    // an image: a PDF then holds it once, as the picture it is.
    void Picture(const CReportPicture& picture, double x, double top, double width, double height) {
        if (!picture.Empty()) {
            cairo_surface_t* image =
                cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height);
            unsigned char* data = cairo_image_surface_get_data(image);
            const int stride = cairo_image_surface_get_stride(image);
            cairo_surface_flush(image);
            for (int row = 0; row < picture.height; ++row) {
                auto* out = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(row) * stride);
                const uint8_t* in =
                    picture.rgb.data() + static_cast<size_t>(row) * picture.width * 3;
                for (int column = 0; column < picture.width; ++column, in += 3) {
                    out[column] =
                        0xFF000000u | uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
                }
            }
            cairo_surface_mark_dirty(image);
            const double scale = std::min(width / picture.width, height / picture.height);
            cairo_save(m_cairo);
            cairo_translate(m_cairo, x + (width - picture.width * scale) / 2,
                            top + (height - picture.height * scale) / 2);
            cairo_scale(m_cairo, scale, scale);
            cairo_set_source_surface(m_cairo, image, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(m_cairo), CAIRO_FILTER_GOOD);
            cairo_rectangle(m_cairo, 0, 0, picture.width, picture.height);
            cairo_fill(m_cairo);
            cairo_restore(m_cairo);
            cairo_surface_destroy(image);
        }
        SetColour(m_cairo, kRule);
        cairo_set_line_width(m_cairo, 0.6);
        cairo_rectangle(m_cairo, x, top, width, height);
        cairo_stroke(m_cairo);
    }

    cairo_t* m_cairo;
    double m_left;
    double m_width;
    bool m_draw;
};

std::string MetalName(const CMetalEntry& metal) {
    if (metal.alloy != nullptr) {
        return metal.alloy->displayName;
    }
    return metal.material.empty() ? "Default material" : metal.material;
}

CTable MetalTable(const CJewelReport& report) {
    CTable table;
    table.headers = {"Material", "Scene material", "Volume mm\u00b3", "Weight g"};
    table.names = 0b11;
    table.stretch = 0;
    for (const CMetalEntry& m : report.metals) {
        table.rows.push_back({MetalName(m), m.material.empty() ? "(default)" : m.material,
                              Figure(Rounded(m.volumeMm3, kMetalMm3Places), 3),
                              Figure(Rounded(m.weightGrams, kGramPlaces), 3)});
    }
    table.rows.push_back({"Total", "",
                          Figure(Rounded(report.metal.volume, kMetalMm3Places), 3) + " \u00b1 " +
                              Figure(Rounded(report.metal.uncertaintyPercent, kPercentPlaces), 2) +
                              " %",
                          Figure(report.totals.metalGrams, 3)});
    table.totalRow = true;
    return table;
}

CTable StoneTable(const CJewelReport& report) {
    CTable table;
    table.headers = {"Count",   "Cut",     "Material", "Size L \u00d7 W \u00d7 D mm",
                     "ct each", "ct total"};
    table.names = 0b110;
    table.stretch = 1;
    for (const CGemEntry& g : report.gems) {
        std::string size;
        for (int k = 0; k < 3; ++k) {
            size += (k > 0 ? " \u00d7 " : "") + Figure(Rounded(g.sizeMm[k], kMillimetrePlaces), 2);
        }
        table.rows.push_back(
            {std::to_string(g.count), g.name.value_or("shape #" + std::to_string(g.index)),
             g.material.empty() ? "-" : g.material, size,
             Figure(Rounded(g.caratEach, kCaratPlaces), 3), Figure(LineCarats(g), 3)});
    }
    table.rows.push_back({std::to_string(report.totals.stones), "Total", "", "", "",
                          Figure(report.totals.carats, 3)});
    table.totalRow = true;
    return table;
}

CTable RingTable(const CRingSize& ring) {
    CTable table;
    table.headers = {"Inner diameter mm", "Circumference mm", "US", "UK", "EU", "JP"};
    table.stretch = 5;
    table.rows.push_back({Figure(Rounded(ring.innerDiameterMm, kMillimetrePlaces), 2),
                          Figure(Rounded(ring.circumferenceMm, kMillimetrePlaces), 2), ring.us,
                          ring.uk, ring.eu, ring.jp});
    return table;
}

std::string Trimmed(const std::string& text) {
    const size_t end = text.find_last_not_of(" \n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// Everything below the pictures, or all of it with `pictureHeight` < 0 for no pictures.
void Flow(CPageFlow& flow, const CJewelReport& report, const CReportPictures& pictures,
          double pictureHeight, const std::string& date) {
    const CStyle heading{12.0, true, false, kInk};
    const std::string& name = report.source.sceneName;
    flow.Paragraph(name.empty() ? "Untitled scene" : name, {20.0, true, false, kInk}, 2.0);
    flow.Paragraph("Jeweller's report \u00b7 " + date, {9.5, false, false, kMuted}, 6.0);
    flow.Rule(kInk, 1.0);
    flow.Space(kGap);
    if (IsIncomplete(report)) {
        const CLoadReport& load = report.source.load;
        const std::string detail =
            load.stoppedEarly
                ? "Reading stopped at byte " + std::to_string(load.stopOffset) +
                      " in top-level record " + std::to_string(load.stopRecord) + ": " +
                      load.stopReason + ". The figures are those of the objects before it."
                : "The figures are those of the objects measured.";
        flow.Banner(IncompleteLine(report), detail);
        flow.Space(kGap);
    }
    if (report.source.load.status != CLoadReport::kOk) {
        flow.Paragraph(std::string("The scene could not be read (") + JewelStatus(report) +
                           "): there are no figures.",
                       {11.0, true, false, kAlarm});
        return;
    }
    flow.Pictures(pictures, pictureHeight);
    flow.Space(kGap * 1.5);
    flow.Paragraph("Metal", heading, 4.0);
    flow.Table(MetalTable(report));
    const std::string overlap = Trimmed(report.totals.overlapLine);
    if (!overlap.empty()) {
        flow.Space(4.0);
        flow.Paragraph(overlap, {8.5, false, true, kMuted});
    }
    flow.Space(kGap * 1.5);
    flow.Paragraph("Stones", heading, 4.0);
    if (report.gems.empty()) {
        flow.Paragraph("None.", {9.5, false, false, kMuted});
    } else {
        flow.Table(StoneTable(report));
    }
    if (report.ring) {
        flow.Space(kGap * 1.5);
        flow.Paragraph("Ring size", heading, 4.0);
        flow.Table(RingTable(*report.ring));
    }
    if (!report.warnings.empty()) {
        flow.Space(kGap * 1.5);
        flow.Paragraph("Warnings", {12.0, true, false, kCaution}, 4.0);
        for (const std::string& warning : report.warnings) {
            flow.Paragraph("\u2022 " + warning, {9.0, false, false, kCaution}, 2.0);
        }
    }
}

}  // namespace

std::string ReportDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

void DrawJewelReportPage(cairo_t* cairo, double widthPt, double heightPt,
                         const CJewelReport& report, const CReportPictures& pictures,
                         const std::string& date) {
    cairo_save(cairo);
    // The same metrics on paper as on screen: a layout measured once fits wherever it is drawn.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cairo, options);
    cairo_font_options_destroy(options);

    cairo_set_source_rgb(cairo, 1, 1, 1);
    cairo_rectangle(cairo, 0, 0, widthPt, heightPt);
    cairo_fill(cairo);

    const double width = widthPt - 2 * kMargin;
    const double footer = 16.0;
    const double room = heightPt - 2 * kMargin - footer;
    // Planned without pictures first: they get the height the text leaves, up to 4:3.
    CPageFlow plan(cairo, kMargin, width, false);
    Flow(plan, report, pictures, 0.0, date);
    const double natural = (width - kGap) / 2 * 3 / 4;
    const double pictureHeight = std::clamp(room - plan.y, kMinPictureHeight, natural);
    const double whole = plan.y + pictureHeight;
    // A piece with very many kinds of stone: the page is drawn smaller rather than cut off.
    const double scale = whole > room ? room / whole : 1.0;

    cairo_save(cairo);
    cairo_translate(cairo, kMargin, kMargin);
    cairo_scale(cairo, scale, scale);
    cairo_translate(cairo, -kMargin, 0);
    CPageFlow page(cairo, kMargin, width, true);
    Flow(page, report, pictures, pictureHeight, date);
    cairo_restore(cairo);

    const CLayout credit = NewLayout(cairo, "Orvatrix Viewer", {7.5, false, false, kMuted});
    SetColour(cairo, kMuted);
    cairo_move_to(cairo, kMargin, heightPt - kMargin - 10.0);
    pango_cairo_show_layout(cairo, credit.get());
    cairo_restore(cairo);
}

}  // namespace orva
