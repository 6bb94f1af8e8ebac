#include "app/keys_and_mouse_window.h"

#include <QAction>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orva {

namespace {

// What the mouse does in the view; the keys come from the menus.
const CKeyHelpLine kMouseLines[] = {
    {"Left drag", "Rotate"},
    {"Ctrl+Left drag", "Pan"},
    {"Right drag, or the wheel", "Zoom"},
    {"Ctrl+Right drag, or Ctrl+wheel", "Roll"},
    {"Left click while rendering", "Stop the render"},
    {"Drop an .orv file on the window", "Open it"},
};

QString PlainText(const QAction& action) {
    return QString(action.text()).remove('&').remove(u'\u2026');
}

void AddMenuLines(const QMenu& menu, const QString& path, std::vector<CKeyHelpLine>& lines) {
    for (const QAction* action : menu.actions()) {
        const QString here = path + QStringLiteral(" \u25b8 ") + PlainText(*action);
        if (action->menu() != nullptr) {
            AddMenuLines(*action->menu(), here, lines);
            continue;
        }
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts()) {
            keys << key.toString(QKeySequence::NativeText);
        }
        if (!keys.isEmpty()) {
            lines.push_back({keys.join(", "), here});
        }
    }
}

}  // namespace

std::vector<CKeyHelpLine> KeysAndMouseLines(const QMenuBar& menus) {
    std::vector<CKeyHelpLine> lines;
    for (const QAction* entry : menus.actions()) {
        if (entry->menu() != nullptr) {
            AddMenuLines(*entry->menu(), PlainText(*entry), lines);
        }
    }
    lines.insert(lines.end(), std::begin(kMouseLines), std::end(kMouseLines));
    return lines;
}

CKeysAndMouseWindow::CKeysAndMouseWindow(const QMenuBar& menus, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Keys and Mouse");
    const std::vector<CKeyHelpLine> lines = KeysAndMouseLines(menus);
    auto* table = new QTableWidget(static_cast<int>(lines.size()), 2, this);
    table->setHorizontalHeaderLabels({"Press or drag", "To"});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->setShowGrid(false);
    for (int row = 0; row < table->rowCount(); ++row) {
        const CKeyHelpLine& line = lines[static_cast<size_t>(row)];
        table->setItem(row, 0, new QTableWidgetItem(line.input));
        table->setItem(row, 1, new QTableWidgetItem(line.does));
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    // Tall enough for every line where the screen allows, so that nothing has to be scrolled.
    const int height = table->horizontalHeader()->height() + table->verticalHeader()->length() +
                       2 * table->frameWidth();
    const int width = table->horizontalHeader()->length() + 2 * table->frameWidth();
    table->setMinimumSize(width, std::min(height, 700));
}

}  // namespace orva
