#include "gui/results_window.h"

#include <QCloseEvent>
#include <QPlainTextEdit>

#include "gui/main_window_layout.h"

namespace meridel::gui {
namespace {

const QColor kBackground(192, 192, 255);  // the main window's background
const QColor kFreshText(0, 0, 0);
// A green that still reads on the lilac background (4.9:1): out of date, yet legible.
const QColor kStaleText(20, 90, 20);

// The box keeps LF line ends; the rest of the program speaks CR LF.
QString toBoxText(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
std::string fromBoxText(QString text) {
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

}  // namespace

ResultsWindow::ResultsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("OP"));
    setWindowTitle(QStringLiteral("DDS Calculation Results  -  ZORBIN"));
    // Shown beside the main window, whose RefIn keeps the keyboard: a window manager must not
    // hand the focus over when this window appears after it.
    setAttribute(Qt::WA_ShowWithoutActivating);

    opData_ = new QPlainTextEdit(this);
    opData_->setObjectName(QStringLiteral("OPData"));
    opData_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    opData_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = opData_->palette();
    palette.setColor(QPalette::Base, kBackground);
    palette.setColor(QPalette::Text, kFreshText);
    opData_->setPalette(palette);

    const double dpiX = logicalDpiX(), dpiY = logicalDpiY();
    resize(gui::twipsToPixels(gui::kResultsClientWidth, dpiX),
           gui::twipsToPixels(gui::kResultsClientHeight, dpiY));
    opData_->setGeometry(0, 0, gui::twipsToPixels(gui::kResultsTextWidth, dpiX),
                         gui::twipsToPixels(gui::kResultsTextHeight, dpiY));

    connect(opData_, &QPlainTextEdit::textChanged, this, [this] {
        if (!updating_) emit textEdited(fromBoxText(opData_->toPlainText()));
    });
}

void ResultsWindow::display(const std::string& text, bool stale) {
    updating_ = true;
    const QString boxText = toBoxText(text);
    if (opData_->toPlainText() != boxText) opData_->setPlainText(boxText);
    const QColor colour = stale ? kStaleText : kFreshText;
    if (opData_->palette().color(QPalette::Text) != colour) {
        QPalette palette = opData_->palette();
        palette.setColor(QPalette::Text, colour);
        opData_->setPalette(palette);
    }
    updating_ = false;
}

void ResultsWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

void ResultsWindow::resizeEvent(QResizeEvent* event) {
    // The text box fills the window at any size, overlapping its right edge as designed.
    const int overlap =
        gui::twipsToPixels(gui::kResultsTextWidth - gui::kResultsClientWidth, logicalDpiX());
    opData_->setGeometry(0, 0, width() + overlap, height());
    QWidget::resizeEvent(event);
}

}  // namespace meridel::gui
