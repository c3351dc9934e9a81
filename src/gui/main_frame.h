#pragma once

#include <QMainWindow>
#include <memory>

#include "gui/main_window.h"
#include "model/messages_settings.h"

class QAction;

namespace meridel::gui {
class FirmwareWindow;
class ListenWindow;
class MessagesWindow;
class SequenceWindow;

// The program's outer window: a menu bar over the main window, which keeps its client size and
// its controls' places, the way a menu sits outside a form's client area. The menu opens the
// Firmware, Beacon messages, Beacon sequence and Listen windows, which follow the main window's
// plan.
class MainFrame : public QMainWindow {
    Q_OBJECT

public:
    // `confirm` asks before a plan file replaces the main window's fields; empty: a box asks.
    explicit MainFrame(MainWindowModel& model, MessageReporter report = {}, Confirmer confirm = {});
    ~MainFrame() override;

    MainWindow& mainWindow() const { return *main_; }
    QAction* firmwareAction() const { return firmwareAction_; }
    QAction* messagesAction() const { return messagesAction_; }
    QAction* sequenceAction() const { return sequenceAction_; }
    // Created when first opened.
    FirmwareWindow* firmwareWindow() const { return firmware_.get(); }
    MessagesWindow* messagesWindow() const { return messages_.get(); }
    SequenceWindow* sequenceWindow() const { return sequence_.get(); }
    QAction* listenAction() const { return listenAction_; }
    ListenWindow* listenWindow() const { return listen_.get(); }

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void openFirmware();
    void openMessages();
    void openSequence();
    void openListen();
    // The Beacon messages window's fields as they are, or as its file keeps them when it was
    // never opened.
    model::MessageTexts messageTexts() const;

    MainWindowModel& model_;
    MessageReporter report_;  // empty: each window reports in a box of its own
    Confirmer confirm_;       // empty: the window asks in a box of its own
    MainWindow* main_;        // the central widget, owned by the frame
    QAction* firmwareAction_ = nullptr;
    QAction* messagesAction_ = nullptr;
    QAction* sequenceAction_ = nullptr;
    std::unique_ptr<FirmwareWindow> firmware_;
    std::unique_ptr<MessagesWindow> messages_;
    std::unique_ptr<SequenceWindow> sequence_;
    QAction* listenAction_ = nullptr;
    std::unique_ptr<ListenWindow> listen_;
};

}  // namespace meridel::gui
