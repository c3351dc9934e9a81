#pragma once

#include <QWidget>
#include <string>

class QPlainTextEdit;

namespace meridel::gui {

// OP, the results window: one editable multi-line text box, OPData, that fills the window and
// shows the results text of the last run, black when fresh and green when stale. It holds
// no state of its own; the main window feeds it from the window model.
class ResultsWindow : public QWidget {
    Q_OBJECT

public:
    explicit ResultsWindow(QWidget* parent = nullptr);

    // Shows `text` (lines separated by CR LF) in the fresh or the stale colour. The text box is
    // only rewritten when its text differs, so that the caret of a user's edit stays put.
    void display(const std::string& text, bool stale);
    QPlainTextEdit* textBox() const { return opData_; }

signals:
    // The user changed the text in the box; lines separated by CR LF.
    void textEdited(const std::string& text);
    // The user closed the window by its own close control (it is only hidden).
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPlainTextEdit* opData_;
    bool updating_ = false;  // set while display() writes, so its own change is not echoed
};

}  // namespace meridel::gui
