#include "app/save_picture_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <iterator>

#include "picture/picture_limits.h"

namespace orva {

namespace {

// Sizes people ask for most: full HD, a square for shops and catalogues, and 4K.
constexpr QSize kPresetSizes[] = {{1920, 1080}, {2048, 2048}, {3840, 2160}};
constexpr int kViewSizeItem = 0;
// The items after the presets: the size typed in the boxes.
constexpr int kTypedSizeItem = 1 + static_cast<int>(std::size(kPresetSizes));
constexpr int kDefaultAntialias = 3;
// A fitted piece is usually wanted with a little room around it.
constexpr int kDefaultMargin = 5;
constexpr int kMaxMargin = 45;  // as the command line's --margin

// The background box lists EPictureBackground in order, by these names in the settings.
constexpr const char* kBackgroundNames[] = {"window", "white", "transparent", "colour"};
constexpr int kColourItem = static_cast<int>(EPictureBackground::kColour);

constexpr char kSizeKey[] = "savePicture/size";  // "view", "preset" or "typed"
constexpr char kWidthKey[] = "savePicture/width";
constexpr char kHeightKey[] = "savePicture/height";
constexpr char kAntialiasKey[] = "savePicture/antialias";
constexpr char kBackgroundKey[] = "savePicture/background";
constexpr char kColourKey[] = "savePicture/colour";
constexpr char kFitKey[] = "savePicture/fitPiece";
constexpr char kMarginKey[] = "savePicture/margin";
constexpr char kFolderKey[] = "savePicture/folder";
constexpr char kFormatKey[] = "savePicture/format";

// The file types offered, by the extension each suggests.
struct CPictureType {
    const char* extension;
    const char* filter;
};
constexpr CPictureType kPictureTypes[] = {{"png", "PNG pictures (*.png)"},
                                          {"jpg", "JPEG pictures (*.jpg *.jpeg)"},
                                          {"bmp", "BMP pictures (*.bmp)"}};

QString SizeText(QSize size) {
    return QString("%1 x %2").arg(size.width()).arg(size.height());
}

// The file dialog, opened on the suggested file with its type chosen; a name typed without
// an extension gets that of the chosen type, so that the file still opens as a picture.
std::string AskForPictureFile(QWidget* parent, const std::string& suggested, bool pngOnly) {
    const QString suggestedPath = QString::fromStdString(suggested);
    // PNG comes first: alone, it is the one type that keeps transparency.
    const int offered = pngOnly ? 1 : static_cast<int>(std::size(kPictureTypes));
    QStringList filters;
    QString chosenFilter = kPictureTypes[0].filter;
    for (int i = 0; i < offered; ++i) {
        filters << kPictureTypes[i].filter;
        if (QFileInfo(suggestedPath).suffix() == kPictureTypes[i].extension) {
            chosenFilter = kPictureTypes[i].filter;
        }
    }
    QString path = QFileDialog::getSaveFileName(parent, "Save Picture", suggestedPath,
                                                filters.join(";;"), &chosenFilter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        for (const CPictureType& type : kPictureTypes) {
            if (chosenFilter == type.filter) {
                path += QString(".") + type.extension;
            }
        }
    }
    return path.toStdString();
}

// The type of the last picture saved, "png" before any; PNG alone keeps transparency.
QString SuggestedExtension(bool pngOnly) {
    const QString last = QSettings().value(kFormatKey).toString();
    const bool known =
        std::any_of(std::begin(kPictureTypes), std::end(kPictureTypes),
                    [&](const CPictureType& type) { return last == type.extension; });
    return pngOnly || !known ? kPictureTypes[0].extension : last;
}

// The scene's name in the folder pictures were last saved to, which is where the user keeps
// them; before any save (or once that folder is gone) in the scene's folder, else the home
// folder.
std::string SuggestedPicturePath(const std::string& scenePath, bool pngOnly) {
    const QFileInfo scene(QString::fromStdString(scenePath));
    const bool hasScene = !scenePath.empty();
    QString folder = QSettings().value(kFolderKey).toString();
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = hasScene ? scene.absolutePath() : QDir::homePath();
    }
    const QString name = hasScene ? scene.completeBaseName() : QString("picture");
    return QDir(folder).filePath(name + "." + SuggestedExtension(pngOnly)).toStdString();
}

// The file's folder and type, suggested for the next picture.
void RememberPictureFile(const std::string& path) {
    const QFileInfo file(QString::fromStdString(path));
    QSettings remembered;
    remembered.setValue(kFolderKey, file.absolutePath());
    remembered.setValue(
        kFormatKey, file.suffix().toLower() == "jpeg" ? QString("jpg") : file.suffix().toLower());
}

// A patch of the colour, framed so that white shows on a white button too.
QIcon SwatchIcon(const QColor& colour) {
    QPixmap swatch(32, 16);
    swatch.fill(colour);
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    return QIcon(swatch);
}

PictureFileChooser g_chooser;

QSpinBox* SideBox(int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(1, kMaxPictureSide);
    box->setValue(value);
    return box;
}

}  // namespace

CSavePictureDialog::CSavePictureDialog(QSize viewSize, QWidget* parent)
    : QDialog(parent),
      m_viewSize(viewSize.expandedTo({1, 1}).boundedTo({kMaxPictureSide, kMaxPictureSide})),
      m_size(new QComboBox(this)),
      m_width(SideBox(m_viewSize.width(), this)),
      m_height(SideBox(m_viewSize.height(), this)),
      m_antialias(new QComboBox(this)),
      m_background(new QComboBox(this)),
      m_swatch(new QToolButton(this)),
      m_fit(new QCheckBox("Fit the whole piece", this)),
      m_margin(new QSpinBox(this)),
      m_colour(Qt::white) {
    setWindowTitle("Save Picture");
    m_size->addItem("View size (" + SizeText(m_viewSize) + ")");
    for (const QSize& size : kPresetSizes) {
        m_size->addItem(SizeText(size));
    }
    m_size->addItem("Other size");
    m_antialias->addItems({"Off", "2 x 2 samples", "3 x 3 samples", "4 x 4 samples"});
    m_antialias->setCurrentIndex(kDefaultAntialias - 1);
    m_background->addItems({"Window grey", "White", "Transparent (PNG)", "Colour\u2026"});
    m_swatch->setToolTip("Choose the background colour");
    m_margin->setRange(0, kMaxMargin);
    m_margin->setSuffix(" %");
    m_margin->setValue(kDefaultMargin);
    m_margin->setToolTip("The room left free on each side of the piece");

    auto* sides = new QHBoxLayout;
    sides->addWidget(m_width);
    sides->addWidget(new QLabel("x", this));
    sides->addWidget(m_height);
    auto* background = new QHBoxLayout;
    background->addWidget(m_background, 1);
    background->addWidget(m_swatch);
    auto* fit = new QHBoxLayout;
    fit->addWidget(m_fit);
    fit->addWidget(new QLabel("Margin:", this));
    fit->addWidget(m_margin);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Save\u2026");
    auto* form = new QFormLayout(this);
    form->addRow("Size:", m_size);
    form->addRow("Width x height:", sides);
    form->addRow("Anti-aliasing:", m_antialias);
    form->addRow("Background:", background);
    form->addRow("Framing:", fit);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_size, &QComboBox::currentIndexChanged, this, [this](int i) { SizeChosen(i); });
    connect(m_background, &QComboBox::activated, this, [this](int i) { BackgroundActivated(i); });
    connect(m_background, &QComboBox::currentIndexChanged, this, [this] { ShowBackground(); });
    connect(m_swatch, &QToolButton::clicked, this, [this] { AskForColour(); });
    connect(m_fit, &QCheckBox::toggled, m_margin, &QWidget::setEnabled);
    SizeChosen(kViewSizeItem);
    m_margin->setEnabled(false);
    Recall();
    ShowBackground();
}

void CSavePictureDialog::Recall() {
    const QSettings remembered;
    const QString size = remembered.value(kSizeKey, "view").toString();
    const QSize side(remembered.value(kWidthKey, 0).toInt(),
                     remembered.value(kHeightKey, 0).toInt());
    const auto* preset = std::find(std::begin(kPresetSizes), std::end(kPresetSizes), side);
    if (size == "preset" && preset != std::end(kPresetSizes)) {
        m_size->setCurrentIndex(1 + static_cast<int>(preset - std::begin(kPresetSizes)));
    } else if (size != "view" && !side.isEmpty()) {
        SetTypedSize(side.width(), side.height());  // the boxes keep it within their range
    }
    const int antialias = remembered.value(kAntialiasKey, kDefaultAntialias).toInt();
    if (antialias >= 1 && antialias <= m_antialias->count()) {
        SetAntialias(antialias);
    }
    const QColor colour(remembered.value(kColourKey).toString());
    if (colour.isValid()) {
        m_colour = colour;
    }
    const QString background = remembered.value(kBackgroundKey).toString();
    for (int i = 0; i < int(std::size(kBackgroundNames)); ++i) {
        if (background == kBackgroundNames[i]) {
            SetBackground(static_cast<EPictureBackground>(i));
        }
    }
    SetFitPiece(remembered.value(kFitKey, false).toBool(),
                remembered.value(kMarginKey, kDefaultMargin).toInt());
}

void CSavePictureDialog::Remember() const {
    QSettings remembered;
    const int item = m_size->currentIndex();
    remembered.setValue(kSizeKey, item == kViewSizeItem    ? "view"
                                  : item == kTypedSizeItem ? "typed"
                                                           : "preset");
    remembered.setValue(kWidthKey, m_width->value());
    remembered.setValue(kHeightKey, m_height->value());
    remembered.setValue(kAntialiasKey, m_antialias->currentIndex() + 1);
    remembered.setValue(kBackgroundKey, kBackgroundNames[m_background->currentIndex()]);
    remembered.setValue(kColourKey, m_colour.name());
    remembered.setValue(kFitKey, m_fit->isChecked());
    remembered.setValue(kMarginKey, m_margin->value());
}

void CSavePictureDialog::SizeChosen(int index) {
    // The boxes show every size; they take typing only for the typed one.
    const bool typed = index == kTypedSizeItem;
    m_width->setEnabled(typed);
    m_height->setEnabled(typed);
    if (typed) {
        return;
    }
    const QSize size = index == kViewSizeItem ? m_viewSize : kPresetSizes[index - 1];
    m_width->setValue(size.width());
    m_height->setValue(size.height());
}

void CSavePictureDialog::BackgroundActivated(int index) {
    if (index == kColourItem) {
        AskForColour();
    }
    m_shownBackground = m_background->currentIndex();
}

void CSavePictureDialog::AskForColour() {
    const QColor colour = QColorDialog::getColor(m_colour, this, "Background Colour");
    if (colour.isValid()) {
        SetBackgroundColour(colour);
    } else {
        // Cancelled: the background stays what it was before the colour item was picked.
        m_background->setCurrentIndex(m_shownBackground);
    }
}

void CSavePictureDialog::ShowBackground() {
    m_swatch->setIcon(SwatchIcon(m_colour));
    m_swatch->setVisible(m_background->currentIndex() == kColourItem);
}

CPictureSaveSettings CSavePictureDialog::Settings() const {
    CPictureSaveSettings settings;
    settings.width = m_width->value();
    settings.height = m_height->value();
    settings.antialias = m_antialias->currentIndex() + 1;
    settings.background = static_cast<EPictureBackground>(m_background->currentIndex());
    settings.colour = m_colour.rgb() & 0xFFFFFFu;
    settings.fitPiece = m_fit->isChecked();
    settings.margin = static_cast<float>(m_margin->value());
    return settings;
}

void CSavePictureDialog::SetTypedSize(int width, int height) {
    m_size->setCurrentIndex(kTypedSizeItem);
    m_width->setValue(width);
    m_height->setValue(height);
}

void CSavePictureDialog::SetAntialias(int samplesPerSide) {
    m_antialias->setCurrentIndex(samplesPerSide - 1);
}

void CSavePictureDialog::SetBackground(EPictureBackground background) {
    m_background->setCurrentIndex(static_cast<int>(background));
    m_shownBackground = m_background->currentIndex();
}

void CSavePictureDialog::SetBackgroundColour(const QColor& colour) {
    m_colour = colour;
    SetBackground(EPictureBackground::kColour);
    ShowBackground();
}

void CSavePictureDialog::SetFitPiece(bool fit, int margin) {
    m_fit->setChecked(fit);
    m_margin->setValue(margin);
    m_margin->setEnabled(fit);
}

PictureFileChooser SetPictureFileChooser(PictureFileChooser chooser) {
    PictureFileChooser previous = std::move(g_chooser);
    g_chooser = std::move(chooser);
    return previous;
}

std::optional<CPictureSaveSettings> AskForPictureToSave(QWidget* parent, QSize viewSize,
                                                        const std::string& scenePath) {
    CSavePictureDialog dialog(viewSize, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    dialog.Remember();
    CPictureSaveSettings settings = dialog.Settings();
    const bool pngOnly = settings.background == EPictureBackground::kTransparent;
    const std::string suggested = SuggestedPicturePath(scenePath, pngOnly);
    settings.path = g_chooser ? g_chooser(parent, suggested, pngOnly)
                              : AskForPictureFile(parent, suggested, pngOnly);
    if (settings.path.empty()) {
        return std::nullopt;
    }
    // A name without an extension still gives a file that opens as a picture.
    if (QFileInfo(QString::fromStdString(settings.path)).suffix().isEmpty()) {
        settings.path += ".png";
    }
    RememberPictureFile(settings.path);
    return settings;
}

}  // namespace orva
