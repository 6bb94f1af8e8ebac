#include "app/jewel_report_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/orva_document.h"
#include "measure/jewel_report_text.h"
#include "render/render_scene.h"

namespace orva {

namespace {

using json = nlohmann::ordered_json;

// A figure of the report as the copied text gives it, "-" for none.
QString Figure(const json& value, int decimals) {
    if (value.is_null()) {
        return "-";
    }
    if (value.is_string()) {
        return QString::fromStdString(value.get<std::string>());
    }
    return QString::number(value.get<double>(), 'f', decimals);
}

QTableWidget* NewTable(const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, headers.size(), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
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

CJewelReportWindow::CJewelReportWindow(COrvaDoc& document, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_document(document),
      m_status(new QLabel(this)),
      m_metalVolume(new QLabel(this)),
      m_metalWeight(new QLabel(this)),
      m_stones(new QLabel(this)),
      m_alloy(new QComboBox(this)),
      m_metals(NewTable({"Material", "Alloy", "Density g/cm\u00b3", "Volume mm\u00b3", "Weight g"},
                        this)),
      m_gems(NewTable({"Count", "Cut", "Material", "Size L \u00d7 W \u00d7 D mm", "Volume mm\u00b3",
                       "Carat each", "Carat total"},
                      this)),
      m_copy(new QPushButton("&Copy", this)) {
    setWindowTitle("Report");
    m_alloy->addItem(kOwnAlloys, QString());
    for (const QString& key : QString::fromStdString(AlloyKeys()).split(' ', Qt::SkipEmptyParts)) {
        m_alloy->addItem(key, key);
    }
    m_copy->setToolTip("Copies the report as text");
    auto* close = new QPushButton("Close", this);
    auto* form = new QFormLayout;
    form->addRow("Alloy:", m_alloy);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_copy);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addLayout(form);
    layout->addWidget(m_metalVolume);
    layout->addWidget(m_metalWeight);
    layout->addWidget(m_metals, 1);
    layout->addWidget(m_stones);
    layout->addWidget(m_gems, 2);
    layout->addLayout(buttons);
    connect(m_alloy, &QComboBox::currentIndexChanged, this, [this] { AlloyChanged(); });
    connect(m_copy, &QPushButton::clicked, this, [this] { CopyText(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(760, 480);
    ClearFigures({});
}

CJewelReportWindow::~CJewelReportWindow() {
    // The measurement reads the document's scene.
    m_job.Stop();
}

void CJewelReportWindow::ShowReport(int threads) {
    m_threads = threads;
    show();
    raise();
    activateWindow();
    if (!m_report && !m_job.Running()) {
        Measure();
    }
}

void CJewelReportWindow::StopMeasuring() {
    m_job.Stop();
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
    const json d = DescribeJewel(*m_report, CLoadReport::kOk);
    m_status->hide();
    m_metalVolume->setText(QString("Metal volume: %1 mm\u00b3 (\u00b1 %2 %)")
                               .arg(Figure(d["metal_volume_mm3"], 3))
                               .arg(Figure(d["uncertainty_pct"], 2)));
    ShowMetals(d);
    ShowGems(d);
    m_copy->setEnabled(true);
}

void CJewelReportWindow::ShowMetals(const nlohmann::ordered_json& d) {
    double grams = 0.0;
    bool weighed = !d["metals"].empty();
    m_metals->setRowCount(static_cast<int>(d["metals"].size()));
    int row = 0;
    for (const json& m : d["metals"]) {
        weighed = weighed && !m["weight_g"].is_null();
        grams += m["weight_g"].is_null() ? 0.0 : m["weight_g"].get<double>();
        SetRow(*m_metals, row++,
               {m["material"].is_null() ? "(default)" : Figure(m["material"], 0),
                Figure(m["alloy"], 0), Figure(m["density_g_cm3"], 2), Figure(m["volume_mm3"], 3),
                Figure(m["weight_g"], 3)},
               0b11);
    }
    m_metalWeight->setText(weighed ? QString("Metal weight: %1 g").arg(grams, 0, 'f', 3)
                                   : QString("Metal weight: -"));
    m_metals->resizeColumnsToContents();
}

void CJewelReportWindow::ShowGems(const nlohmann::ordered_json& d) {
    int stones = 0;
    double carats = 0.0;
    m_gems->setRowCount(static_cast<int>(d["gems"].size()));
    int row = 0;
    for (const json& g : d["gems"]) {
        stones += g["count"].get<int>();
        carats += g["carat_total"].is_null() ? 0.0 : g["carat_total"].get<double>();
        const json& s = g["size_mm"];
        SetRow(
            *m_gems, row++,
            {QString::number(g["count"].get<int>()),
             (g["name"].is_null() ? QString("shape") : Figure(g["name"], 0)) +
                 QString(" #%1").arg(g["index"].get<int>()),
             Figure(g["material"], 0),
             Figure(s[0], 2) + " \u00d7 " + Figure(s[1], 2) + " \u00d7 " + Figure(s[2], 2),
             Figure(g["volume_mm3"], 3), Figure(g["carat_each"], 3), Figure(g["carat_total"], 3)},
            0b110);
    }
    m_stones->setText(QString("Stones: %1, %2 ct").arg(stones).arg(carats, 0, 'f', 3));
    m_gems->resizeColumnsToContents();
}

void CJewelReportWindow::ClearFigures(const QString& status) {
    m_status->setText(status);
    m_status->setVisible(!status.isEmpty());
    m_metalVolume->setText("Metal volume: -");
    m_metalWeight->setText("Metal weight: -");
    m_stones->setText("Stones: -");
    m_metals->setRowCount(0);
    m_gems->setRowCount(0);
    m_copy->setEnabled(false);
}

void CJewelReportWindow::CopyText() {
    if (m_report) {
        QApplication::clipboard()->setText(
            QString::fromStdString(FormatJewelReportText(*m_report)));
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
