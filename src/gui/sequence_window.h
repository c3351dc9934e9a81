#pragma once

#include <QWidget>

#include "gui/main_window.h"
#include "model/sequence_model.h"

class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace meridel::gui {

// The cycle drawn over its seconds: each segment as a coloured bar, the key-down stretches as a
// line under it, and a marker at each rule finding (red for a breach).
class TimelinePicture : public QWidget {
public:
    explicit TimelinePicture(QWidget* parent = nullptr);
    void show(model::Timeline timeline);
    QSize sizeHint() const override { return {640, 110}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    model::Timeline timeline_;
};

// The Beacon sequence window: opens a plan file or a template (which fill the main window's
// fields), lists the segments for editing, saves the plan with the main window's fields, and
// shows the plan's cycle and its rule findings.
class SequenceWindow : public QWidget {
    Q_OBJECT

public:
    SequenceWindow(MainWindowModel& plan, MessageReporter report = {}, Confirmer confirm = {},
                   QWidget* parent = nullptr);
    // Opens the plan file, or the template, after asking before it changes the main window's
    // fields; false after reporting why not, or when the user keeps the fields.
    bool openPlan(const QString& file);
    bool savePlan(const QString& file);
    bool pickTemplate(const QString& name);
    const model::SequenceModel& model() const { return model_; }
    QListWidget* findings() const { return findings_; }
    QTableWidget* segments() const { return segments_; }

    // The cycle again after the main window's plan changed (its mode selects the JT encoder).
    void follow();

signals:
    void planOpened();  // a plan file was read, whole or not

private:
    bool take(model::SequenceModel::ReadPlan read);
    void showTitle();
    void showTimeline();
    void showSegments();
    // Shows the result of an edit of the segments; false after reporting why it was refused.
    bool edited(const std::optional<std::string>& error);
    int currentSegment() const;

    MainWindowModel& plan_;
    MessageReporter report_;
    Confirmer confirm_;
    model::SequenceModel model_;
    TimelinePicture* picture_;
    QListWidget* findings_;
    QComboBox* templates_;
    QTableWidget* segments_;
    QLabel* status_;
    bool opened_ = false;
};

}  // namespace meridel::gui
