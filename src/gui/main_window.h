#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "model/main_window_model.h"
#include "model/settings_file.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace meridel::gui {
class ResultsWindow;

using model::ComboState;
using model::MainWindowModel;
using model::ResultsWindowState;
using model::TwipsPoint;
using run::Field;

// Shows the user one message. The program's own reporter opens a modal warning box; tests pass
// one that records the text.
using MessageReporter = std::function<void(const QString& message)>;
// The program's own reporter: a modal warning box over `parent`, titled as it is.
MessageReporter warningBox(QWidget* parent);
// Asks the user a yes-or-no question; true for yes. The program's own asks in a modal box.
using Confirmer = std::function<bool(const QString& question)>;
Confirmer questionBox(QWidget* parent);

// Form1, the main window: the controls of the layout table over a MainWindowModel. It holds no
// behaviour of its own: it shows the model after every change and forwards every edit, click and
// close to it. It owns the results window (OP) and keeps it in step with the model too.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(MainWindowModel& model, MessageReporter report = {},
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load handler: reads MERIDEL.INI of the working directory (a failure without recovery
    // is reported once and the defaults are used) and asks for the results window. Call once,
    // before show(). The results window is placed beside this window's outer frame, which is
    // only known once this window is on the screen, so it appears right after this one.
    void load();

    gui::ResultsWindow& resultsWindow() const { return *results_; }

signals:
    // The unload handler has run (settings saved, results window hidden): the program ends.
    void unloaded();
    // The window shows the model after a change: windows that show the plan's words follow.
    void modelShown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void applyLayout();
    QLineEdit* addTextBox(std::string_view name, Field field, bool readOnly = false);
    QLabel* addLabel(std::string_view name, const QString& caption, Qt::Alignment alignment);
    QComboBox* addComboBox(std::string_view name, const std::vector<std::string>& entries);

    void refresh();  // shows the model; runs after every change the model reports
    void placeResultsWindow();
    void calculate();
    void report(const std::string& message);

    MainWindowModel& model_;
    MessageReporter report_;
    std::filesystem::path settingsFile_;
    model::SettingsNotices settingsNotices_;
    std::unique_ptr<gui::ResultsWindow> results_;

    std::map<std::string_view, QWidget*> controls_;  // by control name, for the layout table
    std::map<Field, QLineEdit*> textBoxes_;
    QListWidget* pllMult_ = nullptr;
    QComboBox* jt65mode_ = nullptr;
    QComboBox* rttyShift_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* setCarr_ = nullptr;
    QLabel* setCarrLabel_ = nullptr;
    QLabel* label10_ = nullptr;

    bool updating_ = false;  // set while refresh() writes widgets, so their echo is ignored
    bool painted_ = false;   // the window is on the screen: its outer frame is known
    bool resultsPlaced_ = false;
    bool unloaded_ = false;
};

}  // namespace meridel::gui
