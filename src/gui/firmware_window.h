#pragma once

#include <QDialog>
#include <QWidget>

#include "gui/main_window.h"
#include "model/firmware_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace meridel::gui {

// Words already in a firmware read back as frequencies: words, chip and clock in, a row per
// word out, or what is wrong with the input.
class DecodeDialog : public QDialog {
    Q_OBJECT

public:
    explicit DecodeDialog(QWidget* parent = nullptr);
    void start(int chipIndex, const QString& clockMHz);
    QTableWidget* table() const { return table_; }
    QPlainTextEdit* wordsBox() const { return words_; }

private:
    void decode();

    QComboBox* chip_;
    QLineEdit* clock_;
    QPlainTextEdit* words_;
    QTableWidget* table_;
    QLabel* error_;
};

// The Firmware window: the chip, its clock and multiplier, the format, the plan's words for
// that chip with their frequencies and errors, the chip's warnings, Export and Decode words.
class FirmwareWindow : public QWidget {
    Q_OBJECT

public:
    FirmwareWindow(const MainWindowModel& plan, MessageReporter report = {},
                   QWidget* parent = nullptr);
    // The main window's plan changed: the words follow while the window is shown.
    void planChanged();
    // The messages of the Beacon messages window, whose own tone words the table shows.
    void setMessageTables(std::vector<firmware::MessageTable> tables);
    QTableWidget* table() const { return table_; }
    QComboBox* chipBox() const { return chip_; }
    QLineEdit* clockBox() const { return clock_; }
    QLineEdit* multiplierBox() const { return multiplier_; }
    DecodeDialog* decodeDialog() const { return decode_; }
    const model::FirmwareModel& model() const { return model_; }

signals:
    // The chip, its clock, multiplier, format or calibration changed, or the window came or
    // went: the Listen window hears this window's words while it is shown.
    void choiceChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();  // computes from the plan and shows the model
    void edited();   // a choice of the window changed
    void exportFile();
    void widenToTable();  // as wide as the table's columns, within the screen

    const MainWindowModel& plan_;
    MessageReporter report_;
    model::FirmwareModel model_;
    bool updating_ = false;

    QComboBox* chip_;
    QLineEdit* clock_;
    QLineEdit* multiplier_;
    QLabel* multiplierRule_;
    QComboBox* format_;
    QComboBox* calibration_;
    QLineEdit* calibrationText_;
    QTableWidget* table_;
    QLabel* notes_;
    QPushButton* export_;
    DecodeDialog* decode_;
};

}  // namespace meridel::gui
