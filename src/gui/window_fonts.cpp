#include "gui/window_fonts.h"

#include <QComboBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace meridel::gui {
namespace {

// The faces with Arial's metrics; the generic sans-serif (often wider) is the last resort.
const QStringList& arialMetricFamilies() {
    static const QStringList families = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                         QStringLiteral("Helvetica")};
    return families;
}

// A label may start left of the client area: only the part the window shows counts.
bool captionFits(const QLabel* label) {
    const QRect room = label->contentsRect();
    const QRect shown =
        room.intersected(QRect(label->mapFromParent(QPoint(0, 0)), label->parentWidget()->size()));
    const int flags = static_cast<int>(label->alignment()) | Qt::TextWordWrap;
    return shown.contains(label->fontMetrics().boundingRect(room, flags, label->text()));
}

// QLineEdit keeps 2 pixels free on either side of its text.
bool entriesFit(const QComboBox* combo) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    option.rect = QRect(QPoint(0, 0), combo->size());
    const int room =
        combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
            .width() -
        4;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->fontMetrics().horizontalAdvance(combo->itemText(i)) > room) return false;
    }
    return true;
}

// The widths were drawn for fonts a little narrower than any Arial-metric face; the face and
// its height stay those of the other controls.
template <typename Widget, typename Fits>
void narrowUntilItFits(Widget* widget, Fits fits) {
    constexpr int kNarrowestStretch = 70;
    QFont font = widget->font();
    if (font.stretch() != QFont::Unstretched) {  // a new caption may fit at full width again
        font.setStretch(QFont::Unstretched);
        widget->setFont(font);
    }
    for (int stretch = 99; !fits(widget) && stretch >= kNarrowestStretch; --stretch) {
        font.setStretch(stretch);
        widget->setFont(font);
    }
}

}  // namespace

QFont windowFont(double points, bool bold) {
    QFont font;
    font.setFamilies(arialMetricFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void fitCaption(QLabel* label) {
    narrowUntilItFits(label, captionFits);
}

void fitEntries(QComboBox* combo) {
    narrowUntilItFits(combo, entriesFit);
}

}  // namespace meridel::gui
