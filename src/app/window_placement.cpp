#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace orva {

namespace {

constexpr char kNormalGeometryKey[] = "MainWindow/normalGeometry";
constexpr char kMaximisedKey[] = "MainWindow/maximised";
// A kept place smaller than this, or one off every part of the screen (a monitor unplugged
// since), is not worth restoring: the first-start place is used instead.
constexpr QSize kSmallestKeptSize(320, 240);
// Room left above a restored window for the title bar a window manager puts over it.
constexpr int kTitleBarAllowance = 32;

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

QRect PlaceOnScreen(const QRect& kept, const QRect& availableScreen) {
    if (!Usable(kept, availableScreen)) {
        return FirstStartGeometry(availableScreen);
    }
    const QRect room = availableScreen.adjusted(0, kTitleBarAllowance, 0, 0);
    QRect placed(kept.topLeft(), kept.size().boundedTo(room.size()));
    placed.moveLeft(std::clamp(placed.left(), room.left(), room.right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), room.top(), room.bottom() - placed.height() + 1));
    return placed;
}

void RestoreWindowPlacement(QWidget& window) {
    const QSettings settings;
    const QRect available = AvailableScreen(window);
    const QRect kept = settings.value(kNormalGeometryKey).toRect();
    const bool firstStart = !Usable(kept, available);
    window.setGeometry(PlaceOnScreen(kept, available));
    // Full screen is for the moment only: a new run starts at most maximised.
    const bool maximised = firstStart || settings.value(kMaximisedKey).toBool();
    Qt::WindowStates state = window.windowState() & ~Qt::WindowFullScreen;
    state.setFlag(Qt::WindowMaximized, maximised);
    window.setWindowState(state);
}

void SaveWindowPlacement(const QWidget& window, const QRect& normalGeometry) {
    QSettings settings;
    settings.setValue(kNormalGeometryKey,
                      normalGeometry.isValid() ? normalGeometry : window.normalGeometry());
    settings.setValue(kMaximisedKey, window.isMaximized());
}

bool InNormalState(const QWidget& window) {
    return (window.windowState() &
            (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) == 0;
}

}  // namespace orva
