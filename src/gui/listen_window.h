#pragma once

#include <QWidget>
#include <functional>

#include "gui/main_window.h"
#include "model/listen_model.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace meridel::gui {

// The Listen window: the plan and the Beacon messages window's messages (or the cycle of the
// plan file open in the Beacon sequence window), in the words of the Firmware window's chip
// while that window is shown, as a USB receiver hears them, drawn as a
// waterfall, written as a WAV file and played where an audio device and Qt Multimedia exist.
class ListenWindow : public QWidget {
    Q_OBJECT

public:
    using MessageSource = std::function<model::MessageTexts()>;
    ListenWindow(const MainWindowModel& plan, MessageSource messages, MessageReporter report = {},
                 QWidget* parent = nullptr);
    ~ListenWindow() override;
    // The plan file whose cycle is heard instead of the messages; null for none.
    using CycleSource = std::function<const planfile::BeaconPlan*()>;
    void setCycleSource(CycleSource cycles) { cycles_ = std::move(cycles); }
    // The Firmware window whose chip's words are heard instead of the AD9852's; null for none.
    using ChipSource = std::function<const model::FirmwareModel*()>;
    void setChipSource(ChipSource chips) { chips_ = std::move(chips); }
    // The plan or the messages changed: the sound follows while the window is shown.
    void inputsChanged();
    QLineEdit* dialBox() const { return dial_; }
    QLabel* waterfall() const { return picture_; }
    QLabel* notes() const { return notes_; }
    // The colours of the waterfall from its floor to its strongest, and the floor in dB.
    QLabel* legendBar() const { return legendBar_; }
    QLabel* legendFloor() const { return legendFloor_; }
    QPushButton* writeButton() const { return write_; }
    QPushButton* playButton() const { return play_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();  // computes from the plan and messages and shows the model
    void writeFile();
    void play();

    const MainWindowModel& plan_;
    MessageSource messages_;
    CycleSource cycles_;
    ChipSource chips_;
    MessageReporter report_;
    model::ListenModel model_;

    QLineEdit* dial_;
    QLineEdit* snr_;
    QLabel* notes_;
    QWidget* legend_;
    QLabel* legendFloor_;
    QLabel* legendBar_;
    QScrollArea* scroll_;
    QLabel* picture_;
    QPushButton* write_;
    QPushButton* play_;
    QLabel* playNote_;
    struct Player;
    std::unique_ptr<Player> player_;  // null without Qt Multimedia or an audio device
};

}  // namespace meridel::gui
