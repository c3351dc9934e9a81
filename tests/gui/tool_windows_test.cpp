// The menu bar and the windows it opens: the main window keeps its client rectangle under the
// menu, the Firmware window fills its table from the plan, and the Beacon messages window
// reports a bad message once and keeps its fields in MESSAGES.INI; the Beacon sequence window
// fills the main window from a plan file or a template, follows its mode and edits segments; the
// Listen window follows the plan and the messages.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "gui/firmware_window.h"
#include "gui/listen_window.h"
#include "gui/main_frame.h"
#include "gui/messages_window.h"
#include "gui/results_window.h"
#include "gui/sequence_window.h"
#include "gui/window_keys.h"

using meridel::gui::MainFrame;
using meridel::model::MessageField;

// The push button of a window with this caption (null when there is none).
static QPushButton* button(QWidget* window, const char* text) {
    for (auto* b : window->findChildren<QPushButton*>()) {
        if (b->text() == QLatin1String(text)) return b;
    }
    return nullptr;
}

class ToolWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menuBarLeavesTheClientAreaInPlace();
    void firmwareWindowShowsThePlansWords();
    void messagesWindowReportsOnceAndKeepsItsFields();
    void toolWindowsOpenRestoredWithTheKeyboardInTheirFirstInput();
    void decodeDialogOpensWithReturnAndClosesWithTheFirmwareWindow();
    void sequenceWindowFillsThePlanAndFollowsItsMode();
    void sequenceWindowEditsATemplatesSegments();
    void listenWindowFollowsThePlanAndTheMessages();
    void everyWindowLetsTabCycleThroughIt();
    void windowsFitTheirScreen();
    void plansAskBeforeReplacingFieldsAndSaveAsPlanFiles();
    void sequenceWindowShowsWhatThePlanLeavesImplicit();
    void messagesAndDecodeWordsSayWhatTheChipDoes();

private:
    QString originalFolder;
    std::unique_ptr<QTemporaryDir> folder;
    QStringList reports;
    QStringList questions;
    bool answer = true;
    std::unique_ptr<meridel::model::MainWindowModel> model;
    std::unique_ptr<MainFrame> frame;
};

void ToolWindowsTest::init() {
    originalFolder = QDir::currentPath();
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(folder->path()));
    reports.clear();
    questions.clear();
    answer = true;
    model = std::make_unique<meridel::model::MainWindowModel>();
    frame = std::make_unique<MainFrame>(
        *model, [this](const QString& message) { reports.append(message); },
        [this](const QString& question) {
            questions.append(question);
            return answer;
        });
    frame->mainWindow().load();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
}

void ToolWindowsTest::cleanup() {
    frame.reset();
    model.reset();
    QDir::setCurrent(originalFolder);
    folder.reset();
}

void ToolWindowsTest::menuBarLeavesTheClientAreaInPlace() {
    if (frame->logicalDpiX() != 96 || frame->logicalDpiY() != 96) QSKIP("pixels at 96 dpi");
    const QWidget& client = frame->mainWindow();
    QCOMPARE(client.size(), QSize(518, 322));
    QCOMPARE(client.mapToGlobal(QPoint(0, 0)), QPoint(54, 74));
    QCOMPARE(client.y(), frame->menuBar()->height());
    QCOMPARE(frame->size(), QSize(518, 322 + frame->menuBar()->height()));
}

void ToolWindowsTest::firmwareWindowShowsThePlansWords() {
    frame->firmwareAction()->trigger();
    auto* window = frame->firmwareWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->table()->rowCount(), 14);  // the listing's ten tone and four interval words
    // The SSB carrier, round(50.505 / 204.8 x 2^48) as exact fractions give it.
    QCOMPARE(window->table()->item(4, 1)->text(), QStringLiteral("0x3F,0x21,0x99,0x99,0x99,0x9A"));

    // The window's own clock and PLL are shown, and look read-only.
    const QColor background = window->palette().color(QPalette::Window);
    QCOMPARE(window->clockBox()->palette().color(QPalette::Base), background);
    QCOMPARE(window->multiplierBox()->text(), QStringLiteral("16"));
    const QTableWidget* table = window->table();
    for (int column = 0; column < table->columnCount(); ++column) {
        for (int row = 0; row < table->rowCount(); ++row) {
            const QString text = table->item(row, column)->text();
            QVERIFY2(table->columnWidth(column) > table->fontMetrics().horizontalAdvance(text),
                     qPrintable(text));
            // Plain decimals: an error of a few microhertz in fixed point, not as 1E-06.
            QVERIFY2(column < 2 || !text.contains(QLatin1Char('E')), qPrintable(text));
        }
    }
    // The interval words in the four bytes the listing gives them.
    QCOMPARE(table->item(13, 1)->text().count(QStringLiteral("0x")), 4);

    // Another chip: its own clock, and the words follow the main window's plan.
    window->chipBox()->setCurrentText(QStringLiteral("AD9851"));
    QCOMPARE(window->table()->rowCount(), 0);
    QVERIFY(window->clockBox()->palette().color(QPalette::Base) != background);
    QCOMPARE(window->multiplierBox()->text(), QString());
    QTest::keyClicks(window->clockBox(), QStringLiteral("180"));
    QCOMPARE(window->table()->item(4, 1)->text(), QStringLiteral("0x47,0xD4,0x4F,0x30"));
    model->setFieldText(meridel::run::Field::Foutput, "14.0956");
    QCOMPARE(window->table()->item(4, 1)->text(), QStringLiteral("0x14,0x0C,0x0D,0x25"));
    QVERIFY(reports.isEmpty());
}

void ToolWindowsTest::messagesWindowReportsOnceAndKeepsItsFields() {
    frame->messagesAction()->trigger();
    auto* window = frame->messagesWindow();
    QVERIFY(window && window->isVisible());
    QTest::keyClicks(window->field(MessageField::Wspr), QStringLiteral("K1ABC FN42 38"));
    QTest::keyClicks(window->field(MessageField::Jt), QStringLiteral("CQ K1ABC FN42"));
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Encode")), Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().contains(QStringLiteral("38 dBm")), qPrintable(reports.first()));
    // The bad message is marked on its field; the good one keeps its tab.
    QVERIFY(window->field(MessageField::Wspr)->toolTip().contains(QStringLiteral("38 dBm")));
    QVERIFY(window->field(MessageField::Jt)->toolTip().isEmpty());
    QCOMPARE(window->tables()->count(), 1);
    QCOMPARE(window->tables()->tabText(0), QStringLiteral("JT65C"));

    // No file dialog while nothing can be written: the reason comes first.
    bool dialogShown = false;
    QTimer watchdog;
    connect(&watchdog, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialogShown = true;
            modal->close();
        }
    });
    watchdog.start(50);
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("WriteSymbolFile")),
                      Qt::LeftButton);
    QVERIFY(!dialogShown);
    QCOMPARE(reports.size(), 2);

    // The tabs follow the main window's mode without another Encode.
    model->selectMode(1);
    QCOMPARE(window->tables()->tabText(0), QStringLiteral("JT65B"));
    window->field(MessageField::Jt)->clear();
    QTest::keyClicks(window->field(MessageField::Jt), QStringLiteral(" "));

    QTest::keyClick(window->field(MessageField::Wspr), Qt::Key_Backspace);
    QTest::keyClicks(window->field(MessageField::Wspr), QStringLiteral("7"));
    QTest::keyClick(window->findChild<QPushButton*>(QStringLiteral("Encode")), Qt::Key_Enter);
    QCOMPARE(reports.size(), 2);
    QCOMPARE(window->tables()->count(), 1);
    QCOMPARE(window->tables()->tabText(0), QStringLiteral("WSPR"));

    QVERIFY(frame->close());  // the messages window closes first and saves its fields
    QFile file(QStringLiteral("MESSAGES.INI"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("\nwspr=K1ABC FN42 37\n"));
    QFile main(QStringLiteral("MERIDEL.INI"));
    QVERIFY(main.open(QIODevice::ReadOnly));
    QCOMPARE(main.readAll().count("\r\n"), 7);
}

void ToolWindowsTest::toolWindowsOpenRestoredWithTheKeyboardInTheirFirstInput() {
    using Window = std::function<QWidget*()>;
    const std::vector<std::tuple<QAction*, Window, Window>> cases = {
        {frame->firmwareAction(), [&] { return frame->firmwareWindow(); },
         [&] { return frame->firmwareWindow()->chipBox(); }},
        {frame->messagesAction(), [&] { return frame->messagesWindow(); },
         [&] { return frame->messagesWindow()->field(MessageField::Jt); }},
        {frame->sequenceAction(), [&] { return frame->sequenceWindow(); },
         [&] { return frame->sequenceWindow()->findChild<QPushButton*>(); }},
        {frame->listenAction(), [&] { return frame->listenWindow(); },
         [&] { return frame->listenWindow()->dialBox(); }},
    };
    // Activation itself needs a window manager: focus_test.sh checks it under openbox.
    for (const auto& [action, window, first] : cases) {
        action->trigger();
        QCOMPARE(window()->focusWidget(), first());
        window()->showMinimized();
        action->trigger();
        QVERIFY(window()->isVisible() && !window()->isMinimized());
        QVERIFY(window()->windowTitle().endsWith(QStringLiteral(" - MERIDEL")));
    }
    // Closed with the keyboard elsewhere, a window opens again in its first field.
    frame->firmwareWindow()->table()->setFocus();
    frame->firmwareWindow()->close();
    frame->firmwareAction()->trigger();
    QCOMPARE(frame->firmwareWindow()->focusWidget(), frame->firmwareWindow()->chipBox());
}

void ToolWindowsTest::decodeDialogOpensWithReturnAndClosesWithTheFirmwareWindow() {
    frame->firmwareAction()->trigger();
    auto* dialog = frame->firmwareWindow()->decodeDialog();
    QTest::keyClick(frame->firmwareWindow()->findChild<QPushButton*>(QStringLiteral("DecodeWords")),
                    Qt::Key_Return);  // Return presses the focused button
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->focusWidget(), dialog->wordsBox());
    frame->firmwareWindow()->close();
    QVERIFY(!dialog->isVisible());
}

void ToolWindowsTest::sequenceWindowFillsThePlanAndFollowsItsMode() {
    frame->sequenceAction()->trigger();
    auto* window = frame->sequenceWindow();
    QVERIFY(window && window->isVisible());
    QVERIFY(window->openPlan(QStringLiteral(MERIDEL_EXAMPLES "/jt4-cw.toml")));
    QCOMPARE(model->fieldText(meridel::run::Field::Foutput), std::string("50.4"));
    QCOMPARE(model->modeText(), std::string("JT4G"));
    QCOMPARE(window->model().timeline().bars.size(), 6u);
    QCOMPARE(window->findings()->count(), 1);  // the duty cycle, no breach
    QVERIFY(reports.isEmpty());

    // JT65B in the main window: the plan's jt4 segment has no JT4 message any more.
    model->selectMode(1);
    QVERIFY(window->model().timeline().bars.empty());
    QVERIFY(window->savePlan(QStringLiteral("saved.toml")));
    QFile saved(QStringLiteral("saved.toml"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("mode = \"JT65B\"\n"));

    QFile bad(QStringLiteral("bad.toml"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("[cycle]\nseconds = 7\n");
    bad.close();
    QVERIFY(!window->openPlan(QStringLiteral("bad.toml")));
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().startsWith(QStringLiteral("bad.toml:2: cycle.seconds")),
             qPrintable(reports.first()));
}

void ToolWindowsTest::sequenceWindowEditsATemplatesSegments() {
    frame->sequenceAction()->trigger();
    auto* window = frame->sequenceWindow();
    const auto click = [window](const char* text) { button(window, text)->click(); };
    window->findChild<QComboBox*>(QStringLiteral("Templates"))->setCurrentText("cw-carrier");
    click("&Use template");
    QCOMPARE(model->fieldText(meridel::run::Field::Foutput), std::string("144.4"));
    QTableWidget* table = window->segments();
    QCOMPARE(table->rowCount(), 3);
    // A bad start is reported and the table shows the plan as it stays.
    table->item(2, 1)->setText(QStringLiteral("soon"));
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports[0].startsWith(QStringLiteral("Segment 3, start: \"soon\"")),
             qPrintable(reports[0]));
    QCOMPARE(table->item(2, 1)->text(), QStringLiteral("after previous"));
    table->item(1, 0)->setText(QStringLiteral("carrier"));
    table->selectRow(0);
    click("Move &down");
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("carrier"));
    QCOMPARE(table->currentRow(), 1);
    click("&Remove");
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(window->model().timeline().bars.size(), 2u);
    QCOMPARE(reports.size(), 1);
}

void ToolWindowsTest::listenWindowFollowsThePlanAndTheMessages() {
    frame->listenAction()->trigger();
    auto* window = frame->listenWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->focusWidget(), window->dialBox());
    QVERIFY(window->notes()->text().contains(QStringLiteral("Nothing to hear")));
    QVERIFY(!window->writeButton()->isEnabled() && !window->playButton()->isEnabled());

    // Typed into the Beacon messages window, heard at once.
    frame->messagesAction()->trigger();
    QTest::keyClicks(frame->messagesWindow()->field(MessageField::Wspr),
                     QStringLiteral("K1ABC FN42 37"));
    QCOMPARE(window->notes()->text(),
             QStringLiteral("USB dial 50.5035 MHz, 120 s\nWSPR: 1497.8 to 1502.2 Hz"));
    QVERIFY(!window->waterfall()->pixmap().isNull());
    QVERIFY(window->writeButton()->isEnabled());
    // The colours' legend: from the floor, so many dB down, to the strongest.
    QVERIFY(window->legendBar()->isVisibleTo(window));
    QVERIFY2(window->legendFloor()->text().contains(
                 QRegularExpression(QStringLiteral("^-[1-9]\\d* dB$"))),
             qPrintable(window->legendFloor()->text()));

    // A dial the signal is outside of: no picture, and the dial to use.
    QTest::keyClicks(window->dialBox(), QStringLiteral("50.505"));
    QVERIFY2(window->notes()->text().endsWith(QStringLiteral("use Dial 50.5035")),
             qPrintable(window->notes()->text()));
    QVERIFY(window->waterfall()->pixmap().isNull());
    QVERIFY(!window->writeButton()->isEnabled() && !window->legendBar()->isVisibleTo(window));
    model->setFieldText(meridel::run::Field::Foutput, "50.5065");  // the plan follows as well
    QVERIFY(window->notes()->text().startsWith(QStringLiteral("USB dial 50.505 MHz")));

    // A plan file's cycle, open in the Beacon sequence window, is heard instead.
    window->dialBox()->selectAll();
    QTest::keyClick(window->dialBox(), Qt::Key_Backspace);
    frame->sequenceAction()->trigger();
    QVERIFY(frame->sequenceWindow()->openPlan(QStringLiteral(MERIDEL_EXAMPLES "/iaru-mixed.toml")));
    QVERIFY2(window->notes()->text().startsWith(
                 QStringLiteral("USB dial 50.4702 MHz, 60 s: the cycle of the Beacon sequence")),
             qPrintable(window->notes()->text()));

    // The Firmware window's chip is heard while that window is shown.
    frame->firmwareAction()->trigger();
    auto* firmware = frame->firmwareWindow();
    firmware->chipBox()->setCurrentIndex(firmware->chipBox()->findText(QStringLiteral("AD9851")));
    QTest::keyClicks(firmware->clockBox(), QStringLiteral("180"));
    const QString chipWords = QStringLiteral("the AD9851's words of the Firmware window");
    QVERIFY2(window->notes()->text().contains(chipWords), qPrintable(window->notes()->text()));
    firmware->close();
    QVERIFY(!window->notes()->text().contains(chipWords));
    QVERIFY(reports.isEmpty());
}

void ToolWindowsTest::everyWindowLetsTabCycleThroughIt() {
    using Widget = std::function<QWidget*()>;
    frame->messagesAction()->trigger();
    QTest::keyClicks(frame->messagesWindow()->field(MessageField::Wspr),
                     QStringLiteral("K1ABC FN42 37"));  // words in the tables Tab must leave
    frame->listenAction()->trigger();
    frame->sequenceAction()->trigger();
    frame->firmwareAction()->trigger();
    auto* firmware = frame->firmwareWindow();
    firmware->findChild<QPushButton*>(QStringLiteral("DecodeWords"))->click();
    QTest::keyClicks(firmware->decodeDialog()->wordsBox(),
                     QStringLiteral("0x40,0x00,0x00,0x00,0x00,0x00"));
    firmware->decodeDialog()->wordsBox()->setFocus();
    const struct {
        QWidget* window;
        Widget second;  // after one Tab from the first field
        Widget passes;  // a control the cycle reaches
    } cases[] = {
        {firmware, [&] { return firmware->clockBox(); },
         [&] { return button(firmware, "Decode words..."); }},
        {firmware->decodeDialog(),
         [&] { return firmware->decodeDialog()->findChild<QComboBox*>(); },
         [&] { return firmware->decodeDialog()->table(); }},
        {frame->messagesWindow(),
         [&] { return frame->messagesWindow()->field(MessageField::Wspr); },
         [&] { return button(frame->messagesWindow(), "Write symbol file..."); }},
        {frame->sequenceWindow(), [&] { return button(frame->sequenceWindow(), "&Save plan..."); },
         [&] { return frame->sequenceWindow()->findings(); }},
        {frame->listenWindow(),
         [&] { return frame->listenWindow()->findChildren<QLineEdit*>().at(1); },
         [&] { return frame->listenWindow()->writeButton(); }},
    };
    for (const auto& c : cases) {
        QWidget* first = c.window->focusWidget();
        QVERIFY2(first, qPrintable(c.window->windowTitle()));
        QList<QWidget*> visited;
        for (QWidget* at = first; visited.size() < 60 && (visited.isEmpty() || at != first);) {
            QTest::keyClick(at, Qt::Key_Tab);
            at = c.window->focusWidget();
            visited.append(at);
        }
        QVERIFY2(visited.last() == first, qPrintable(c.window->windowTitle()));
        QCOMPARE(visited.first(), c.second());
        QVERIFY2(visited.contains(c.passes()), qPrintable(c.window->windowTitle()));
    }

    // Enter presses a button, and the mnemonics are distinct.
    QTest::keyClick(button(frame->sequenceWindow(), "&Use template"), Qt::Key_Return);
    QCOMPARE(model->fieldText(meridel::run::Field::Foutput), std::string("50.4702"));
    QStringList keys;
    for (auto* b : frame->sequenceWindow()->findChildren<QPushButton*>()) {
        keys << b->text().section(QLatin1Char('&'), 1).left(1).toLower();
    }
    QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
}

void ToolWindowsTest::windowsFitTheirScreen() {
    const QRect screen(0, 0, 640, 512);
    const struct {
        QRect frame, fitted;
    } cases[] = {
        {{10, 10, 300, 200}, {10, 10, 300, 200}},    // fits: untouched
        {{600, 20, 300, 200}, {340, 20, 300, 200}},  // off the right: moved in
        {{-5, 400, 300, 200}, {0, 312, 300, 200}},   // off the left and the bottom
        {{50, 50, 800, 600}, {0, 0, 640, 512}},      // too big: the whole screen
    };
    for (const auto& c : cases) QCOMPARE(meridel::gui::fittedFrame(c.frame, screen), c.fitted);

    frame->firmwareAction()->trigger();
    frame->sequenceAction()->trigger();
    frame->listenAction()->trigger();
    frame->messagesAction()->trigger();
    for (QWidget* window : {static_cast<QWidget*>(frame->firmwareWindow()),
                            static_cast<QWidget*>(frame->sequenceWindow()),
                            static_cast<QWidget*>(frame->listenWindow()),
                            static_cast<QWidget*>(frame->messagesWindow()),
                            static_cast<QWidget*>(&frame->mainWindow().resultsWindow())}) {
        QVERIFY2(window->screen()->availableGeometry().contains(window->frameGeometry()),
                 qPrintable(window->windowTitle()));
    }
}

void ToolWindowsTest::plansAskBeforeReplacingFieldsAndSaveAsPlanFiles() {
    frame->sequenceAction()->trigger();
    auto* window = frame->sequenceWindow();
    answer = false;
    QVERIFY(!window->pickTemplate(QStringLiteral("cw-carrier")));
    QCOMPARE(model->fieldText(meridel::run::Field::Foutput), std::string("50.505"));
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].contains(QStringLiteral("Output carrier: \"50.505\" -> \"144.4\"")),
             qPrintable(questions[0]));
    answer = true;
    QVERIFY(window->pickTemplate(QStringLiteral("cw-carrier")));
    QCOMPARE(model->fieldText(meridel::run::Field::Foutput), std::string("144.4"));
    QVERIFY(window->pickTemplate(QStringLiteral("cw-carrier")));  // nothing to replace: no question
    QCOMPARE(questions.size(), 2);

    QVERIFY(window->savePlan(QStringLiteral("mybeacon")));
    QVERIFY(QFile::exists(QStringLiteral("mybeacon.toml")) &&
            !QFile::exists(QStringLiteral("mybeacon")));
    QCOMPARE(window->windowTitle(), QStringLiteral("Beacon sequence - mybeacon.toml - MERIDEL"));
    QVERIFY(reports.isEmpty());
}

void ToolWindowsTest::sequenceWindowShowsWhatThePlanLeavesImplicit() {
    frame->sequenceAction()->trigger();
    auto* window = frame->sequenceWindow();
    QVERIFY(window->pickTemplate(QStringLiteral("wspr")));
    QVERIFY2(window->findChild<QLabel*>(QStringLiteral("Status"))
                 ->text()
                 .contains(QStringLiteral("slot 1 of 5")),
             qPrintable(window->findChild<QLabel*>(QStringLiteral("Status"))->text()));
    QVERIFY(window->pickTemplate(QStringLiteral("iaru-mixed")));
    QTableWidget* table = window->segments();
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("24.333"));  // pi4 ends with its message
    QVERIFY(table->item(0, 3)->font().italic() && !table->item(3, 3)->font().italic());
    // Kind is picked from a list.
    table->openPersistentEditor(table->item(1, 0));
    auto* kinds = table->findChild<QComboBox*>();
    QVERIFY(kinds && kinds->count() == 9 && kinds->currentText() == QStringLiteral("cw"));
    table->closePersistentEditor(table->item(1, 0));

    // A bar too narrow for its name shows none, rather than a clipped letter of it.
    const QImage picture = window->findChild<meridel::gui::TimelinePicture*>()->grab().toImage();
    const auto& pause = window->model().timeline().bars[2];
    QCOMPARE(pause.kind, std::string("pause"));
    const double scale = (picture.width() - 24) / window->model().timeline().length;
    for (int x = 8 + static_cast<int>(pause.start * scale) + 1; x < 8 + pause.end * scale - 1;
         ++x) {
        for (int y = 8; y < 30; ++y) QCOMPARE(picture.pixelColor(x, y), QColor(0xe0, 0xe0, 0xe0));
    }
}

void ToolWindowsTest::messagesAndDecodeWordsSayWhatTheChipDoes() {
    // A stored message that cannot be encoded is marked, not put in a box, when the window opens.
    frame->messagesAction()->trigger();
    auto* messages = frame->messagesWindow();
    QTest::keyClicks(messages->field(MessageField::Wspr), QStringLiteral("K1ABC FN42 38"));
    messages->close();
    frame->messagesAction()->trigger();
    QVERIFY(reports.isEmpty());
    QVERIFY(messages->field(MessageField::Wspr)->toolTip().contains(QStringLiteral("38 dBm")));
    // CW without a tone is keyed on the carrier: said, and no longer once there is a tone.
    auto* notes = messages->findChild<QLabel*>(QStringLiteral("Errors"));
    QTest::keyClicks(messages->field(MessageField::Cw), QStringLiteral("TEST"));
    messages->planChanged();
    QVERIFY2(notes->text().contains(QStringLiteral("keyed on the carrier")),
             qPrintable(notes->text()));
    model->setFieldText(meridel::run::Field::ToneFreq, "800");
    QVERIFY(!notes->text().contains(QStringLiteral("keyed on the carrier")));

    // Decode words notes a word the chip puts out as its alias.
    frame->firmwareAction()->trigger();
    auto* firmware = frame->firmwareWindow();
    firmware->findChild<QPushButton*>(QStringLiteral("DecodeWords"))->click();
    QTest::keyClicks(firmware->decodeDialog()->wordsBox(),
                     QStringLiteral("0xC0,0x00,0x00,0x00,0x00,0x00"));
    QCOMPARE(firmware->decodeDialog()->table()->rowCount(), 1);
    const QTableWidgetItem* note = firmware->decodeDialog()->table()->item(0, 3);
    QVERIFY(note && note->text().contains(QStringLiteral("alias")));
}

QTEST_MAIN(ToolWindowsTest)
#include "tool_windows_test.moc"
