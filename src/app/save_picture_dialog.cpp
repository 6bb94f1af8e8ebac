#include "app/save_picture_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

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

QString SizeText(QSize size) {
    return QString("%1 x %2").arg(size.width()).arg(size.height());
}

// The file dialog; a name typed without an extension gets that of the chosen type, so that
// the file still opens as a picture.
std::string AskForPictureFile(QWidget* parent, bool pngOnly) {
    QString filter = "PNG pictures (*.png)";
    if (!pngOnly) {
        filter += ";;JPEG pictures (*.jpg *.jpeg);;BMP pictures (*.bmp)";
    }
    QString chosenFilter;
    QString path =
        QFileDialog::getSaveFileName(parent, "Save Picture", QString(), filter, &chosenFilter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        path += chosenFilter.startsWith("JPEG")  ? ".jpg"
                : chosenFilter.startsWith("BMP") ? ".bmp"
                                                 : ".png";
    }
    return path.toStdString();
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
      m_background(new QComboBox(this)) {
    setWindowTitle("Save Picture");
    m_size->addItem("View size (" + SizeText(m_viewSize) + ")");
    for (const QSize& size : kPresetSizes) {
        m_size->addItem(SizeText(size));
    }
    m_size->addItem("Other size");
    m_antialias->addItems({"Off", "2 x 2 samples", "3 x 3 samples", "4 x 4 samples"});
    m_antialias->setCurrentIndex(kDefaultAntialias - 1);
    m_background->addItems({"Window grey", "White", "Transparent (PNG)"});

    auto* sides = new QHBoxLayout;
    sides->addWidget(m_width);
    sides->addWidget(new QLabel("x", this));
    sides->addWidget(m_height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Save\u2026");
    auto* form = new QFormLayout(this);
    form->addRow("Size:", m_size);
    form->addRow("Width x height:", sides);
    form->addRow("Anti-aliasing:", m_antialias);
    form->addRow("Background:", m_background);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_size, &QComboBox::currentIndexChanged, this, [this](int i) { SizeChosen(i); });
    SizeChosen(kViewSizeItem);
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

CPictureSaveSettings CSavePictureDialog::Settings() const {
    CPictureSaveSettings settings;
    settings.width = m_width->value();
    settings.height = m_height->value();
    settings.antialias = m_antialias->currentIndex() + 1;
    settings.background = static_cast<EPictureBackground>(m_background->currentIndex());
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
}

PictureFileChooser SetPictureFileChooser(PictureFileChooser chooser) {
    PictureFileChooser previous = std::move(g_chooser);
    g_chooser = std::move(chooser);
    return previous;
}

std::optional<CPictureSaveSettings> AskForPictureToSave(QWidget* parent, QSize viewSize) {
    CSavePictureDialog dialog(viewSize, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    CPictureSaveSettings settings = dialog.Settings();
    const bool pngOnly = settings.background == EPictureBackground::kTransparent;
    settings.path = g_chooser ? g_chooser(parent, pngOnly) : AskForPictureFile(parent, pngOnly);
    if (settings.path.empty()) {
        return std::nullopt;
    }
    // A name without an extension still gives a file that opens as a picture.
    if (QFileInfo(QString::fromStdString(settings.path)).suffix().isEmpty()) {
        settings.path += ".png";
    }
    return settings;
}

}  // namespace orva
