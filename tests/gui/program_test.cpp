// The real meridel program: started on the offscreen platform in a scratch folder and closed
// once its window is shown, it saves MERIDEL.INI; --version answers without any display.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "version.h"

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void savesTheSettingsItStartedWithOnClose();
    void firstStartSavesTheDefaults();
    void versionNeedsNoDisplay();

private:
    // Runs meridel in `folder` until it closes its own main window after start-up.
    static void runAndClose(const QString& folder) {
        QProcess program;
        program.setWorkingDirectory(folder);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("MERIDEL_CLOSE_AFTER_START"), QStringLiteral("1"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(MERIDEL_PROGRAM), {});
        QVERIFY2(program.waitForFinished(30000), "meridel did not end after its window closed");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
    }
    static QByteArray settingsBytes(const QString& folder) {
        QFile file(folder + QStringLiteral("/MERIDEL.INI"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }
};

void ProgramTest::savesTheSettingsItStartedWithOnClose() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    {
        QFile file(folder.filePath(QStringLiteral("MERIDEL.INI")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        // LF line ends, a mode line without its blank and an eighth line: rewritten on close.
        file.write("10\n20\n3\n432.3\n  800 \nbeacon.asm\n5\nan eighth line\n");
    }
    runAndClose(folder.path());
    const QByteArray saved = settingsBytes(folder.path());
    QCOMPARE(saved, QByteArray("10\r\n20\r\n3\r\n432.3\r\n  800 \r\nbeacon.asm\r\n 5\r\n"));
    QCOMPARE(saved.count("\r\n"), 7);
}

void ProgramTest::firstStartSavesTheDefaults() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    runAndClose(folder.path());
    QCOMPARE(settingsBytes(folder.path()),
             QByteArray("12.8\r\n16\r\n1\r\n50.505\r\n \r\n \r\n 2\r\n"));
}

void ProgramTest::versionNeedsNoDisplay() {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));  // would need one
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(MERIDEL_PROGRAM), {QStringLiteral("--version")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray("meridel " MERIDEL_VERSION "\n"));
}

QTEST_GUILESS_MAIN(ProgramTest)
#include "program_test.moc"
