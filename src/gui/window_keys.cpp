#include "gui/window_keys.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace meridel::gui {

void pressButtonsOnEnter(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) button->setAutoDefault(true);
}

void bringToFront(QWidget* window) {
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
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
