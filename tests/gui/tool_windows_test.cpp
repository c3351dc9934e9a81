// The menu bar and the windows it opens: the main window keeps its client rectangle under the
// menu, the Firmware window fills its table from the plan, and the Beacon messages window
// reports a bad message once and keeps its fields in MESSAGES.INI; the Listen window follows
// the plan and the messages.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/firmware_window.h"
#include "gui/listen_window.h"
#include "gui/main_frame.h"
#include "gui/messages_window.h"

using meridel::gui::MainFrame;
using meridel::model::MessageField;

class ToolWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menuBarLeavesTheClientAreaInPlace();
    void firmwareWindowShowsThePlansWords();
    void messagesWindowReportsOnceAndKeepsItsFields();
    void listenWindowFollowsThePlanAndTheMessages();

private:
    QString originalFolder;
    std::unique_ptr<QTemporaryDir> folder;
    QStringList reports;
    std::unique_ptr<meridel::model::MainWindowModel> model;
    std::unique_ptr<MainFrame> frame;
};

void ToolWindowsTest::init() {
    originalFolder = QDir::currentPath();
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(folder->path()));
    reports.clear();
    model = std::make_unique<meridel::model::MainWindowModel>();
    frame = std::make_unique<MainFrame>(
        *model, [this](const QString& message) { reports.append(message); });
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

    // Another chip: its own clock, and the words follow the main window's plan.
    window->chipBox()->setCurrentText(QStringLiteral("AD9851"));
    QCOMPARE(window->table()->rowCount(), 0);
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
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Encode")), Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().contains(QStringLiteral("38 dBm")), qPrintable(reports.first()));
    QCOMPARE(window->tables()->count(), 0);

    QTest::keyClick(window->field(MessageField::Wspr), Qt::Key_Backspace);
    QTest::keyClicks(window->field(MessageField::Wspr), QStringLiteral("7"));
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Encode")), Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
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

    // A dial the signal is outside of: no picture, and the dial to use.
    QTest::keyClicks(window->dialBox(), QStringLiteral("50.505"));
    QVERIFY2(window->notes()->text().endsWith(QStringLiteral("use Dial 50.5035")),
             qPrintable(window->notes()->text()));
    QVERIFY(window->waterfall()->pixmap().isNull());
    QVERIFY(!window->writeButton()->isEnabled());
    model->setFieldText(meridel::run::Field::Foutput, "50.5065");  // the plan follows as well
    QVERIFY(window->notes()->text().startsWith(QStringLiteral("USB dial 50.505 MHz")));
    QVERIFY(reports.isEmpty());
}

QTEST_MAIN(ToolWindowsTest)
#include "tool_windows_test.moc"
