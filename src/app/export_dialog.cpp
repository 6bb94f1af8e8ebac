#include "app/export_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QPushButton>
#include <QSettings>

#include <cmath>
#include <iterator>

namespace orva {

namespace {

struct CResolutionItem {
    const char* text;
    double millimetres;
};

// Fine shows a prong's facets, Normal is what a print shop usually wants, Draft is quick.
constexpr CResolutionItem kResolutions[] = {
    {"Fine (0.01 mm)", 0.01}, {"Normal (0.02 mm)", 0.02}, {"Draft (0.05 mm)", 0.05}};
constexpr int kNormalResolution = 1;
// The parts box lists EMeshParts in order.
constexpr const char* kPartsTexts[] = {"All", "Metal only", "Stones only"};

constexpr char kPartsKey[] = "export/parts";
constexpr char kResolutionKey[] = "export/resolution";
constexpr char k3mfKey[] = "export/3mf";

constexpr char kStlFilter[] = "STL (*.stl)";
constexpr char k3mfFilter[] = "3MF (*.3mf)";

ExportFileChooser g_chooser;

bool HasMeshExtension(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "stl" || suffix == "3mf";
}

std::string AskForExportFile(QWidget* parent, const std::string& suggested) {
    const QString path = QString::fromStdString(suggested);
    QString chosenFilter = Is3mfPath(suggested) ? k3mfFilter : kStlFilter;
    QString chosen = QFileDialog::getSaveFileName(
        parent, "Export", path, QString(kStlFilter) + ";;" + k3mfFilter, &chosenFilter);
    // A name typed without either extension gets the chosen type's, so that the format is
    // the one the user picked.
    if (!chosen.isEmpty() && !HasMeshExtension(chosen)) {
        chosen += chosenFilter == k3mfFilter ? ".3mf" : ".stl";
    }
    return chosen.toStdString();
}

}  // namespace

CExportDialog::CExportDialog(QWidget* parent)
    : QDialog(parent), m_parts(new QComboBox(this)), m_resolution(new QComboBox(this)) {
    setWindowTitle("Export");
    for (const char* text : kPartsTexts) {
        m_parts->addItem(text);
    }
    for (const CResolutionItem& item : kResolutions) {
        m_resolution->addItem(item.text);
    }
    const QSettings settings;
    const int parts = settings.value(kPartsKey, 0).toInt();
    m_parts->setCurrentIndex(parts >= 0 && parts < m_parts->count() ? parts : 0);
    SetResolution(
        settings.value(kResolutionKey, kResolutions[kNormalResolution].millimetres).toDouble());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Export\u2026");
    auto* form = new QFormLayout(this);
    form->addRow("Parts:", m_parts);
    form->addRow("Resolution:", m_resolution);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

CMeshExportSettings CExportDialog::Settings() const {
    CMeshExportSettings settings;
    settings.parts = static_cast<EMeshParts>(m_parts->currentIndex());
    settings.resolution = kResolutions[m_resolution->currentIndex()].millimetres;
    return settings;
}

void CExportDialog::SetParts(EMeshParts parts) {
    m_parts->setCurrentIndex(static_cast<int>(parts));
}

void CExportDialog::SetResolution(double millimetres) {
    int nearest = kNormalResolution;
    for (int i = 0; i < int(std::size(kResolutions)); ++i) {
        if (std::fabs(kResolutions[i].millimetres - millimetres) <
            std::fabs(kResolutions[nearest].millimetres - millimetres)) {
            nearest = i;
        }
    }
    m_resolution->setCurrentIndex(nearest);
}

ExportFileChooser SetExportFileChooser(ExportFileChooser chooser) {
    ExportFileChooser previous = std::move(g_chooser);
    g_chooser = std::move(chooser);
    return previous;
}

std::optional<CMeshExportSettings> AskForExport(QWidget* parent, const std::string& scenePath) {
    CExportDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    CMeshExportSettings settings = dialog.Settings();
    QSettings remembered;
    remembered.setValue(kPartsKey, static_cast<int>(settings.parts));
    remembered.setValue(kResolutionKey, settings.resolution);
    const bool last3mf = remembered.value(k3mfKey, false).toBool();
    const QFileInfo scene(QString::fromStdString(scenePath));
    const std::string suggested =
        scene.dir().filePath(scene.completeBaseName() + (last3mf ? ".3mf" : ".stl")).toStdString();
    settings.path = g_chooser ? g_chooser(parent, suggested) : AskForExportFile(parent, suggested);
    if (settings.path.empty()) {
        return std::nullopt;
    }
    // The format follows the extension: any other name gets the type suggested.
    if (!HasMeshExtension(QString::fromStdString(settings.path))) {
        settings.path += last3mf ? ".3mf" : ".stl";
    }
    remembered.setValue(k3mfKey, Is3mfPath(settings.path));
    return settings;
}

}  // namespace orva
