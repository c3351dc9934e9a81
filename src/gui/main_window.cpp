#include "gui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>

#include "gui/main_window_layout.h"
#include "gui/results_window.h"
#include "gui/window_fonts.h"
#include "gui/window_keys.h"
#include "model/listing_opener.h"
#include "model/settings_file.h"
#include "model/window_lifecycle.h"

// Resources of a static library are registered by hand, outside any namespace.
static void registerMeridelResources() {
    Q_INIT_RESOURCE(meridel);
}

namespace meridel::gui {
namespace {

const QColor kWindowBackground(192, 192, 255);
const QColor kWarningBackground(255, 0, 0);
const QColor kTitleText(0, 0, 192);
// A disabled caption on the lilac background, grey yet legible (5.2:1).
const QColor kDisabledText(72, 72, 96);

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// Keeps the caret where the user left it: only a text that differs is written.
void showText(QLineEdit* edit, const std::string& text) {
    const QString wanted = qt(text);
    if (edit->text() != wanted) edit->setText(wanted);
}

void showCombo(QComboBox* combo, const ComboState& state) {
    const QString text = qt(state.text);
    if (combo->currentIndex() == state.index && combo->currentText() == text) return;
    // The text the user is typing stays with its caret; only the entry behind it changes.
    const bool typed = combo->currentText() == text;
    const int caret = combo->lineEdit()->cursorPosition();
    combo->setCurrentIndex(state.index);
    if (combo->currentText() != text) combo->setEditText(text);
    if (typed) combo->lineEdit()->setCursorPosition(caret);
}

int selectedRow(const QListWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void showSelection(QListWidget* list, int index) {
    if (selectedRow(list) == index) return;
    if (index < 0) {
        list->clearSelection();
        list->setCurrentItem(nullptr);
        return;
    }
    list->setCurrentRow(index);
    list->scrollToItem(list->item(index), QAbstractItemView::PositionAtTop);
}

}  // namespace

MessageReporter warningBox(QWidget* parent) {
    return [parent](const QString& message) {
        // Messages quote file names and messages the user typed: shown as plain text.
        QMessageBox box(QMessageBox::Warning, parent->windowTitle(), message, QMessageBox::Ok,
                        parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
}

Confirmer questionBox(QWidget* parent) {
    return [parent](const QString& question) {
        QMessageBox box(QMessageBox::Question, parent->windowTitle(), question,
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    };
}

MainWindow::MainWindow(MainWindowModel& model, MessageReporter report, QWidget* parent)
    : QWidget(parent),
      model_(model),
      report_(std::move(report)),
      settingsFile_(model::kSettingsFileName),
      results_(std::make_unique<gui::ResultsWindow>()) {
    registerMeridelResources();
    if (!report_) report_ = warningBox(this);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("9852 MERIDEL  -- ZORBIN"));
    QIcon icon(QStringLiteral(":/icons/meridel-32.png"));
    icon.addFile(QStringLiteral(":/icons/meridel.svg"), QSize(256, 256));
    setWindowIcon(icon);
    results_->setWindowIcon(icon);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWindowBackground);
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(windowFont(8.25, true));  // the window's own font; every control carries its own

    buildControls();
    applyLayout();
    // Enter presses Calculate or the carrier adjuster when it has the focus.
    command1_->setAutoDefault(true);
    setCarr_->setAutoDefault(true);
    textBoxes_.at(Field::RefIn)->setFocus();

    connect(results_.get(), &gui::ResultsWindow::textEdited, this,
            [this](const std::string& text) { model_.editResultsText(text); });
    connect(results_.get(), &gui::ResultsWindow::closedByUser, this,
            [this] { model_.closeResultsWindow(); });
    model_.setChangeListener([this] { refresh(); });
    refresh();
}

MainWindow::~MainWindow() {
    model_.setChangeListener({});
}

QLineEdit* MainWindow::addTextBox(std::string_view name, Field field, bool readOnly) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    edit->setReadOnly(readOnly);  // read-only fields still take focus, so they can be copied
    if (readOnly) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text, QGuiApplication::palette().color(QPalette::WindowText));
        edit->setPalette(palette);
    }
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
        if (!updating_) model_.setFieldText(field, text.toStdString());
    });
    controls_[name] = edit;
    textBoxes_[field] = edit;
    return edit;
}

QLabel* MainWindow::addLabel(std::string_view name, const QString& caption,
                             Qt::Alignment alignment) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    label->setTextFormat(Qt::PlainText);  // a typed mode shows in Label10 as typed, "<b>" too
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(true);
    controls_[name] = label;
    return label;
}

QComboBox* MainWindow::addComboBox(std::string_view name, const std::vector<std::string>& entries) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);  // a typed text is shown, never added
    combo->setCompleter(nullptr);                 // nor completed to an entry
    for (const std::string& entry : entries) combo->addItem(qt(entry));
    combo->setCurrentIndex(-1);
    controls_[name] = combo;
    return combo;
}

void MainWindow::buildControls() {
    const Qt::Alignment right = Qt::AlignRight;
    addTextBox("RefIn", Field::RefIn);
    addLabel("Label1_0", QStringLiteral("Ref. Input Freq  MHz"), right);
    addLabel("Label2", QStringLiteral("PLL Clock Multiplier"), right);
    addTextBox("ClockFreq", Field::ClockFreq, true);
    addLabel("Label3", QStringLiteral("DDS Clock"), right);
    addTextBox("Foutput", Field::Foutput);
    addLabel("Label5", QStringLiteral("Output carrier (USB)  MHz "), right);
    addTextBox("RFMult", Field::RFMult);
    addLabel("Label6", QStringLiteral("RF Mult"), right);
    addTextBox("Fo", Field::Fo, true);
    addLabel("Label7", QStringLiteral("DDS Output (carrier)  MHz"), right);
    addTextBox("FileName", Field::FileName);
    addLabel("Label8", QStringLiteral("File Name"), right);
    addTextBox("Comment", Field::Comment);
    addLabel("Label9", QStringLiteral("Comment to be stored with file"), right);
    addTextBox("ToneFreq", Field::ToneFreq);
    addLabel("Label11", QStringLiteral("Tone Freq  Hz"), right);
    addTextBox("KeyFreq", Field::KeyFreq);
    addLabel("Label12", QStringLiteral("Tone / Keying RF"), right);
    addLabel("Label1_1", QStringLiteral("Mode"), right);
    addLabel("Label4", QStringLiteral("RTTY Shift  Hz"), right);
    setCarrLabel_ = addLabel("SetCarrLabel", QStringLiteral("Adjust carrier for this freq"), right);
    QPalette disabled = setCarrLabel_->palette();
    disabled.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledText);
    setCarrLabel_->setPalette(disabled);

    label10_ = addLabel("Label10", QString(), Qt::AlignHCenter);
    label10_->setAutoFillBackground(true);
    QPalette warning = label10_->palette();
    warning.setColor(QPalette::Window, kWarningBackground);
    warning.setColor(QPalette::WindowText,
                     QGuiApplication::palette().color(QPalette::HighlightedText));
    label10_->setPalette(warning);

    QLabel* title =
        addLabel("Label13",
                 QStringLiteral("Programming values for AD9852 DDS when used as VHF beacon source"),
                 Qt::AlignHCenter);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText, kTitleText);
    title->setPalette(titlePalette);

    jt65mode_ = addComboBox("jt65mode", model_.mode().entries);
    connect(jt65mode_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!updating_) model_.typeModeText(text.toStdString());
    });
    rttyShift_ = addComboBox("RTTYShift", model_.rttyShift().entries);
    connect(rttyShift_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!updating_) model_.typeRttyShiftText(text.toStdString());
    });

    pllMult_ = new QListWidget(this);
    pllMult_->setObjectName(QStringLiteral("PLLMult"));
    for (const std::string& entry : MainWindowModel::pllEntries()) pllMult_->addItem(qt(entry));
    pllMult_->setSelectionMode(QAbstractItemView::SingleSelection);
    pllMult_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pllMult_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pllMult_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    pllMult_->setUniformItemSizes(true);
    controls_["PLLMult"] = pllMult_;
    connect(pllMult_, &QListWidget::itemSelectionChanged, this, [this] {
        if (!updating_) model_.choosePll(selectedRow(pllMult_));
    });

    command1_ = new QPushButton(this);
    command1_->setObjectName(QStringLiteral("Command1"));
    controls_["Command1"] = command1_;
    connect(command1_, &QPushButton::clicked, this, [this] { calculate(); });

    setCarr_ = new QPushButton(this);
    setCarr_->setObjectName(QStringLiteral("SetCarr"));
    controls_["SetCarr"] = setCarr_;
    connect(setCarr_, &QPushButton::clicked, this, [this] { model_.clickSetCarr(); });

    const QFont regular = windowFont(8.25, false);
    for (auto& [name, widget] : controls_) widget->setFont(regular);
    label10_->setFont(windowFont(9.75, true));
    title->setFont(windowFont(9.75, true));
}

void MainWindow::applyLayout() {
    const double dpiX = logicalDpiX(), dpiY = logicalDpiY();
    const auto rect = [&](int left, int top, int width, int height) {
        return QRect(twipsToPixels(left, dpiX), twipsToPixels(top, dpiY),
                     twipsToPixels(width, dpiX), twipsToPixels(height, dpiY));
    };
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect client = rect(kMainClientLeft, kMainClientTop, kMainClientWidth, kMainClientHeight);
    setGeometry(client.translated(screen.topLeft()));
    setFixedSize(client.size());

    // The table is in tab-index order: focus moves through the controls that can take it.
    QWidget* previous = nullptr;
    for (const ControlPlace& place : kMainWindowControls) {
        QWidget* widget = controls_.at(place.name);
        widget->setGeometry(rect(place.left, place.top, place.width, place.height));
        if (auto* label = qobject_cast<QLabel*>(widget)) fitCaption(label);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) fitEntries(combo);
        if (!(widget->focusPolicy() & Qt::TabFocus)) continue;
        if (previous) setTabOrder(previous, widget);
        previous = widget;
    }
}

void MainWindow::refresh() {
    const bool outer = !updating_;
    updating_ = true;
    for (const auto& [field, edit] : textBoxes_) showText(edit, model_.fieldText(field));
    showSelection(pllMult_, model_.pllIndex());
    showCombo(jt65mode_, model_.mode());
    showCombo(rttyShift_, model_.rttyShift());

    const QString caption = qt(model_.calculateCaption());
    if (command1_->text() != caption) command1_->setText(caption);
    setCarr_->setEnabled(model_.carrierAdjusterEnabled());
    setCarrLabel_->setEnabled(model_.carrierAdjusterEnabled());
    const QString warning = qt(model_.warningCaption());
    if (label10_->text() != warning) {
        label10_->setText(warning);
        fitCaption(label10_);
    }
    label10_->setVisible(model_.warningVisible());

    const ResultsWindowState& results = model_.results();
    results_->display(results.text, results.colour == model::ResultsColour::Stale);
    if (results.visible && !results_->isVisible() && painted_) {
        if (!resultsPlaced_) placeResultsWindow();
        results_->show();
    } else if (!results.visible && results_->isVisible()) {
        results_->hide();
    }
    if (!outer) return;
    updating_ = false;
    emit modelShown();
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (painted_) return;
    painted_ = true;
    // Shown from the event loop, not from inside a paint. The keyboard starts in RefIn: this
    // window asks for it, since without a window manager nobody else gives it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            refresh();
            activateWindow();
        },
        Qt::QueuedConnection);
}

void MainWindow::placeResultsWindow() {
    // Both positions are outer window coordinates, in twips; the outer window is the frame
    // that holds this one under the menu bar, when there is one.
    const double dpiX = logicalDpiX(), dpiY = logicalDpiY();
    const QRect frame = window()->frameGeometry();
    const TwipsPoint place = model::resultsWindowPlace(
        {pixelsToTwips(frame.left(), dpiX), pixelsToTwips(frame.top(), dpiY)},
        pixelsToTwips(frame.width(), dpiX));
    results_->move(twipsToPixels(place.left, dpiX), twipsToPixels(place.top, dpiY));
    // Beside the main window where the screen has room, else as far right as it does.
    fitToScreen(results_.get());
    resultsPlaced_ = true;
}

void MainWindow::load() {
    const auto message = loadMainWindow(model_, settingsFile_, settingsNotices_);
    if (message) report(*message);
}

void MainWindow::calculate() {
    model::ListingOpener opener;
    if (const auto failure = model_.calculate(opener)) report(failure->message);
}

void MainWindow::report(const std::string& message) {
    report_(qt(message));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        const auto message = unloadMainWindow(model_, settingsFile_, settingsNotices_);
        if (message) report(*message);
        emit unloaded();
    }
    event->accept();
}

}  // namespace meridel::gui
