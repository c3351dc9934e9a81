#pragma once

#include <QRect>
#include <string>
#include <vector>

class QLineEdit;
class QTableWidget;
class QWidget;

namespace meridel::gui {

// Enter presses the focused button of `window`, as Windows programs do (Qt does this only in
// dialogs). Call once the buttons exist.
void pressButtonsOnEnter(QWidget* window);

// A tool window opened from the menu: restored when minimized, fitted to its screen, shown,
// raised and activated. A window that was closed starts again with the keyboard in `first`.
void bringToFront(QWidget* window, QWidget* first = nullptr);

// The outer rectangle of a window moved, and shrunk where it must be, to lie within `available`
// (the screen less its panels): a window that fits keeps its size.
QRect fittedFrame(QRect frame, const QRect& available);

// Moves and shrinks a window so that its frame lies on the screen it opens on.
void fitToScreen(QWidget* window);

// A tool window's title: what it shows, then the program's name.
QString toolTitle(const QString& what);

// A field the user cannot change looks it: the window's background instead of an input's.
void showReadOnly(QLineEdit* edit, bool readOnly);

// Fills a table with text rows, first column left and the others right aligned, and fits the
// columns to their contents once: measuring per cell as rows arrive would take seconds for a
// thousand rows.
void fillTable(QTableWidget* table, const std::vector<std::vector<std::string>>& rows);

}  // namespace meridel::gui
