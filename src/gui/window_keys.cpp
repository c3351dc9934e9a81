#include "gui/window_keys.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <algorithm>

namespace meridel::gui {

void pressButtonsOnEnter(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) button->setAutoDefault(true);
}

namespace {

// The title bar and borders of a window not yet shown are not known; these are generous.
const QMargins kGuessedFrame(4, 30, 4, 4);

}  // namespace

void bringToFront(QWidget* window, QWidget* first) {
    if (!window->isVisible()) {
        if (first) first->setFocus();
        fitToScreen(window);
    }
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

QRect fittedFrame(QRect frame, const QRect& available) {
    frame.setSize(frame.size().boundedTo(available.size()));
    frame.moveLeft(
        std::clamp(frame.left(), available.left(), available.right() - frame.width() + 1));
    frame.moveTop(
        std::clamp(frame.top(), available.top(), available.bottom() - frame.height() + 1));
    return frame;
}

void fitToScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // pos() is where the frame goes, also before the window manager has drawn one.
    const QRect client = window->geometry();
    const QRect outer = window->frameGeometry();
    const QMargins frame =
        outer != client ? QMargins(client.left() - outer.left(), client.top() - outer.top(),
                                   outer.right() - client.right(), outer.bottom() - client.bottom())
                        : kGuessedFrame;
    const QRect wanted(window->pos(), client.size().grownBy(frame));
    const QRect fitted = fittedFrame(wanted, screen->availableGeometry());
    if (fitted == wanted) return;
    // Placed by its client area: a window manager that has not framed the window yet would
    // otherwise put the title bar above the screen.
    window->setGeometry(QRect(fitted.topLeft() + QPoint(frame.left(), frame.top()),
                              fitted.size().shrunkBy(frame).expandedTo(window->minimumSize())));
}

QString toolTitle(const QString& what) {
    return what + QStringLiteral(" - MERIDEL");
}

void showReadOnly(QLineEdit* edit, bool readOnly) {
    edit->setReadOnly(readOnly);
    QPalette palette = edit->parentWidget() ? edit->parentWidget()->palette() : edit->palette();
    if (readOnly) palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

void fillTable(QTableWidget* table, const std::vector<std::vector<std::string>>& rows) {
    table->setUpdatesEnabled(false);
    table->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            const QString text = QString::fromStdString(rows[row][column]);
            QTableWidgetItem* item = table->item(static_cast<int>(row), static_cast<int>(column));
            if (item) {
                item->setText(text);
                continue;
            }
            item = new QTableWidgetItem(text);
            if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    table->resizeColumnsToContents();
    table->setUpdatesEnabled(true);
}

}  // namespace meridel::gui
