#include "gui/sequence_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <map>

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
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(box, Qt::AlignCenter, QString::fromStdString(bar.kind));
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

SequenceWindow::SequenceWindow(MainWindowModel& plan, MessageReporter report, QWidget* parent)
    : QWidget(parent, Qt::Window),
      plan_(plan),
      report_(report ? std::move(report) : warningBox(this)),
      picture_(new TimelinePicture(this)),
      findings_(new QListWidget(this)),
      status_(new QLabel(QStringLiteral("Open a plan file (examples/*.toml) to see its cycle."),
                         this)) {
    setObjectName(QStringLiteral("BeaconSequence"));
    setWindowTitle(QStringLiteral("Beacon sequence"));
    auto* open = new QPushButton(QStringLiteral("&Open plan..."), this);
    auto* save = new QPushButton(QStringLiteral("&Save plan..."), this);
    connect(open, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Open plan"), {},
                                                          QStringLiteral("Plan files (*.toml)"));
        if (!file.isEmpty()) openPlan(file);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Save plan"), {},
                                                          QStringLiteral("Plan files (*.toml)"));
        if (!file.isEmpty()) savePlan(file);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addWidget(save);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    layout->addWidget(picture_);
    layout->addWidget(findings_);
    resize(680, 360);
}

bool SequenceWindow::openPlan(const QString& file) {
    const auto error = model_.open(file.toStdString(), plan_);
    opened_ = true;
    showTimeline();
    emit planOpened();
    if (error) report_(QString::fromStdString(*error));
    return !error;
}

bool SequenceWindow::savePlan(const QString& file) {
    const auto error = model_.save(file.toStdString(), plan_);
    if (error) report_(QString::fromStdString(*error));
    return !error;
}

void SequenceWindow::follow() {
    if (!opened_) return;
    model_.compute(plan_);
    showTimeline();
}

void SequenceWindow::showTimeline() {
    picture_->show(model_.timeline());
    findings_->clear();
    for (const model::Timeline::Mark& mark : model_.timeline().marks) {
        auto* item = new QListWidgetItem(QString::asprintf("%.3f s  ", mark.at) +
                                         QString::fromStdString(mark.text));
        if (mark.breach) item->setForeground(Qt::red);
        findings_->addItem(item);
    }
    status_->setText(model_.timeline().bars.empty()
                         ? QStringLiteral("No cycle to show.")
                         : QStringLiteral("Cycle of %1 s").arg(model_.timeline().length));
}

}  // namespace meridel::gui
