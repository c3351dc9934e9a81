#pragma once

#include <string>
#include <vector>

class QLineEdit;
class QTableWidget;
class QWidget;

namespace meridel::gui {

// Enter presses the focused button of `window`, as Windows programs do (Qt does this only in
// dialogs). Call once the buttons exist.
void pressButtonsOnEnter(QWidget* window);

// A tool window opened from the menu: restored when minimized, shown, raised and activated.
void bringToFront(QWidget* window);

// A field the user cannot change looks it: the window's background instead of an input's.
void showReadOnly(QLineEdit* edit, bool readOnly);

// Fills a table with text rows, first column left and the others right aligned, and fits the
// columns to their contents once: measuring per cell as rows arrive would take seconds for a
// thousand rows.
void fillTable(QTableWidget* table, const std::vector<std::vector<std::string>>& rows);

}  // namespace meridel::gui
