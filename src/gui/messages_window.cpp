#include "gui/messages_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/window_keys.h"

namespace meridel::gui {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

const QColor kErrorColour(176, 0, 0);
const QColor kErrorFieldColour(255, 220, 220);  // a field whose message cannot be encoded

}  // namespace

TonePicture::TonePicture(model::ToneSteps steps, QWidget* parent)
    : QWidget(parent), steps_(std::move(steps)) {
    setMinimumHeight(60);
}

void TonePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (steps_.steps.empty()) return;
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
    const double dx = area.width() / static_cast<double>(steps_.steps.size());
    const double dy = area.height() / std::max(1, steps_.levels - 1);
    QPolygonF line;
    for (std::size_t i = 0; i < steps_.steps.size(); ++i) {
        const double y = area.bottom() - steps_.steps[i] * dy;
        line << QPointF(area.left() + static_cast<double>(i) * dx, y)
             << QPointF(area.left() + static_cast<double>(i + 1) * dx, y);
    }
    painter.setPen(QPen(palette().color(QPalette::Text), 1));
    painter.drawPolyline(line);
}

MessagesWindow::MessagesWindow(const MainWindowModel& plan, std::filesystem::path settingsFile,
                               MessageReporter report, QWidget* parent)
    : QWidget(parent, Qt::Window),
      plan_(plan),
      settingsFile_(std::move(settingsFile)),
      report_(report ? std::move(report) : warningBox(this)),
      tables_(new QTabWidget(this)),
      errors_(new QLabel(this)) {
    setObjectName(QStringLiteral("BeaconMessages"));
    setWindowTitle(toolTitle(QStringLiteral("Beacon messages")));
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < model::kMessageFieldCount; ++i) {
        const model::MessageFieldInfo& info = model::messageFields()[i];
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromUtf8(info.key.data(), static_cast<int>(info.key.size())));
        const auto which = static_cast<model::MessageField>(i);
        connect(edit, &QLineEdit::textEdited, this, [this, which](const QString& text) {
            model_.setText(which, text.toStdString());
            emit textsChanged();
        });
        form->addRow(QString::fromUtf8(info.label.data(), static_cast<int>(info.label.size())),
                     edit);
        fields_[i] = edit;
    }
    auto* encodeButton = new QPushButton(QStringLiteral("Encode"), this);
    encodeButton->setObjectName(QStringLiteral("Encode"));
    auto* writeButton = new QPushButton(QStringLiteral("Write symbol file..."), this);
    writeButton->setObjectName(QStringLiteral("WriteSymbolFile"));
    errors_->setObjectName(QStringLiteral("Errors"));
    errors_->setWordWrap(true);
    errors_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette errorColours = errors_->palette();
    errorColours.setColor(QPalette::WindowText, kErrorColour);
    errors_->setPalette(errorColours);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(encodeButton);
    buttons->addWidget(writeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(errors_);
    layout->addWidget(tables_, 1);
    resize(640, 640);
    connect(encodeButton, &QPushButton::clicked, this, &MessagesWindow::encode);
    connect(writeButton, &QPushButton::clicked, this, &MessagesWindow::writeSymbolFile);
    pressButtonsOnEnter(this);
    fields_[0]->setFocus();  // the keyboard starts in the first message
}

void MessagesWindow::open() {
    model_.open(settingsFile_);
    for (std::size_t i = 0; i < model::kMessageFieldCount; ++i) {
        fields_[i]->setText(qt(model_.texts()[i]));
    }
    // A stored message that cannot be encoded is marked on its field: no box before the user
    // did anything.
    model_.encode(plan_);
    showMessages();
    emit textsChanged();
}

void MessagesWindow::encode() {
    const auto error = model_.encode(plan_);
    showMessages();
    if (error) report_(qt(*error));
}

void MessagesWindow::planChanged() {
    // Follows the plan quietly: errors show on their fields, not in a box at every keystroke.
    if (!isVisible()) return;
    model_.encode(plan_);
    showMessages();
}

void MessagesWindow::showMessages() {
    QStringList errors;
    if (!model_.planError().empty()) errors << qt(model_.planError());
    for (std::size_t i = 0; i < model::kMessageFieldCount; ++i) {
        const std::string& error = model_.fieldError(static_cast<model::MessageField>(i));
        QPalette palette = this->palette();
        if (!error.empty()) {
            errors << qt(error);
            palette.setColor(QPalette::Base, kErrorFieldColour);
        }
        fields_[i]->setPalette(palette);
        fields_[i]->setToolTip(qt(error));
    }
    if (!model_.warning().empty()) errors << qt("Warning: " + model_.warning());
    errors_->setText(errors.join(QLatin1Char('\n')));
    errors_->setVisible(!errors.isEmpty());
    while (tables_->count() > 0) {
        QWidget* page = tables_->widget(0);
        tables_->removeTab(0);
        delete page;
    }
    for (const model::EncodedMessage& message : model_.messages()) {
        auto* page = new QWidget;
        auto* title = new QLabel(qt(message.title), page);
        title->setWordWrap(true);
        title->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* symbols = new QPlainTextEdit(qt(message.symbols), page);
        symbols->setReadOnly(true);
        symbols->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(title);
        layout->addWidget(symbols, 1);
        layout->addWidget(new TonePicture(message.picture, page));
        tables_->addTab(page, qt(message.title.substr(0, message.title.find(' '))));
    }
}

void MessagesWindow::writeSymbolFile() {
    // What cannot be written is said before the user picks a file.
    if (const auto problem = model_.symbolFileProblem(plan_)) {
        showMessages();
        report_(qt(*problem));
        return;
    }
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Write symbol file"),
                                                      QStringLiteral("SYMBOLS.INC"));
    if (file.isEmpty()) return;
    const auto error = model_.writeSymbolFile(plan_, file.toStdString());
    showMessages();
    if (error) report_(qt(*error));
}

void MessagesWindow::closeEvent(QCloseEvent* event) {
    if (const auto error = model_.close(settingsFile_)) report_(qt(*error));
    event->accept();
}

}  // namespace meridel::gui
