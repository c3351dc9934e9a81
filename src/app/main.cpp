// meridel: the desktop program. The main window (under its menu bar) and the results window
// over one window model.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "gui/main_frame.h"
#include "version.h"

namespace {

// Watches for the main window's first paint, into Qt's back buffer: the X server maps the window
// some tens of milliseconds later. On request it prints that moment and the window's X id (for
// the start-up measurement, which waits for the window to be mapped) and closes the window again
// through its ordinary unload handler (for tests that run the real program).
class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(QWidget& window, bool printTime, bool close)
        : window_(window), printTime_(printTime), close_(close) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            if (printTime_) {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::fprintf(
                    stderr, "meridel: window shown at %lld ns\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fprintf(stderr, "meridel: main window id 0x%llx\n",
                             static_cast<unsigned long long>(window_.window()->winId()));
            }
            if (close_) QTimer::singleShot(0, window_.window(), &QWidget::close);
        }
        return false;
    }

private:
    QWidget& window_;
    bool printTime_, close_;
    bool seen_ = false;
};

bool envFlag(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::string_view(value) != "0";
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--version") {
            std::printf("meridel %s\n", MERIDEL_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("meridel"));
    QApplication::setApplicationVersion(QStringLiteral(MERIDEL_VERSION));

    meridel::model::MainWindowModel model;
    meridel::gui::MainFrame frame(model);
    meridel::gui::MainWindow& window = frame.mainWindow();
    QApplication::setWindowIcon(window.windowIcon());
    QObject::connect(&window, &meridel::gui::MainWindow::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    FirstPaintWatcher watcher(window, envFlag("MERIDEL_PRINT_SHOWN_TIME"),
                              envFlag("MERIDEL_CLOSE_AFTER_START"));
    window.installEventFilter(&watcher);

    window.load();
    frame.show();
    return app.exec();
}
