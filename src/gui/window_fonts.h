#pragma once

#include <QFont>

class QComboBox;
class QLabel;

namespace meridel::gui {

// The windows' fonts. The layout was drawn for MS Sans Serif and Arial; an Arial-metric face
// (Liberation Sans on Linux) stands in for both, at the same point sizes.
QFont windowFont(double points, bool bold);

// A caption that does not fit the part of its label the window shows (wrapped as the label
// wraps it) is set a few percent narrower, just enough, rather than clipped. Call again after
// the caption changes.
void fitCaption(QLabel* label);

// The same for the entries of a combo box, in the edit field beside its drop-down arrow.
void fitEntries(QComboBox* combo);

}  // namespace meridel::gui
