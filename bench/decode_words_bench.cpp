// One keystroke in the Decode words dialog holding 1000 words: the dialog decodes every word
// again and refills its table. Target: below 50 ms a key. Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextCursor>

#include "gui/firmware_window.h"

namespace {

void BM_DecodeKeystroke(benchmark::State& state) {
    const int words = static_cast<int>(state.range(0));
    meridel::gui::DecodeDialog dialog;
    dialog.start(0, QStringLiteral("200"));
    dialog.show();
    QString text;
    for (int i = 0; i < words; ++i) text += QStringLiteral("0x40,0x00,0x49,0xFC,0xCE,0x47\n");
    dialog.wordsBox()->setPlainText(text);
    QApplication::processEvents();
    QTextCursor cursor = dialog.wordsBox()->textCursor();
    cursor.movePosition(QTextCursor::End);
    bool blank = true;
    for (auto _ : state) {
        // Typing a blank, then deleting it: each is one key, and the words stay the same.
        if (blank) {
            cursor.insertText(QStringLiteral(" "));
        } else {
            cursor.deletePreviousChar();
        }
        blank = !blank;
        QApplication::processEvents();
    }
    if (dialog.table()->rowCount() != words) state.SkipWithError("the table lost words");
}
BENCHMARK(BM_DecodeKeystroke)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
