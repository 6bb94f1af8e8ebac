#include "app/export_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QPushButton>
#include <QSettings>

#include <algorithm>
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
constexpr char kFormatKey[] = "export/format";

// The formats in the order the file dialog offers them, by the extension that names each.
struct CFormatItem {
    const char* extension;
    const char* filter;
};
constexpr CFormatItem kFormats[] = {{"stl", "STL (*.stl)"},
                                    {"3mf", "3MF (*.3mf)"},
                                    {"glb", "glTF binary (*.glb)"},
                                    {"html", "Web page (*.html)"}};

ExportFileChooser g_chooser;

bool HasExportExtension(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return std::any_of(std::begin(kFormats), std::end(kFormats),
                       [&](const CFormatItem& f) { return suffix == f.extension; });
}

std::string AskForExportFile(QWidget* parent, const std::string& suggested) {
    const QString path = QString::fromStdString(suggested);
    QStringList filters;
    QString chosenFilter = kFormats[0].filter;
    for (const CFormatItem& f : kFormats) {
        filters << f.filter;
        if (QFileInfo(path).suffix().toLower() == f.extension) {
            chosenFilter = f.filter;
        }
    }
    QString chosen =
        QFileDialog::getSaveFileName(parent, "Export", path, filters.join(";;"), &chosenFilter);
    // A name typed without any of the extensions gets the chosen type's, so that the format
    // is the one the user picked.
    if (!chosen.isEmpty() && !HasExportExtension(chosen)) {
        for (const CFormatItem& f : kFormats) {
            if (chosenFilter == f.filter) {
                chosen += QString(".") + f.extension;
            }
        }
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
    QString lastFormat = remembered.value(kFormatKey, "stl").toString();
    if (!HasExportExtension("." + lastFormat)) {
        lastFormat = "stl";
    }
    const QFileInfo scene(QString::fromStdString(scenePath));
    const std::string suggested =
        scene.dir().filePath(scene.completeBaseName() + "." + lastFormat).toStdString();
    settings.path = g_chooser ? g_chooser(parent, suggested) : AskForExportFile(parent, suggested);
    if (settings.path.empty()) {
        return std::nullopt;
    }
    // The format follows the extension: any other name gets the type suggested.
    if (!HasExportExtension(QString::fromStdString(settings.path))) {
        settings.path += "." + lastFormat.toStdString();
    }
    remembered.setValue(kFormatKey,
                        QFileInfo(QString::fromStdString(settings.path)).suffix().toLower());
    return settings;
}

}  // namespace orva
