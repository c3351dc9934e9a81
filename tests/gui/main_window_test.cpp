// The Qt view over the window model: it shows the model, forwards typing, clicks and closing,
// lays the controls out from twips, keeps every caption inside its control, and reports
// settings and run failures once each through its message seam.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "gui/main_window.h"
#include "gui/results_window.h"
#include "gui/window_keys.h"

using meridel::gui::MainWindow;
using meridel::model::MainWindowModel;
using meridel::run::Field;

namespace {
// The WCAG contrast ratio of two colours, 1 to 21: text wants at least 4.5.
double contrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](double c) {
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How well the darkest ink of a widget, as drawn, stands out from its background.
double inkContrast(QWidget* widget, const QColor& background) {
    const QImage image = widget->grab().toImage();
    double best = 1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            best = std::max(best, contrastRatio(image.pixelColor(x, y), background));
        }
    }
    return best;
}
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsTheModelAfterStartUp();
    void typingIsForwardedAndTheCaretStays();
    void calculateFillsTheResultsWindow();
    void aFailedRunIsReportedOnce();
    void geometryAt96Dpi();
    void tabOrderAndKeyboardUse();
    void noCaptionIsClipped();
    void closingSavesHidesAndEnds();
    void pllListCannotBeEmptiedByTheUser();
    void typedModeShowsAsTypedInTheWarning();

private:
    template <typename T>
    T* control(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }
    QPlainTextEdit* resultsBox() const { return window->resultsWindow().textBox(); }
    void retype(const char* name, const QString& text) {
        QLineEdit* edit = box(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    void start() {
        window->load();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(window->resultsWindow().isVisible());  // placed once this one is shown
    }

    QString originalFolder;
    std::unique_ptr<QTemporaryDir> folder;
    QStringList reports;
    std::unique_ptr<MainWindowModel> model;
    std::unique_ptr<MainWindow> window;
};

void MainWindowTest::init() {
    originalFolder = QDir::currentPath();
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    QVERIFY(QDir::setCurrent(folder->path()));
    reports.clear();
    model = std::make_unique<MainWindowModel>();
    window = std::make_unique<MainWindow>(
        *model, [this](const QString& message) { reports.append(message); });
}

void MainWindowTest::cleanup() {
    window.reset();
    model.reset();
    QDir::setCurrent(originalFolder);
    folder.reset();
}

void MainWindowTest::showsTheModelAfterStartUp() {
    start();
    QCOMPARE(window->windowTitle(), QStringLiteral("9852 MERIDEL  -- ZORBIN"));
    QCOMPARE(box("RefIn")->text(), QStringLiteral("12.8"));
    QCOMPARE(control<QListWidget>("PLLMult")->currentItem()->text(), QStringLiteral("16"));
    QVERIFY(control<QListWidget>("PLLMult")->currentItem()->isSelected());
    QCOMPARE(box("ClockFreq")->text(), QStringLiteral(" 204.8"));
    QCOMPARE(control<QPushButton>("Command1")->text(), QStringLiteral("Calculate + Write file"));
    QCOMPARE(control<QComboBox>("jt65mode")->currentText(), QStringLiteral("JT65C"));
    QCOMPARE(control<QComboBox>("RTTYShift")->currentText(), QStringLiteral("170"));
    QVERIFY(!control<QPushButton>("SetCarr")->isEnabled());
    QVERIFY(control<QLabel>("Label10")->isHidden());
    QVERIFY(box("ClockFreq")->isReadOnly() && box("Fo")->isReadOnly());
    QVERIFY(!box("RefIn")->isReadOnly());
    QCOMPARE(window->focusWidget(), box("RefIn"));

    QVERIFY(window->resultsWindow().isVisible());
    QCOMPARE(window->resultsWindow().windowTitle(),
             QStringLiteral("DDS Calculation Results  -  ZORBIN"));
    QVERIFY(!resultsBox()->isReadOnly());
    QVERIFY(reports.isEmpty());
    QVERIFY(QFile::exists(QStringLiteral("MERIDEL.INI")));
}

void MainWindowTest::typingIsForwardedAndTheCaretStays() {
    start();
    QLineEdit* refIn = box("RefIn");
    refIn->setCursorPosition(2);  // 12|.8
    QTest::keyClicks(refIn, QStringLiteral("5"));
    QCOMPARE(model->fieldText(Field::RefIn), std::string("125.8"));
    QCOMPARE(refIn->cursorPosition(), 3);
    QCOMPARE(box("ClockFreq")->text(), QStringLiteral(" 2012.8"));
    QVERIFY(resultsBox()->palette().color(QPalette::Text) != QColor(0, 0, 0));  // stale

    retype("RFMult", QStringLiteral("2.5"));
    QCOMPARE(box("Fo")->text(), QStringLiteral(" 25.2525"));
    retype("Foutput", QStringLiteral("50.505"));
    QCOMPARE(box("Fo")->text(), QStringLiteral(" 20.202"));

    // The carrier adjuster: a KeyFreq edit enables it, a click moves the carrier.
    retype("ToneFreq", QStringLiteral("1500"));
    retype("KeyFreq", QStringLiteral("144.4915"));
    QVERIFY(control<QPushButton>("SetCarr")->isEnabled());
    QTest::mouseClick(control<QPushButton>("SetCarr"), Qt::LeftButton);
    QCOMPARE(box("Foutput")->text(), QStringLiteral(" 144.49"));
    QVERIFY(!control<QPushButton>("SetCarr")->isEnabled());

    // The user's own edit of the results text reaches the model with CR LF line ends.
    QTest::keyClicks(resultsBox(), QStringLiteral("a"));
    QTest::keyClick(resultsBox(), Qt::Key_Return);
    QTest::keyClicks(resultsBox(), QStringLiteral("b"));
    QCOMPARE(model->results().text, std::string("a\r\nb"));
}

void MainWindowTest::calculateFillsTheResultsWindow() {
    start();
    retype("FileName", QString());
    retype("ToneFreq", QStringLiteral("1500"));
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(reports.isEmpty());
    const QString text = resultsBox()->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("0x")));
    QVERIFY(text.section(QLatin1Char('\n'), 0, 0).contains(QStringLiteral("FSK441 Tone 0")));
    QVERIFY(text.endsWith(QStringLiteral("PHASE180  Constant  0x20,0x00")));
    QCOMPARE(text.count(QLatin1Char('\n')),
             static_cast<qsizetype>(
                 std::count(model->results().text.begin(), model->results().text.end(), '\n')));
    QCOMPARE(resultsBox()->palette().color(QPalette::Text), QColor(0, 0, 0));

    // Stale: recoloured green, not rewritten, and still readable (4.5:1) on the lilac.
    retype("RefIn", QStringLiteral("10"));
    const QColor stale = resultsBox()->palette().color(QPalette::Text);
    QVERIFY(stale.green() > stale.red() && stale.green() > stale.blue());
    QCOMPARE(resultsBox()->toPlainText(), text);
    const QColor lilac(192, 192, 255);
    QVERIFY(inkContrast(resultsBox()->viewport(), lilac) >= 4.5);
    auto* adjuster = control<QLabel>("SetCarrLabel");
    QVERIFY(!adjuster->isEnabled());
    QVERIFY(inkContrast(adjuster, lilac) >= 4.5);
}

void MainWindowTest::aFailedRunIsReportedOnce() {
    start();
    // The first start's File Name, one blank, names no file: the run says so, writes none.
    QCOMPARE(box("FileName")->text(), QStringLiteral(" "));
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.takeFirst().startsWith(QStringLiteral("File Name \" \" holds only blanks")),
             qPrintable(reports.join(QLatin1Char('|'))));
    QVERIFY(!QFile::exists(QStringLiteral(" ")));
    retype("FileName", QString());
    retype("RFMult", QStringLiteral("0"));
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().contains(QStringLiteral("RF Mult")), qPrintable(reports.first()));
    QCOMPARE(resultsBox()->toPlainText(), QString());

    // The program goes on: the next run writes its file.
    retype("RFMult", QStringLiteral("1"));
    retype("FileName", QStringLiteral("beacon.asm"));
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
    QVERIFY(QFile::exists(QStringLiteral("BEACON.ASM")));
}

void MainWindowTest::geometryAt96Dpi() {
    if (window->logicalDpiX() != 96 || window->logicalDpiY() != 96) {
        QSKIP("the pixel figures hold at 96 dpi");
    }
    QCOMPARE(window->size(), QSize(518, 322));
    QCOMPARE(window->geometry().topLeft(), QPoint(54, 74));
    const struct {
        const char* name;
        QRect rect;
    } expected[] = {
        {"RefIn", {360, 48, 105, 19}},     {"Label5", {-8, 48, 137, 17}},
        {"Command1", {360, 240, 113, 41}}, {"PLLMult", {360, 72, 41, 17}},
        {"SetCarr", {128, 220, 17, 13}},   {"Label13", {0, 8, 513, 25}},
        {"jt65mode", {128, 128, 57, 21}},  {"Label9", {32, 264, 89, 41}},
        {"Label10", {360, 96, 137, 41}},   {"SetCarrLabel", {0, 216, 121, 17}},
    };
    for (const auto& c : expected) {
        QCOMPARE(window->findChild<QWidget*>(QString::fromLatin1(c.name))->geometry(), c.rect);
    }
    QCOMPARE(window->resultsWindow().size(), QSize(399, 329));
    QCOMPARE(resultsBox()->geometry(), QRect(0, 0, 401, 329));

    start();
    // Beside the main window's outer frame, 10 twips (one pixel) to its right, level with it.
    const QRect frame = window->frameGeometry();
    QCOMPARE(window->resultsWindow().frameGeometry().topLeft(),
             QPoint(frame.right() + 1 + 1, frame.top()));
}

void MainWindowTest::tabOrderAndKeyboardUse() {
    start();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const QStringList expected = {"RefIn",    "ClockFreq", "Command1", "Foutput",  "RFMult",
                                  "Fo",       "FileName",  "Comment",  "ToneFreq", "KeyFreq",
                                  "jt65mode", "RTTYShift", "PLLMult",  "RefIn"};
    const auto focusName = [] {
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->objectName().isEmpty()) focus = focus->parentWidget();
        if (focus && qobject_cast<QComboBox*>(focus->parentWidget())) focus = focus->parentWidget();
        return focus ? focus->objectName() : QStringLiteral("(none)");
    };
    QStringList visited = {focusName()};
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(focusName());
    }
    QCOMPARE(visited, expected);

    // Once enabled, the carrier adjuster takes its place before PLLMult.
    model->setFieldText(Field::KeyFreq, "50");
    control<QComboBox>("RTTYShift")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focusName(), QStringLiteral("SetCarr"));

    // Space, Return or Enter on the focused button runs the calculation.
    retype("FileName", QString());
    control<QPushButton>("Command1")->setFocus();
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        model->editResultsText("");
        QTest::keyClick(control<QPushButton>("Command1"), key);
        QVERIFY2(!resultsBox()->toPlainText().isEmpty(), qPrintable(QString::number(key)));
    }
}

// The caption, laid out as the label lays it out, lies inside the part of the label that the
// window shows (Label5 starts left of the client area).
static bool captionFits(const QLabel* label) {
    const QRect room = label->contentsRect();
    const QRect shown =
        room.intersected(QRect(label->mapFromParent(QPoint(0, 0)), label->parentWidget()->size()));
    const int flags = static_cast<int>(label->alignment()) | Qt::TextWordWrap;
    return shown.contains(label->fontMetrics().boundingRect(room, flags, label->text()));
}

void MainWindowTest::noCaptionIsClipped() {
    start();
    // The longest warning text: the 32-bit add warning of a JT65 mode.
    retype("FileName", QString());
    retype("RefIn", QStringLiteral("73.3"));
    model->selectPllText("1");
    retype("Foutput", QStringLiteral("10"));
    model->typeModeText("JT65A");
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(control<QLabel>("Label10")->text(), QStringLiteral("USE 32-BIT ADD FOR JT65A"));

    const auto labels = window->findChildren<QLabel*>();
    QCOMPARE(labels.size(), 15);
    for (const QLabel* label : labels) {
        QVERIFY2(captionFits(label), qPrintable(label->objectName() + ": " + label->text()));
    }
    auto* command1 = control<QPushButton>("Command1");
    for (const QString& fileName : {QString(), QStringLiteral("x")}) {
        retype("FileName", fileName);
        QStyleOptionButton option;
        option.initFrom(command1);
        const QRect room =
            command1->style()->subElementRect(QStyle::SE_PushButtonContents, &option, command1);
        QVERIFY2(command1->fontMetrics().horizontalAdvance(command1->text()) <= room.width(),
                 qPrintable(command1->text()));
    }
    for (const char* name : {"jt65mode", "RTTYShift"}) {
        auto* combo = control<QComboBox>(name);
        const int room = combo->lineEdit()->contentsRect().width() - 4;  // the edit's margins
        for (int i = 0; i < combo->count(); ++i) {
            QVERIFY2(combo->fontMetrics().horizontalAdvance(combo->itemText(i)) <= room,
                     qPrintable(combo->itemText(i)));
        }
    }
    auto* pll = control<QListWidget>("PLLMult");
    QVERIFY(pll->fontMetrics().horizontalAdvance(QStringLiteral("20")) <= pll->viewport()->width());
    QVERIFY(pll->visualItemRect(pll->item(4)).height() <= pll->viewport()->height());
}

void MainWindowTest::closingSavesHidesAndEnds() {
    start();
    QSignalSpy unloaded(window.get(), &MainWindow::unloaded);
    retype("RefIn", QStringLiteral("10"));
    retype("ToneFreq", QStringLiteral("800 "));
    control<QComboBox>("jt65mode")->setCurrentIndex(5);
    QVERIFY(window->close());
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(!window->resultsWindow().isVisible());
    QVERIFY(reports.isEmpty());
    QFile file(QStringLiteral("MERIDEL.INI"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("10\r\n16\r\n1\r\n50.505\r\n800 \r\n \r\n 5\r\n"));
}

void MainWindowTest::pllListCannotBeEmptiedByTheUser() {
    start();
    auto* list = control<QListWidget>("PLLMult");
    const auto selected = [&] {
        const auto items = list->selectedItems();
        return items.isEmpty() ? QStringLiteral("(none)") : items.first()->text();
    };
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);  // the user's own keys do reach the list
    QCOMPARE(selected(), QStringLiteral("15"));
    const QPoint entry = list->visualItemRect(list->selectedItems().first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, entry);
    QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(selected(), QStringLiteral("15"));
    model->selectPll(-1);  // code still can
    QCOMPARE(selected(), QStringLiteral("(none)"));
}

void MainWindowTest::typedModeShowsAsTypedInTheWarning() {
    start();
    // A 64 MHz DDS clock and no mode selected: the JT4 word needs more than 24 bits.
    retype("RefIn", QStringLiteral("4"));
    retype("Foutput", QStringLiteral("20"));
    retype("FileName", QString());
    model->typeModeText("<b>x");
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    auto* label10 = control<QLabel>("Label10");
    QCOMPARE(label10->text(), QStringLiteral("USE 32-BIT ADD FOR <b>x"));
    // Drawn exactly as a plain-text label with the same text, font, colours and size.
    QLabel plain(label10->text());
    plain.setTextFormat(Qt::PlainText);
    plain.setFont(label10->font());
    plain.setPalette(label10->palette());
    plain.setAutoFillBackground(true);
    plain.setAlignment(label10->alignment());
    plain.setWordWrap(label10->wordWrap());
    plain.resize(label10->size());
    QCOMPARE(label10->grab().toImage(), plain.grab().toImage());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
