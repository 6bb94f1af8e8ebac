#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <optional>
#include <string>

#include "app/save_picture_dialog.h"
#include "private_settings.h"

namespace orva {

class SavePictureDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().remove("savePicture"); }
    void theSceneNameIsSuggestedWhereTheLastPictureWent();
    void choicesAreRememberedOnceTheDialogIsAccepted();
    void strangeRememberedChoicesGiveTheFirstOnes();
    void theChosenColourIsShownBesideTheBackground();

private:
    // Runs Save Picture for the scene at `scenePath`, letting `choose` set the dialog, and
    // answers the file chooser with `answer`; what it was offered goes to m_offered. The
    // settings have no path when nothing is to be saved.
    CPictureSaveSettings Save(const std::string& scenePath, const std::string& answer,
                              const std::function<void(CSavePictureDialog&)>& choose,
                              bool accept = true);

    test::CPrivateSettings m_settings;
    QString m_offered;
    bool m_pngOnly = false;
};

CPictureSaveSettings SavePictureDialogTest::Save(
    const std::string& scenePath, const std::string& answer,
    const std::function<void(CSavePictureDialog&)>& choose, bool accept) {
    m_offered = "nothing offered";
    const PictureFileChooser previous =
        SetPictureFileChooser([&](QWidget*, const std::string& suggested, bool pngOnly) {
            m_offered = QString::fromStdString(suggested);
            m_pngOnly = pngOnly;
            return answer;
        });
    QTimer dialogWatch;
    QObject::connect(&dialogWatch, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<CSavePictureDialog*>(QApplication::activeModalWidget())) {
            dialogWatch.stop();
            if (choose) {
                choose(*dialog);
            }
            accept ? dialog->accept() : dialog->reject();
        }
    });
    dialogWatch.start(10);
    std::optional<CPictureSaveSettings> settings =
        AskForPictureToSave(nullptr, QSize(640, 480), scenePath);
    SetPictureFileChooser(previous);
    return settings.value_or(CPictureSaveSettings{});
}

void SavePictureDialogTest::theSceneNameIsSuggestedWhereTheLastPictureWent() {
    const QTemporaryDir pictures;
    const std::string ring = "/work/jewels/samples/solitaire_ring.orv";
    const std::string shot = QDir(pictures.path()).filePath("shot.jpg").toStdString();
    // Before any save: beside the scene, as PNG; the file chosen is the one saved to.
    QCOMPARE(QString::fromStdString(Save(ring, shot, {}).path), QString::fromStdString(shot));
    QCOMPARE(m_offered, QString("/work/jewels/samples/solitaire_ring.png"));
    QVERIFY(!m_pngOnly);
    // Then in the folder and as the type of the last picture saved.
    const QString folder = QDir(pictures.path()).absolutePath();
    Save(ring, shot, {});
    QCOMPARE(m_offered, folder + "/solitaire_ring.jpg");
    Save("", shot, {});
    QCOMPARE(m_offered, folder + "/picture.jpg");
    // A transparent picture can only be a PNG.
    Save(ring, shot,
         [](CSavePictureDialog& d) { d.SetBackground(EPictureBackground::kTransparent); });
    QCOMPARE(m_offered, folder + "/solitaire_ring.png");
    QVERIFY(m_pngOnly);
    // A name without extension is saved as PNG; a folder since removed is no longer offered.
    const std::string gone = QDir(pictures.path()).filePath("gone/shot").toStdString();
    QCOMPARE(QString::fromStdString(Save(ring, gone, {}).path),
             QString::fromStdString(gone) + ".png");
    Save(ring, shot, {});
    QCOMPARE(m_offered, QString("/work/jewels/samples/solitaire_ring.png"));
    // Nothing is saved when the chooser is cancelled.
    QVERIFY(Save(ring, "", {}).path.empty());
    QSettings().remove("savePicture");
    Save("", shot, {});
    QCOMPARE(m_offered, QDir::home().filePath("picture.png"));
}

void SavePictureDialogTest::choicesAreRememberedOnceTheDialogIsAccepted() {
    // The first choices save the view as shown, at its size, as before they were remembered.
    CPictureSaveSettings first = CSavePictureDialog(QSize(300, 200)).Settings();
    QCOMPARE(first.width, 300);
    QCOMPARE(first.height, 200);
    QCOMPARE(first.antialias, 3);
    QVERIFY(first.background == EPictureBackground::kWindow);
    QVERIFY(!first.fitPiece);
    // The view's size is remembered as the view's, whatever size it has next.
    Save("", "a.png", {});
    QCOMPARE(CSavePictureDialog(QSize(500, 400)).Settings().width, 500);
    const auto choose = [](CSavePictureDialog& dialog) {
        dialog.SetTypedSize(1234, 567);
        dialog.SetAntialias(4);
        dialog.SetBackgroundColour(QColor(0x2A, 0x6B, 0x9C));
        dialog.SetFitPiece(true, 12);
    };
    const CPictureSaveSettings chosen = Save("", "a.png", choose);
    QCOMPARE(chosen.path, std::string("a.png"));
    for (const CPictureSaveSettings& s : {chosen, CSavePictureDialog(QSize(300, 200)).Settings()}) {
        QCOMPARE(s.width, 1234);
        QCOMPARE(s.height, 567);
        QCOMPARE(s.antialias, 4);
        QVERIFY(s.background == EPictureBackground::kColour);
        QCOMPARE(s.colour, 0x2A6B9Cu);
        QVERIFY(s.fitPiece);
        QCOMPARE(s.margin, 12.0f);
    }
    // A cancelled dialog keeps the choices of the last save.
    Save(
        "", "b.png", [](CSavePictureDialog& d) { d.SetFitPiece(false, 0); }, false);
    QVERIFY(CSavePictureDialog(QSize(300, 200)).Settings().fitPiece);
}

void SavePictureDialogTest::strangeRememberedChoicesGiveTheFirstOnes() {
    QSettings settings;
    settings.setValue("savePicture/size", "typed");
    settings.setValue("savePicture/width", -5);
    settings.setValue("savePicture/antialias", 9);
    settings.setValue("savePicture/background", "purple");
    settings.setValue("savePicture/colour", "no colour");
    settings.setValue("savePicture/fitPiece", true);
    settings.setValue("savePicture/margin", 80);
    settings.setValue("savePicture/format", "gif");
    const CPictureSaveSettings s = CSavePictureDialog(QSize(300, 200)).Settings();
    QCOMPARE(s.width, 300);
    QCOMPARE(s.antialias, 3);
    QVERIFY(s.background == EPictureBackground::kWindow);
    QCOMPARE(s.colour, 0xFFFFFFu);
    QCOMPARE(s.margin, 45.0f);  // the largest the command line takes
    Save("/samples/ring.orv", "a.png", {});
    QCOMPARE(m_offered, QString("/samples/ring.png"));
}

void SavePictureDialogTest::theChosenColourIsShownBesideTheBackground() {
    CSavePictureDialog dialog(QSize(800, 600));
    auto* swatch = dialog.findChild<QToolButton*>();
    QVERIFY(swatch != nullptr);
    dialog.SetBackgroundColour(QColor(0x2A, 0x6B, 0x9C));
    dialog.SetFitPiece(true, 10);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(swatch->isVisible());
    const QImage button = swatch->grab().toImage();
    QCOMPARE(button.pixelColor(button.rect().center()), QColor(0x2A, 0x6B, 0x9C));
    QDir().mkpath(ORVA_SCREENSHOT_DIR);
    dialog.grab().save(QDir(ORVA_SCREENSHOT_DIR).filePath("save_picture_dialog.png"));
    // Another background has no colour to show.
    dialog.SetBackground(EPictureBackground::kWhite);
    QVERIFY(!swatch->isVisible());
}

}  // namespace orva

QTEST_MAIN(orva::SavePictureDialogTest)
#include "save_picture_dialog_test.moc"
