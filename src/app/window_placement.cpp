#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace orva {

namespace {

constexpr char kNormalGeometryKey[] = "MainWindow/normalGeometry";
constexpr char kMaximisedKey[] = "MainWindow/maximised";
// A kept place smaller than this, or one off every part of the screen (a monitor unplugged
// since), is not worth restoring: the first-start place is used instead.
constexpr QSize kSmallestKeptSize(320, 240);

QRect AvailableScreen(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

bool Usable(const QRect& kept, const QRect& available) {
    return kept.width() >= kSmallestKeptSize.width() &&
           kept.height() >= kSmallestKeptSize.height() && available.intersects(kept);
}

}  // namespace

QRect FirstStartGeometry(const QRect& availableScreen) {
    QRect geometry(QPoint(), availableScreen.size() * 2 / 3);
    geometry.moveCenter(availableScreen.center());
    return geometry;
}

void RestoreWindowPlacement(QWidget& window) {
    const QSettings settings;
    const QRect available = AvailableScreen(window);
    const QRect kept = settings.value(kNormalGeometryKey).toRect();
    const bool firstStart = !Usable(kept, available);
    window.setGeometry(firstStart ? FirstStartGeometry(available) : kept);
    // Full screen is for the moment only: a new run starts at most maximised.
    const bool maximised = firstStart || settings.value(kMaximisedKey).toBool();
    Qt::WindowStates state = window.windowState() & ~Qt::WindowFullScreen;
    state.setFlag(Qt::WindowMaximized, maximised);
    window.setWindowState(state);
}

void SaveWindowPlacement(const QWidget& window) {
    QSettings settings;
    settings.setValue(kNormalGeometryKey, window.normalGeometry());
    settings.setValue(kMaximisedKey, window.isMaximized());
}

}  // namespace orva
