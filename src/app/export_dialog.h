#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "app/mesh_export_job.h"

class QComboBox;

namespace orva {

// Asks which parts of the piece are exported and how finely; the file is asked for
// afterwards. It opens with the choices of the last export.
class CExportDialog : public QDialog {
    Q_OBJECT

public:
    explicit CExportDialog(QWidget* parent = nullptr);

    // The choices; the path is left empty.
    CMeshExportSettings Settings() const;
    void SetParts(EMeshParts parts);
    // Chooses the listed resolution nearest to `millimetres`.
    void SetResolution(double millimetres);

private:
    QComboBox* m_parts;
    QComboBox* m_resolution;
};

// Asks for the file the export goes to, suggesting `suggested`; empty when the user cancels.
// A file dialog asks unless a chooser is installed: tests answer without a dialog.
using ExportFileChooser = std::function<std::string(QWidget* parent, const std::string& suggested)>;

// Installs a chooser (null restores the file dialog) and returns the one it replaces.
ExportFileChooser SetExportFileChooser(ExportFileChooser chooser);

// Asks for the parts and the resolution, then for the file, suggesting the scene's name with
// the last format used beside `scenePath`; a name without ".stl", ".3mf", ".glb" or ".html"
// gets the chosen type's. Nothing when the user cancels either. The choices are remembered for the
// next time.
std::optional<CMeshExportSettings> AskForExport(QWidget* parent, const std::string& scenePath);

}  // namespace orva
