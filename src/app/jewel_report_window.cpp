#include "app/jewel_report_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/orva_document.h"
#include "app/report_printing.h"
#include "measure/jewel_figures.h"
#include "measure/jewel_report_text.h"
#include "render/render_scene.h"
#include "report/jewel_report_pdf.h"

namespace orva {

namespace {

ReportPdfChooser g_pdfChooser;

std::string ChooseReportPdf(QWidget* parent, const std::string& suggested) {
    if (g_pdfChooser) {
        return g_pdfChooser(parent, suggested);
    }
    return QFileDialog::getSaveFileName(parent, "Save Report as PDF",
                                        QString::fromStdString(suggested), "PDF files (*.pdf)")
        .toStdString();
}

// A figure of the report, as rounded as the copied text rounds it, to `decimals` places; "-"
// for none.
QString Figure(const std::optional<double>& value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QString("-");
}

QString Name(const std::string& name, const char* none) {
    return name.empty() ? QString(none) : QString::fromStdString(name);
}

QTableWidget* NewTable(const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, headers.size(), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    // Every column as wide as its header and its figures; the last takes what is left.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

// Numbers read best aligned on the right, names on the left: bit k of `names` marks column k
// as a name.
void SetRow(QTableWidget& table, int row, const QStringList& cells, unsigned names) {
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if ((names & (1u << column)) == 0) {
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        table.setItem(row, column, item);
    }
}

}  // namespace

ReportPdfChooser SetReportPdfChooser(ReportPdfChooser chooser) {
    ReportPdfChooser previous = std::move(g_pdfChooser);
    g_pdfChooser = std::move(chooser);
    return previous;
}

CJewelReportWindow::CJewelReportWindow(COrvaDoc& document, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_document(document),
      m_scene(new QLabel(this)),
      m_warning(new QLabel(this)),
      m_status(new QLabel(this)),
      m_metalVolume(new QLabel(this)),
      m_metalWeight(new QLabel(this)),
      m_overlap(new QLabel(this)),
      m_ring(new QLabel(this)),
      m_stones(new QLabel(this)),
      m_alloy(new QComboBox(this)),
      m_metals(NewTable({"Material", "Alloy", "Density g/cm\u00b3", "Volume mm\u00b3", "Weight g"},
                        this)),
      m_gems(NewTable({"Count", "Cut", "Material", "Size L \u00d7 W \u00d7 D mm", "Volume mm\u00b3",
                       "Carat each", "Carat total"},
                      this)),
      m_copy(new QPushButton("&Copy", this)),
      m_savePdf(new QPushButton("Save &PDF\u2026", this)),
      m_print(new QPushButton("&Print\u2026", this)),
      m_paperStatus(new QLabel(this)) {
    setWindowTitle("Report");
    m_alloy->addItem(kOwnAlloys, QString());
    for (const QString& key : QString::fromStdString(AlloyKeys()).split(' ', Qt::SkipEmptyParts)) {
        m_alloy->addItem(FindAlloy(key.toStdString())->displayName, key);
    }
    m_copy->setToolTip("Copies the report as text");
    m_savePdf->setToolTip("Saves the report as a one-page PDF, with pictures of the piece");
    m_print->setToolTip("Prints the report on one page, with pictures of the piece");
    m_paperStatus->setWordWrap(true);
    m_paperStatus->hide();
    QFont bold = m_scene->font();
    bold.setBold(true);
    m_scene->setFont(bold);
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(
        "QLabel { background: #fff0c2; color: #5c3c00; border: 1px solid "
        "#d9a400; padding: 6px; }");
    m_overlap->setWordWrap(true);
    auto* close = new QPushButton("Close", this);
    auto* form = new QFormLayout;
    form->addRow("Alloy:", m_alloy);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_paperStatus, 1);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_savePdf);
    buttons->addWidget(m_print);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_warning);
    layout->addWidget(m_scene);
    layout->addWidget(m_status);
    layout->addLayout(form);
    layout->addWidget(m_metalVolume);
    layout->addWidget(m_metalWeight);
    layout->addWidget(m_metals, 1);
    layout->addWidget(m_overlap);
    layout->addWidget(m_ring);
    layout->addWidget(m_stones);
    layout->addWidget(m_gems, 2);
    layout->addLayout(buttons);
    connect(m_alloy, &QComboBox::currentIndexChanged, this, [this] { AlloyChanged(); });
    connect(m_copy, &QPushButton::clicked, this, [this] { CopyText(); });
    connect(m_savePdf, &QPushButton::clicked, this, [this] { SavePdf(); });
    connect(m_print, &QPushButton::clicked, this, [this] { Print(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    resize(std::max(760, m_gems->horizontalHeader()->length() + 40), 480);
    ClearFigures({});
}

CJewelReportWindow::~CJewelReportWindow() {
    // The measurement and the pictures read the document's scene.
    m_job.Stop();
    m_picturesJob.Stop();
}

void CJewelReportWindow::ShowReport(int threads) {
    m_threads = threads;
    if (!m_placed) {
        PlaceBesideMainWindow();
    }
    show();
    raise();
    activateWindow();
    if (!m_report && !m_job.Running()) {
        Measure();
    }
}

// Beside the main window, on its right where the screen has room, else on its left, else
// over its right part but below its menu bar: never over the menu.
void CJewelReportWindow::PlaceBesideMainWindow() {
    QWidget* main = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (main == nullptr || main->screen() == nullptr) {
        return;
    }
    m_placed = true;
    const QRect screen = main->screen()->availableGeometry();
    const QRect frame = main->frameGeometry();
    const int gap = 8;
    const int width = std::min(this->width(), screen.width());
    int x = frame.right() + gap;
    if (x + width > screen.right()) {
        x = frame.left() - gap - width >= screen.left()
                ? frame.left() - gap - width
                : std::max(screen.left(), screen.right() - width);
    }
    const int menuBottom = main->geometry().top() + 40;
    const bool overMain = x < frame.right() && x + width > frame.left();
    const int y = std::clamp(overMain ? menuBottom : frame.top(), screen.top(),
                             std::max(screen.top(), screen.bottom() - height()));
    move(x, y);
}

void CJewelReportWindow::StopMeasuring() {
    m_job.Stop();
    m_picturesJob.Stop();
    m_paperWanted = EPaper::kNone;
    ++m_serial;
}

void CJewelReportWindow::SceneChanged() {
    StopMeasuring();
    m_report.reset();
    if (isVisible()) {
        Measure();
    } else {
        ClearFigures({});
    }
}

void CJewelReportWindow::Measure() {
    StopMeasuring();
    m_report.reset();
    m_pictures.reset();
    m_paperStatus->hide();
    if (m_document.Path().empty()) {
        ClearFigures("No scene is open.");
        return;
    }
    ClearFigures("Measuring\u2026");
    CJewelOptions options;
    options.threads = ThreadsOrCores(m_threads);
    const int64_t serial = m_serial;
    ++m_measurementsStarted;
    m_job.Start(WholeScene(m_document.Scene()), options,
                [this, serial](const CJewelReport& report) {
                    QMetaObject::invokeMethod(
                        this, [this, serial, report] { MeasureDone(serial, report); },
                        Qt::QueuedConnection);
                });
}

void CJewelReportWindow::MeasureDone(int64_t serial, const CJewelReport& report) {
    if (serial != m_serial || report.metal.interrupted) {
        return;
    }
    m_report = report;
    m_report->source = {m_document.Title(), m_document.SceneLoad()};
    AlloyChanged();
    ++m_reportsShown;
    emit reportShown();
}

void CJewelReportWindow::AlloyChanged() {
    if (!m_report) {
        return;
    }
    const QString key = m_alloy->currentData().toString();
    WeighMetals(*m_report, key.isEmpty() ? nullptr : FindAlloy(key.toStdString()));
    ShowFigures();
}

void CJewelReportWindow::ShowFigures() {
    // The figures of the copied text, rounded as it rounds them, so that both say the same.
    m_status->hide();
    m_scene->setText(QString::fromStdString(m_report->source.sceneName));
    const CLoadReport& load = m_report->source.load;
    QStringList warnings;
    if (IsIncomplete(*m_report)) {
        warnings << QString::fromStdString(IncompleteLine(*m_report));
    }
    if (IsIncomplete(*m_report) && load.stoppedEarly) {
        warnings << QString("Reading stopped at byte %1 in top-level record %2: %3.")
                        .arg(load.stopOffset)
                        .arg(load.stopRecord)
                        .arg(QString::fromStdString(load.stopReason));
    }
    for (const std::string& warning : m_report->warnings) {
        warnings << "Warning: " + QString::fromStdString(warning);
    }
    m_warning->setText(warnings.join('\n'));
    m_warning->setVisible(!warnings.isEmpty());
    const QString overlap = QString::fromStdString(m_report->totals.overlapLine).trimmed();
    m_overlap->setText(overlap);
    m_overlap->setVisible(!overlap.isEmpty());
    QString ring;
    if (m_report->ring) {
        ring = QString::fromStdString(RingLine(*m_report->ring));
        ring[0] = ring[0].toUpper();
    }
    m_ring->setText(ring);
    m_ring->setVisible(!ring.isEmpty());
    m_metalVolume->setText(
        QString("Metal volume: %1 mm\u00b3 (\u00b1 %2 %)")
            .arg(Figure(Rounded(m_report->metal.volume, kMetalMm3Places), 3))
            .arg(Figure(Rounded(m_report->metal.uncertaintyPercent, kPercentPlaces), 2)));
    ShowMetals();
    ShowGems();
    m_copy->setEnabled(true);
    EnablePaper(m_paperWanted == EPaper::kNone);
}

void CJewelReportWindow::ShowMetals() {
    const std::vector<CMetalEntry>& metals = m_report->metals;
    m_metals->setRowCount(static_cast<int>(metals.size()));
    int row = 0;
    for (const CMetalEntry& m : metals) {
        const bool alloy = m.alloy != nullptr;
        SetRow(*m_metals, row++,
               {Name(m.material, "(default)"), alloy ? QString(m.alloy->displayName) : QString("-"),
                Figure(alloy ? std::optional<double>(m.alloy->densityGramsCm3) : std::nullopt, 2),
                Figure(Rounded(m.volumeMm3, kMetalMm3Places), 3),
                Figure(Rounded(m.weightGrams, kGramPlaces), 3)},
               0b11);
    }
    const std::optional<double>& grams = m_report->totals.metalGrams;
    m_metalWeight->setText(grams ? QString("Metal weight: %1 g").arg(Figure(grams, 3))
                                 : QString("Metal weight: -"));
    m_metals->resizeColumnsToContents();
}

void CJewelReportWindow::ShowGems() {
    const std::vector<CGemEntry>& gems = m_report->gems;
    m_gems->setRowCount(static_cast<int>(gems.size()));
    int row = 0;
    for (const CGemEntry& g : gems) {
        QString size;
        for (int k = 0; k < 3; ++k) {
            size += (k > 0 ? " \u00d7 " : "") + Figure(Rounded(g.sizeMm[k], kMillimetrePlaces), 2);
        }
        SetRow(*m_gems, row++,
               {QString::number(g.count), QString::fromStdString(GemDisplayName(g)),
                Name(g.material, "-"), size, Figure(Rounded(g.volumeMm3, kStoneMm3Places), 3),
                Figure(Rounded(g.caratEach, kCaratPlaces), 3), Figure(LineCarats(g), 3)},
               0b110);
    }
    const CJewelTotals& totals = m_report->totals;
    QString stones = QString("Stones: %1, %2 ct").arg(totals.stones).arg(Figure(totals.carats, 3));
    if (totals.organicGems > 0) {
        stones += QString("; pearls and other organic gems, by size: %1").arg(totals.organicGems);
    }
    m_stones->setText(stones);
    m_gems->resizeColumnsToContents();
}

void CJewelReportWindow::ClearFigures(const QString& status) {
    m_status->setText(status);
    m_status->setVisible(!status.isEmpty());
    m_scene->setText(QString::fromStdString(m_document.Title()));
    m_warning->hide();
    m_overlap->hide();
    m_ring->hide();
    m_metalVolume->setText("Metal volume: -");
    m_metalWeight->setText("Metal weight: -");
    m_stones->setText("Stones: -");
    m_metals->setRowCount(0);
    m_gems->setRowCount(0);
    m_copy->setEnabled(false);
    EnablePaper(false);
}

void CJewelReportWindow::CopyText() {
    if (m_report) {
        QApplication::clipboard()->setText(QString::fromStdString(FormatJewelTable(*m_report)));
    }
}

void CJewelReportWindow::EnablePaper(bool enabled) {
    m_savePdf->setEnabled(enabled);
    m_print->setEnabled(enabled);
}

void CJewelReportWindow::SavePdf() {
    if (!m_report) {
        return;
    }
    // Beside the scene, named after it.
    const QFileInfo scene(QString::fromStdString(m_document.Path()));
    const std::string suggested =
        scene.dir().filePath(scene.completeBaseName() + ".pdf").toStdString();
    const std::string path = ChooseReportPdf(this, suggested);
    if (path.empty()) {
        return;
    }
    m_pdfPath = path;
    WithPictures(EPaper::kPdf);
}

void CJewelReportWindow::Print() {
    if (!m_report) {
        return;
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_printer = std::move(printer);
    WithPictures(EPaper::kPrint);
}

void CJewelReportWindow::WithPictures(EPaper paper) {
    m_paperWanted = paper;
    if (m_pictures) {
        PutOnPaper();
        return;
    }
    EnablePaper(false);
    m_paperStatus->setText("Rendering the pictures\u2026");
    m_paperStatus->show();
    const int64_t serial = m_serial;
    m_picturesJob.Start(m_document.Scene(), ThreadsOrCores(m_threads),
                        [this, serial](std::shared_ptr<const CReportPictures> pictures) {
                            QMetaObject::invokeMethod(
                                this, [this, serial, pictures] { PicturesDone(serial, pictures); },
                                Qt::QueuedConnection);
                        });
}

void CJewelReportWindow::PicturesDone(int64_t serial,
                                      std::shared_ptr<const CReportPictures> pictures) {
    // Pictures of a scene since replaced, or stopped half way, are of no use.
    if (serial != m_serial || !pictures || !m_report) {
        return;
    }
    m_pictures = std::move(pictures);
    PutOnPaper();
}

void CJewelReportWindow::PutOnPaper() {
    const EPaper paper = m_paperWanted;
    m_paperWanted = EPaper::kNone;
    EnablePaper(true);
    m_paperStatus->show();
    if (paper == EPaper::kPdf) {
        std::string error;
        const bool written = WriteJewelReportPdf(*m_report, *m_pictures, m_pdfPath, error);
        m_paperStatus->setText(written ? "Saved " + QString::fromStdString(m_pdfPath)
                                       : "The report could not be saved: " +
                                             QString::fromStdString(error));
        emit pdfSaved(QString::fromStdString(m_pdfPath), written);
    } else if (paper == EPaper::kPrint && m_printer) {
        m_paperStatus->setText(PrintJewelReport(*m_printer, *m_report, *m_pictures)
                                   ? QString("Sent to the printer")
                                   : QString("The printer could not be started"));
    }
}

void CJewelReportWindow::closeEvent(QCloseEvent* event) {
    // A closed window measures nothing; it measures again when shown.
    StopMeasuring();
    if (!m_report) {
        ClearFigures({});
    }
    QWidget::closeEvent(event);
}

}  // namespace orva
