// What the user can do to the window: the PLL list cannot be emptied by Ctrl+click or
// Ctrl+Space (code still can), and a typed mode shows in the warning label as typed, not as
// markup.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/main_window.h"

using meridel::gui::MainWindow;
using meridel::model::MainWindowModel;
using meridel::run::Field;

class WindowInputTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(folder.isValid());
        QVERIFY(QDir::setCurrent(folder.path()));
        model = std::make_unique<MainWindowModel>();
        window = std::make_unique<MainWindow>(*model, [](const QString&) {});
        window->load();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        window.reset();
        model.reset();
    }

    void pllListCannotBeEmptiedByTheUser() {
        auto* list = window->findChild<QListWidget*>(QStringLiteral("PLLMult"));
        const auto selected = [&] {
            const auto items = list->selectedItems();
            return items.isEmpty() ? QStringLiteral("(none)") : items.first()->text();
        };
        QCOMPARE(selected(), QStringLiteral("16"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);  // the user's own keys do reach the list
        QCOMPARE(selected(), QStringLiteral("15"));

        const QPoint entry = list->visualItemRect(list->selectedItems().first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, entry);
        QCOMPARE(selected(), QStringLiteral("15"));
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(selected(), QStringLiteral("15"));
        QCOMPARE(model->fieldText(Field::ClockFreq), std::string(" 192"));

        model->selectPll(-1);
        QCOMPARE(selected(), QStringLiteral("(none)"));
        QCOMPARE(model->fieldText(Field::ClockFreq), std::string(" 0"));
    }

    void typedModeShowsAsTypedInTheWarning() {
        // A 64 MHz DDS clock and no mode selected: the JT4 word needs more than 24 bits.
        model->setFieldText(Field::RefIn, "4");
        model->setFieldText(Field::Foutput, "20");
        model->setFieldText(Field::FileName, "");
        model->typeModeText("<b>x");
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        auto* label10 = window->findChild<QLabel*>(QStringLiteral("Label10"));
        QVERIFY(label10->isVisible());
        QCOMPARE(label10->text(), QStringLiteral("USE 32-BIT ADD FOR <b>x"));

        // Drawn exactly as a plain-text label with the same text, font and colours.
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

private:
    QTemporaryDir folder;
    std::unique_ptr<MainWindowModel> model;
    std::unique_ptr<MainWindow> window;
};

QTEST_MAIN(WindowInputTest)
#include "window_input_test.moc"
