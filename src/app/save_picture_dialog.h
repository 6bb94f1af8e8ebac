#pragma once

#include <QDialog>
#include <QSize>

#include <functional>
#include <optional>
#include <string>

#include "picture/picture_save_settings.h"

class QComboBox;
class QSpinBox;

namespace orva {

// Asks how a picture of the view is saved: its size (the view's, a preset or typed), its
// anti-aliasing and its background. The file is asked for afterwards.
class CSavePictureDialog : public QDialog {
    Q_OBJECT

public:
    CSavePictureDialog(QSize viewSize, QWidget* parent = nullptr);

    // The choices; the path is left empty.
    CPictureSaveSettings Settings() const;
    // Chooses a typed size, as if entered by hand.
    void SetTypedSize(int width, int height);
    void SetAntialias(int samplesPerSide);
    void SetBackground(EPictureBackground background);

private:
    void SizeChosen(int index);

    QSize m_viewSize;
    QComboBox* m_size;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QComboBox* m_antialias;
    QComboBox* m_background;
};

// Asks for the file a picture is saved to (only PNG when `pngOnly`); empty when the user
// cancels. A file dialog asks unless a chooser is installed: tests answer without a dialog.
using PictureFileChooser = std::function<std::string(QWidget* parent, bool pngOnly)>;

// Installs a chooser (null restores the file dialog) and returns the one it replaces.
PictureFileChooser SetPictureFileChooser(PictureFileChooser chooser);

// Asks for the settings, then for the file (PNG alone for a transparent background; a name
// without an extension gets the chosen type's); nothing when the user cancels either.
std::optional<CPictureSaveSettings> AskForPictureToSave(QWidget* parent, QSize viewSize);

}  // namespace orva
