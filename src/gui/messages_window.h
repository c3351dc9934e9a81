#pragma once

#include <QWidget>
#include <array>
#include <filesystem>

#include "gui/main_window.h"
#include "model/messages_model.h"

class QLabel;
class QLineEdit;
class QTabWidget;

namespace meridel::gui {

// A message's tone sequence: tone number (up) against time (across), one step per symbol.
class TonePicture : public QWidget {
public:
    TonePicture(model::ToneSteps steps, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {480, 90}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    model::ToneSteps steps_;
};

// The Beacon messages window: the message fields, and for each message encoded against the
// main window's plan its symbols as the firmware steps them, period, base word and picture.
// Its fields are read from their settings file when it opens and written when it closes.
class MessagesWindow : public QWidget {
    Q_OBJECT

public:
    MessagesWindow(const MainWindowModel& plan, std::filesystem::path settingsFile,
                   MessageReporter report = {}, QWidget* parent = nullptr);
    // Reads the fields and shows the messages they encode to; a message that cannot be encoded
    // is marked on its field. The caller shows the window.
    void open();
    QLineEdit* field(model::MessageField which) const {
        return fields_[static_cast<std::size_t>(which)];
    }
    QTabWidget* tables() const { return tables_; }
    // The main window's plan changed: the messages follow while the window is shown.
    void planChanged();
    const std::vector<firmware::MessageTable>& messageTables() const { return model_.tables(); }
    const model::MessageTexts& texts() const { return model_.texts(); }

signals:
    // A field was typed in or read from the file.
    void textsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void encode();
    void showMessages();
    void writeSymbolFile();

    const MainWindowModel& plan_;
    std::filesystem::path settingsFile_;
    MessageReporter report_;
    model::MessagesModel model_;
    std::array<QLineEdit*, model::kMessageFieldCount> fields_{};
    QTabWidget* tables_;
    QLabel* errors_;
};

}  // namespace meridel::gui
