#include "gui/main_frame.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>

#include "gui/firmware_window.h"
#include "gui/listen_window.h"
#include "gui/messages_window.h"
#include "gui/sequence_window.h"
#include "gui/window_keys.h"

namespace meridel::gui {

MainFrame::MainFrame(MainWindowModel& model, MessageReporter report, Confirmer confirm)
    : model_(model), report_(std::move(report)), confirm_(std::move(confirm)) {
    main_ = new MainWindow(model, report_, this);
    setWindowTitle(main_->windowTitle());
    setWindowIcon(main_->windowIcon());

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    firmwareAction_ =
        tools->addAction(QStringLiteral("&Firmware..."), this, [this] { openFirmware(); });
    messagesAction_ =
        tools->addAction(QStringLiteral("Beacon &messages..."), this, [this] { openMessages(); });
    sequenceAction_ =
        tools->addAction(QStringLiteral("Beacon &sequence..."), this, [this] { openSequence(); });
    listenAction_ = tools->addAction(QStringLiteral("&Listen..."), this, [this] { openListen(); });

    // The main window laid itself out as a window of its own: its client rectangle keeps its
    // place on the screen and its size, with the menu bar added above it.
    const QRect client = main_->geometry();
    QWidget* focus = main_->focusWidget();
    setCentralWidget(main_);
    const int menuHeight = menuBar()->sizeHint().height();
    setGeometry(client.adjusted(0, -menuHeight, 0, 0));
    setFixedSize(client.width(), client.height() + menuHeight);
    if (focus) focus->setFocus();

    connect(main_, &MainWindow::unloaded, this, &MainFrame::unloaded);
    connect(main_, &MainWindow::modelShown, this, [this] {
        // The messages first: the Firmware window shows their tone words.
        if (messages_) messages_->planChanged();
        if (firmware_) {
            if (messages_) firmware_->setMessageTables(messages_->messageTables());
            firmware_->planChanged();
        }
        if (sequence_) sequence_->follow();
        if (listen_) listen_->inputsChanged();
    });
}

MainFrame::~MainFrame() = default;

void MainFrame::openFirmware() {
    if (!firmware_) {
        firmware_ = std::make_unique<FirmwareWindow>(model_, report_);
        connect(firmware_.get(), &FirmwareWindow::choiceChanged, this, [this] {
            if (listen_) listen_->inputsChanged();
        });
    }
    if (messages_) firmware_->setMessageTables(messages_->messageTables());
    bringToFront(firmware_.get(), firmware_->chipBox());
}

void MainFrame::openMessages() {
    if (!messages_) {
        messages_ = std::make_unique<MessagesWindow>(model_, model::kMessagesFileName, report_);
        connect(messages_.get(), &MessagesWindow::textsChanged, this, [this] {
            if (listen_) listen_->inputsChanged();
        });
    }
    if (!messages_->isVisible()) messages_->open();
    bringToFront(messages_.get(), messages_->field(model::MessageField::Jt));
}

void MainFrame::openSequence() {
    if (!sequence_) {
        sequence_ = std::make_unique<SequenceWindow>(model_, report_, confirm_);
        connect(sequence_.get(), &SequenceWindow::planOpened, this, [this] {
            if (listen_) listen_->inputsChanged();
        });
    }
    bringToFront(sequence_.get());
}

void MainFrame::openListen() {
    if (!listen_) {
        listen_ = std::make_unique<ListenWindow>(
            model_, [this] { return messageTexts(); }, report_);
        // A plan file's cycle, while the Beacon sequence window shows it.
        listen_->setCycleSource([this]() -> const planfile::BeaconPlan* {
            return sequence_ && sequence_->isVisible() ? &sequence_->model().plan() : nullptr;
        });
        // The words of the Firmware window's chip, while that window is shown.
        listen_->setChipSource([this]() -> const model::FirmwareModel* {
            return firmware_ && firmware_->isVisible() ? &firmware_->model() : nullptr;
        });
    }
    bringToFront(listen_.get());
}

model::MessageTexts MainFrame::messageTexts() const {
    if (messages_ && messages_->isVisible()) return messages_->texts();
    return model::readMessageSettings(model::kMessagesFileName).texts;
}

void MainFrame::closeEvent(QCloseEvent* event) {
    // The messages window saves its fields as it closes, before the main window ends the program.
    if (messages_ && messages_->isVisible()) messages_->close();
    if (firmware_) firmware_->close();
    if (sequence_) sequence_->close();
    if (listen_) listen_->close();
    main_->close();
    event->accept();
}

}  // namespace meridel::gui
