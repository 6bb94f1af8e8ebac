#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/measure_job.h"
#include "app/report_pictures_job.h"

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QTableWidget;

namespace orva {

class COrvaDoc;

// Asks where the report's PDF goes, suggesting `suggested`; empty when the user cancels. A
// file dialog asks unless a chooser is installed: tests answer without a dialog.
using ReportPdfChooser = std::function<std::string(QWidget* parent, const std::string& suggested)>;

// Installs a chooser (null restores the file dialog) and returns the one it replaces.
ReportPdfChooser SetReportPdfChooser(ReportPdfChooser chooser);

// The jeweller's report on the open scene: metal volume and weight per material, the stones
// and their carats. The scene is measured on a thread of its own while the window says
// "Measuring…"; another alloy weighs the measured metal again without measuring it again.
// Save PDF… and Print… put the report on paper, with two pictures of the piece rendered in the
// background the first time either is asked for.
class CJewelReportWindow : public QWidget {
    Q_OBJECT

public:
    // What the alloy box offers first: each material weighed as the alloy it names.
    static constexpr char kOwnAlloys[] = "As the materials say";

    CJewelReportWindow(COrvaDoc& document, QWidget* parent);
    ~CJewelReportWindow() override;

    // Shows the window, measuring the scene on `threads` (below 1: one per core) unless its
    // report is already there.
    void ShowReport(int threads);
    // Stops the measurement and waits for it: call before the scene changes. Its result is
    // never shown.
    void StopMeasuring();
    // The document's scene was replaced: a shown window measures the new one.
    void SceneChanged();
    bool Measuring() const { return m_job.Running(); }

    // The controls, for tests.
    QLabel& StatusLabel() { return *m_status; }
    QLabel& SceneLabel() { return *m_scene; }
    QLabel& WarningBand() { return *m_warning; }
    QLabel& OverlapLabel() { return *m_overlap; }
    QLabel& RingLabel() { return *m_ring; }
    QLabel& MetalVolumeLabel() { return *m_metalVolume; }
    QComboBox& AlloyBox() { return *m_alloy; }
    QTableWidget& MetalsTable() { return *m_metals; }
    QTableWidget& GemsTable() { return *m_gems; }
    QPushButton& CopyButton() { return *m_copy; }
    QPushButton& SavePdfButton() { return *m_savePdf; }
    QPushButton& PrintButton() { return *m_print; }
    QLabel& PaperStatus() { return *m_paperStatus; }
    // Counters for tests: measurements started, and reports shown from their results.
    int MeasurementsStarted() const { return m_measurementsStarted; }
    int ReportsShown() const { return m_reportsShown; }

signals:
    // A measurement's report is shown.
    void reportShown();
    // Save PDF… wrote `path`, or failed to.
    void pdfSaved(const QString& path, bool written);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Measure();
    void MeasureDone(int64_t serial, const CJewelReport& report);
    // Weighs the report's metal as the alloy box says and shows it.
    void AlloyChanged();
    void ShowFigures();
    void ShowMetals();
    void ShowGems();
    void ClearFigures(const QString& status);
    void CopyText();
    void PlaceBesideMainWindow();
    void SavePdf();
    void Print();
    enum class EPaper { kNone, kPdf, kPrint };
    // Does what `paper` asks once the pictures are there, rendering them first when needed.
    void WithPictures(EPaper paper);
    void PicturesDone(int64_t serial, std::shared_ptr<const CReportPictures> pictures);
    void PutOnPaper();
    void EnablePaper(bool enabled);

    COrvaDoc& m_document;
    CMeasureJob m_job;
    int m_threads = 1;
    // Tells the measurement still wanted from one stopped or replaced: only its result lands.
    int64_t m_serial = 0;
    std::optional<CJewelReport> m_report;
    QLabel* m_scene;
    QLabel* m_warning;  // shown only over the figures of a file that ends early
    QLabel* m_status;
    QLabel* m_metalVolume;
    QLabel* m_metalWeight;
    QLabel* m_overlap;
    QLabel* m_ring;  // the ring's size, shown only for a ring
    QLabel* m_stones;
    QComboBox* m_alloy;
    QTableWidget* m_metals;
    QTableWidget* m_gems;
    QPushButton* m_copy;
    QPushButton* m_savePdf;
    QPushButton* m_print;
    QLabel* m_paperStatus;  // what became of the last Save PDF… or Print…
    CReportPicturesJob m_picturesJob;
    // The pictures of the scene measured; they do not change with the alloy.
    std::shared_ptr<const CReportPictures> m_pictures;
    EPaper m_paperWanted = EPaper::kNone;
    std::string m_pdfPath;
    std::unique_ptr<QPrinter> m_printer;  // as the print dialog set it up
    int m_measurementsStarted = 0;
    int m_reportsShown = 0;
    bool m_placed = false;  // placed beside the main window once; the user moves it after
};

}  // namespace orva
