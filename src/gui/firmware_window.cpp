#include "gui/firmware_window.h"

#include <QColor>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <QVBoxLayout>

#include "firmware/word_decode.h"
#include "gui/window_keys.h"

namespace meridel::gui {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QComboBox* chipCombo(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (const std::string& name : model::FirmwareModel::chipEntries()) combo->addItem(qt(name));
    return combo;
}

QTableWidget* wordTable(const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    // Tab leaves the table for the next control; the arrow keys move between its cells.
    table->setTabKeyNavigation(false);
    // Each column as wide as its widest text, on one line: a stretched or wrapping column would
    // cut the numbers it holds.
    table->setWordWrap(false);
    table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return table;
}

}  // namespace

DecodeDialog::DecodeDialog(QWidget* parent)
    : QDialog(parent),
      chip_(chipCombo(this)),
      clock_(new QLineEdit(this)),
      words_(new QPlainTextEdit(this)),
      table_(wordTable({"Bytes", "FTW", "Hz", "Note"}, this)),
      error_(new QLabel(this)) {
    setWindowTitle(toolTitle(QStringLiteral("Decode words")));
    words_->setPlaceholderText(QString::fromLatin1(firmware::kWordExample));
    words_->setTabChangesFocus(true);  // words hold no tabs: Tab goes on to Chip
    words_->setFixedHeight(words_->fontMetrics().lineSpacing() * 4);
    error_->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Words"), words_);
    form->addRow(QStringLiteral("Chip"), chip_);
    form->addRow(QStringLiteral("Clock  MHz"), clock_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(error_);
    layout->addWidget(table_);
    resize(560, 360);
    // Tab follows the form down: Words, Chip, Clock, then the table.
    setTabOrder(words_, chip_);
    setTabOrder(chip_, clock_);
    setTabOrder(clock_, table_);
    connect(words_, &QPlainTextEdit::textChanged, this, &DecodeDialog::decode);
    connect(clock_, &QLineEdit::textEdited, this, &DecodeDialog::decode);
    connect(chip_, &QComboBox::currentIndexChanged, this, &DecodeDialog::decode);
    words_->setFocus();  // the keyboard starts in Words
}

void DecodeDialog::start(int chipIndex, const QString& clockMHz) {
    chip_->setCurrentIndex(chipIndex);
    clock_->setText(clockMHz);
    decode();
}

void DecodeDialog::decode() {
    const auto result =
        model::decodeWordsText(dds::chips()[static_cast<std::size_t>(chip_->currentIndex())],
                               clock_->text().toStdString(), words_->toPlainText().toStdString());
    error_->setText(qt(result.error));
    error_->setVisible(!result.error.empty());
    std::vector<std::vector<std::string>> rows;
    rows.reserve(result.rows.size());
    for (const model::DecodedRow& r : result.rows) rows.push_back({r.bytes, r.ftw, r.hz, r.note});
    fillTable(table_, rows);
}

FirmwareWindow::FirmwareWindow(const MainWindowModel& plan, MessageReporter report, QWidget* parent)
    : QWidget(parent, Qt::Window),
      plan_(plan),
      report_(report ? std::move(report) : warningBox(this)),
      chip_(chipCombo(this)),
      clock_(new QLineEdit(this)),
      multiplier_(new QLineEdit(this)),
      multiplierRule_(new QLabel(this)),
      format_(new QComboBox(this)),
      calibration_(new QComboBox(this)),
      calibrationText_(new QLineEdit(this)),
      table_(wordTable({"Word", "Bytes", "Requested Hz", "Actual Hz", "Error Hz", "Antenna Hz",
                        "Antenna error Hz"},
                       this)),
      notes_(new QLabel(this)),
      export_(new QPushButton(QStringLiteral("Export..."), this)),
      decode_(new DecodeDialog(this)) {
    setObjectName(QStringLiteral("Firmware"));
    setWindowTitle(toolTitle(QStringLiteral("Firmware")));
    notes_->setWordWrap(true);
    auto* multiplierRow = new QHBoxLayout;
    multiplierRow->addWidget(multiplier_);
    multiplierRow->addWidget(multiplierRule_, 1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("DDS chip"), chip_);
    form->addRow(QStringLiteral("Clock  MHz"), clock_);
    form->addRow(QStringLiteral("Multiplier"), multiplierRow);
    form->addRow(QStringLiteral("Format"), format_);
    for (const std::string& entry : model::FirmwareModel::calibrationEntries()) {
        calibration_->addItem(qt(entry));
    }
    calibrationText_->setPlaceholderText(
        QStringLiteral("+ when the clock runs fast; or the carrier in Hz at the antenna"));
    auto* calibrationRow = new QHBoxLayout;
    calibrationRow->addWidget(calibration_);
    calibrationRow->addWidget(calibrationText_, 1);
    form->addRow(QStringLiteral("Calibration"), calibrationRow);
    auto* decodeButton = new QPushButton(QStringLiteral("Decode words..."), this);
    decodeButton->setObjectName(QStringLiteral("DecodeWords"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(decodeButton);
    buttons->addWidget(export_);
    setTabOrder(decodeButton, export_);  // as they stand
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(table_, 1);
    layout->addWidget(notes_);
    layout->addLayout(buttons);
    resize(800, 520);

    connect(chip_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (updating_) return;
        model_.selectChip(index);
        edited();
    });
    connect(clock_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.setClockText(text.toStdString());
        edited();
    });
    connect(multiplier_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.setMultiplierText(text.toStdString());
        edited();
    });
    connect(format_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (updating_ || index < 0) return;
        model_.selectFormat(model_.formats()[static_cast<std::size_t>(index)]);
        edited();
    });
    const auto calibrate = [this] {
        model_.setCalibration(static_cast<model::Calibration>(calibration_->currentIndex()),
                              calibrationText_->text().toStdString());
        edited();
    };
    connect(calibration_, &QComboBox::currentIndexChanged, this, calibrate);
    connect(calibrationText_, &QLineEdit::textEdited, this, calibrate);
    connect(export_, &QPushButton::clicked, this, &FirmwareWindow::exportFile);
    connect(decodeButton, &QPushButton::clicked, this, [this] {
        decode_->start(model_.chipIndex(), qt(model_.shownClock()));
        bringToFront(decode_, decode_->wordsBox());
    });
    pressButtonsOnEnter(this);
    chip_->setFocus();  // the keyboard starts in the first input
}

void FirmwareWindow::planChanged() {
    if (isVisible()) refresh();
}

void FirmwareWindow::setMessageTables(std::vector<firmware::MessageTable> tables) {
    model_.setMessageTables(std::move(tables));
}

void FirmwareWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    emit choiceChanged();
}

void FirmwareWindow::edited() {
    refresh();
    emit choiceChanged();
}

void FirmwareWindow::hideEvent(QHideEvent* event) {
    // The dialog reads words at this window's chip and clock: it goes with the window.
    if (!event->spontaneous()) decode_->hide();
    QWidget::hideEvent(event);
    emit choiceChanged();
}

void FirmwareWindow::refresh() {
    model_.update(plan_);
    updating_ = true;
    chip_->setCurrentIndex(model_.chipIndex());
    showReadOnly(clock_, !model_.ownClock());
    const QString clock = qt(model_.ownClock() ? model_.clockText() : model_.shownClock());
    if (clock_->text() != clock) clock_->setText(clock);
    clock_->setPlaceholderText(model_.ownClock() ? QStringLiteral("MHz") : QString());
    multiplier_->setEnabled(model_.ownMultiplier());
    const QString multiplier = qt(model_.shownMultiplier(plan_));
    if (multiplier_->text() != multiplier) multiplier_->setText(multiplier);
    multiplierRule_->setText(model_.ownMultiplier() ? qt(model_.multiplierRule())
                             : model_.ownClock()    ? QStringLiteral("none on this chip")
                                                    : QStringLiteral("the main window's PLL"));
    format_->clear();
    for (const model::FirmwareFormat f : model_.formats()) {
        format_->addItem(qt(model::FirmwareModel::formatName(f)));
        if (f == model_.format()) format_->setCurrentIndex(format_->count() - 1);
    }
    updating_ = false;

    std::vector<std::vector<std::string>> rows;
    for (const model::FirmwareWordRow& r : model_.rows()) {
        rows.push_back(
            {r.name, r.bytes, r.requestedHz, r.actualHz, r.errorHz, r.antennaHz, r.antennaErrorHz});
    }
    fillTable(table_, rows);
    widenToTable();
    // A message's tone word off by more than 0.01 of the spacing is yellow, past a quarter red.
    for (int i = 0; i < table_->rowCount(); ++i) {
        const auto level = model_.rows()[static_cast<std::size_t>(i)].level;
        if (level == model::FirmwareWordRow::Level::Plain) continue;
        const QColor colour = level == model::FirmwareWordRow::Level::Warn ? QColor(255, 240, 160)
                                                                           : QColor(255, 190, 190);
        for (int column = 0; column < table_->columnCount(); ++column) {
            if (QTableWidgetItem* item = table_->item(i, column)) item->setBackground(colour);
        }
    }
    QStringList notes;
    if (const std::string note = model_.correctionNote(); !note.empty()) notes << qt(note);
    for (const std::string& warning : model_.warnings()) notes << qt("Warning: " + warning);
    if (!model_.error().empty()) notes << qt(model_.error());
    if (!model_.prompt().empty()) notes << qt(model_.prompt());
    notes_->setText(notes.join(QLatin1Char('\n')));
    notes_->setVisible(!notes.isEmpty());
    export_->setEnabled(model_.canExport());
}

void FirmwareWindow::widenToTable() {
    if (table_->rowCount() == 0 || table_->horizontalScrollBar()->maximum() == 0) return;
    // Every column on the screen when the screen has room for them.
    resize(width() + table_->horizontalScrollBar()->maximum() +
               table_->verticalScrollBar()->sizeHint().width(),
           height());
    fitToScreen(this);
}

void FirmwareWindow::exportFile() {
    const QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export ") + qt(model::FirmwareModel::formatName(model_.format())),
        qt(model_.exportFileName()));
    if (file.isEmpty()) return;
    if (const auto error = model_.exportTo(file.toStdString())) report_(qt(*error));
}

}  // namespace meridel::gui
