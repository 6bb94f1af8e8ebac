#pragma once

#include <QColor>
#include <QDialog>
#include <QSize>

#include <functional>
#include <optional>
#include <string>

#include "picture/picture_save_settings.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QToolButton;

namespace orva {

// Asks how a picture of the view is saved: its size (the view's, a preset or typed), its
// anti-aliasing, its background (a colour among them) and whether it fits the whole piece.
// It opens with the choices of the last save, of this run or an earlier one. The file is
// asked for afterwards.
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
    // Chooses a background of `colour`, as the colour dialog does.
    void SetBackgroundColour(const QColor& colour);
    // Fits the piece leaving `margin` percent free on each side, or shows the view as it is.
    void SetFitPiece(bool fit, int margin);
    // Keeps the choices for the next dialog, in this run and the next.
    void Remember() const;

private:
    void Recall();
    void SizeChosen(int index);
    // The user picked a background: the colour item asks for its colour.
    void BackgroundActivated(int index);
    void AskForColour();
    void ShowBackground();

    QSize m_viewSize;
    QComboBox* m_size;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QComboBox* m_antialias;
    QComboBox* m_background;
    QToolButton* m_swatch;
    QCheckBox* m_fit;
    QSpinBox* m_margin;
    QColor m_colour;
    int m_shownBackground = 0;  // the background item before the one being picked
};

// Asks for the file a picture is saved to, suggesting `suggested` (only PNG when `pngOnly`);
// empty when the user cancels. A file dialog asks unless a chooser is installed: tests answer
// without a dialog.
using PictureFileChooser =
    std::function<std::string(QWidget* parent, const std::string& suggested, bool pngOnly)>;

// Installs a chooser (null restores the file dialog) and returns the one it replaces.
PictureFileChooser SetPictureFileChooser(PictureFileChooser chooser);

// Asks for the settings, then for the file (PNG alone for a transparent background; a name
// without an extension gets the chosen type's); nothing when the user cancels either. The
// file suggested is the scene's name (at `scenePath`; "picture" with none) with the type
// last saved, in the folder last saved to, or the scene's folder before any save. The choices
// and the folder are remembered for the next time.
std::optional<CPictureSaveSettings> AskForPictureToSave(QWidget* parent, QSize viewSize,
                                                        const std::string& scenePath);

}  // namespace orva
