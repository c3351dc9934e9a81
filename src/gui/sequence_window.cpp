#include "gui/sequence_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "gui/window_keys.h"

namespace meridel::gui {
namespace {

QColor kindColour(const std::string& kind) {
    static const std::map<std::string, QColor> colours = {
        {"pi4", QColor(0x4c, 0x72, 0xb0)},     {"cw", QColor(0xdd, 0x84, 0x52)},
        {"carrier", QColor(0x55, 0xa8, 0x68)}, {"wspr", QColor(0x81, 0x72, 0xb2)},
        {"jt65", QColor(0x93, 0x78, 0x60)},    {"jt4", QColor(0xda, 0x8b, 0xc3)},
        {"rtty", QColor(0x8c, 0x8c, 0x8c)},    {"fsk441", QColor(0xcc, 0xb9, 0x74)},
        {"pause", QColor(0xe0, 0xe0, 0xe0)}};
    const auto found = colours.find(kind);
    return found == colours.end() ? QColor(Qt::gray) : found->second;
}

const QColor kPlacedText(90, 90, 90);  // 6:1 on white, plainly apart from black

// The Kind column is edited by picking from the kinds a segment can have.
class KindDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* combo = new QComboBox(parent);
        for (const std::string& name : model::SequenceModel::kindNames()) {
            combo->addItem(QString::fromStdString(name));
        }
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* combo = static_cast<QComboBox*>(editor);
        combo->setCurrentIndex(combo->findText(index.data().toString()));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText());
    }
};

}  // namespace

TimelinePicture::TimelinePicture(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(90);
}

void TimelinePicture::show(model::Timeline timeline) {
    timeline_ = std::move(timeline);
    update();
}

void TimelinePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRectF area = QRectF(rect()).adjusted(8, 6, -16, -22);
    const double scale = area.width() / std::max(1.0, timeline_.length);
    const auto x = [&](double seconds) { return area.left() + seconds * scale; };
    const double barBottom = area.top() + area.height() * 0.6;
    for (const model::Timeline::Bar& bar : timeline_.bars) {
        const QRectF box(QPointF(x(bar.start), area.top()), QPointF(x(bar.end), barBottom));
        painter.fillRect(box, kindColour(bar.kind));
        // A name only where it fits whole: a clipped one reads as a stray letter.
        const QString name = QString::fromStdString(bar.kind);
        if (fontMetrics().horizontalAdvance(name) + 2 > box.width()) continue;
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(box, Qt::AlignCenter, name);
    }
    painter.setPen(QPen(palette().color(QPalette::Text), 3));
    const double keyY = barBottom + 6;
    for (const model::Timeline::Stretch& s : timeline_.keyDown) {
        painter.drawLine(QPointF(x(s.start), keyY),
                         QPointF(std::max(x(s.end), x(s.start) + 1), keyY));
    }
    // Seconds under the bars, every 10 s.
    painter.setPen(palette().color(QPalette::Text));
    for (int t = 0; t <= static_cast<int>(timeline_.length); t += 10) {
        painter.drawText(QPointF(x(t) - 6, area.bottom() + 16), QString::number(t));
    }
    for (const model::Timeline::Mark& mark : timeline_.marks) {
        if (!mark.breach) continue;
        painter.setBrush(Qt::red);
        painter.setPen(Qt::NoPen);
        const QPointF tip(x(mark.at), area.bottom());
        painter.drawPolygon(QPolygonF({tip, tip + QPointF(-5, -9), tip + QPointF(5, -9)}));
    }
}

SequenceWindow::SequenceWindow(MainWindowModel& plan, MessageReporter report, Confirmer confirm,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      plan_(plan),
      report_(report ? std::move(report) : warningBox(this)),
      confirm_(confirm ? std::move(confirm) : questionBox(this)),
      picture_(new TimelinePicture(this)),
      findings_(new QListWidget(this)),
      templates_(new QComboBox(this)),
      segments_(new QTableWidget(0, 4, this)),
      status_(new QLabel(QStringLiteral("Open a plan file (examples/*.toml) to see its cycle."),
                         this)) {
    setObjectName(QStringLiteral("BeaconSequence"));
    status_->setObjectName(QStringLiteral("Status"));
    showTitle();
    auto* open = new QPushButton(QStringLiteral("&Open plan..."), this);
    auto* save = new QPushButton(QStringLiteral("&Save plan..."), this);
    connect(open, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Open plan"), {},
                                                          QStringLiteral("Plan files (*.toml)"));
        if (!file.isEmpty()) openPlan(file);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        // The dialog adds the suffix itself, so that it asks before replacing that very file.
        QFileDialog dialog(this, QStringLiteral("Save plan"), {},
                           QStringLiteral("Plan files (*.toml)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("toml"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            savePlan(dialog.selectedFiles().first());
        }
    });
    for (const std::string& name : model::SequenceModel::templateNames()) {
        templates_->addItem(QString::fromStdString(name));
    }
    templates_->setObjectName(QStringLiteral("Templates"));
    auto* pick = new QPushButton(QStringLiteral("&Use template"), this);
    connect(pick, &QPushButton::clicked, this, [this] { pickTemplate(templates_->currentText()); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(templates_);
    buttons->addWidget(pick);

    segments_->setObjectName(QStringLiteral("Segments"));
    segments_->setHorizontalHeaderLabels({QStringLiteral("Kind"), QStringLiteral("Start (s)"),
                                          QStringLiteral("Length (s)"), QStringLiteral("End (s)")});
    segments_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    segments_->setSelectionBehavior(QAbstractItemView::SelectRows);
    segments_->setSelectionMode(QAbstractItemView::SingleSelection);
    segments_->setTabKeyNavigation(false);  // Tab goes on to Add; arrows move between cells
    segments_->setItemDelegateForColumn(static_cast<int>(model::SegmentField::Kind),
                                        new KindDelegate(segments_));
    connect(segments_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        edited(model_.editSegment(static_cast<std::size_t>(item->row()),
                                  static_cast<model::SegmentField>(item->column()),
                                  item->text().trimmed().toStdString(), plan_));
    });
    auto* edits = new QVBoxLayout;
    std::vector<QWidget*> order = {open, save, templates_, pick, segments_};
    const auto button = [&](const QString& text, auto action) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, action);
        edits->addWidget(b);
        order.push_back(b);
    };
    button(QStringLiteral("&Add"), [this] {
        edited(model_.addSegment(static_cast<std::size_t>(currentSegment() + 1), plan_));
    });
    button(QStringLiteral("&Remove"), [this] {
        if (currentSegment() >= 0) {
            edited(model_.removeSegment(static_cast<std::size_t>(currentSegment()), plan_));
        }
    });
    const auto move = [this](int by) {
        const int row = currentSegment();
        if (row >= 0 && edited(model_.moveSegment(static_cast<std::size_t>(row), by, plan_))) {
            segments_->selectRow(row + by);
        }
    };
    button(QStringLiteral("Move u&p"), [move] { move(-1); });
    button(QStringLiteral("Move &down"), [move] { move(1); });
    edits->addStretch();
    auto* table = new QHBoxLayout;
    table->addWidget(segments_);
    table->addLayout(edits);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    layout->addWidget(picture_);
    layout->addLayout(table);
    layout->addWidget(findings_);
    resize(680, 560);

    // Tab goes down the window as it reads, from the file buttons to the findings.
    order.push_back(findings_);
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    pressButtonsOnEnter(this);
    open->setFocus();
}

bool SequenceWindow::openPlan(const QString& file) {
    const bool taken = take(model::SequenceModel::read(file.toStdString()));
    emit planOpened();
    return taken;
}

bool SequenceWindow::pickTemplate(const QString& name) {
    return take(model::SequenceModel::readTemplate(name.toStdString()));
}

bool SequenceWindow::take(model::SequenceModel::ReadPlan read) {
    if (read.plan) {
        const auto changes = model::SequenceModel::replacedFields(*read.plan, plan_);
        if (!changes.empty()) {
            QString question = QStringLiteral("%1 changes the main window's fields:\n")
                                   .arg(QString::fromStdString(read.name));
            for (const std::string& change : changes) {
                question += QStringLiteral("\n") + QString::fromStdString(change);
            }
            if (!confirm_(question + QStringLiteral("\n\nReplace them?"))) return false;
        }
    }
    const auto error = model_.take(std::move(read), plan_);
    opened_ = true;
    showTitle();
    showTimeline();
    if (error) report_(QString::fromStdString(*error));
    return !error;
}

void SequenceWindow::showTitle() {
    const std::string& name = model_.name();
    setWindowTitle(toolTitle(QStringLiteral("Beacon sequence") +
                             (name.empty() ? QString() : " - " + QString::fromStdString(name))));
}

bool SequenceWindow::edited(const std::optional<std::string>& error) {
    opened_ = true;
    showTimeline();
    if (error) report_(QString::fromStdString(*error));
    return !error;
}

int SequenceWindow::currentSegment() const {
    const int row = segments_->currentRow();
    return row < 0 ? segments_->rowCount() - 1 : row;
}

void SequenceWindow::showSegments() {
    const QSignalBlocker quiet(segments_);
    const int row = segments_->currentRow();
    const auto rows = model_.segmentRows();
    segments_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& texts = rows[static_cast<std::size_t>(r)];
        int c = 0;
        // Items are kept, not replaced: this runs inside the signal of the item just edited.
        for (const std::string* text : {&texts.kind, &texts.start, &texts.length, &texts.end}) {
            if (!segments_->item(r, c)) segments_->setItem(r, c, new QTableWidgetItem);
            QTableWidgetItem* item = segments_->item(r, c);
            item->setText(QString::fromStdString(*text));
            // A length or end worked out from the message or the neighbours: grey and slanted.
            const bool placed =
                (c == static_cast<int>(model::SegmentField::Length) && texts.lengthPlaced) ||
                (c == static_cast<int>(model::SegmentField::End) && texts.endPlaced);
            QFont font = segments_->font();
            font.setItalic(placed);
            item->setFont(font);
            item->setForeground(placed ? QBrush(kPlacedText) : palette().brush(QPalette::Text));
            item->setToolTip(placed ? QStringLiteral("As placed; type a time to fix it")
                                    : QString());
            ++c;
        }
    }
    if (row >= 0 && row < segments_->rowCount()) segments_->selectRow(row);
}

bool SequenceWindow::savePlan(const QString& file) {
    const auto error = model_.save(file.toStdString(), plan_);
    showTitle();
    if (error) report_(QString::fromStdString(*error));
    return !error;
}

void SequenceWindow::follow() {
    if (!opened_) return;
    model_.compute(plan_);
    showTimeline();
}

void SequenceWindow::showTimeline() {
    showSegments();
    picture_->show(model_.timeline());
    findings_->clear();
    for (const model::Timeline::Mark& mark : model_.timeline().marks) {
        auto* item = new QListWidgetItem(QString::asprintf("%.3f s  ", mark.at) +
                                         QString::fromStdString(mark.text));
        if (mark.breach) item->setForeground(Qt::red);
        findings_->addItem(item);
    }
    status_->setText(model_.error()                   ? QString::fromStdString(*model_.error())
                     : model_.timeline().bars.empty() ? QStringLiteral("No cycle to show.")
                                                      : QString::fromStdString(model_.cycleText()));
}

}  // namespace meridel::gui
