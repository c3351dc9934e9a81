#include "gui/listen_window.h"

#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

#include "audio/sound_files.h"
#include "gui/window_keys.h"

#ifdef MERIDEL_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#endif

namespace meridel::gui {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

#ifdef MERIDEL_HAVE_MULTIMEDIA
// Plays a WAV file the window writes beside the system's temporary files.
struct ListenWindow::Player {
    QMediaPlayer player;
    QAudioOutput output;
    QString file = QDir::temp().filePath(QStringLiteral("meridel-listen.wav"));
    Player() { player.setAudioOutput(&output); }
    ~Player() { QFile::remove(file); }
};
#else
struct ListenWindow::Player {
    QString file;
};
#endif

ListenWindow::ListenWindow(const MainWindowModel& plan, MessageSource messages,
                           MessageReporter report, QWidget* parent)
    : QWidget(parent, Qt::Window),
      plan_(plan),
      messages_(std::move(messages)),
      report_(report ? std::move(report) : warningBox(this)),
      dial_(new QLineEdit(this)),
      snr_(new QLineEdit(this)),
      notes_(new QLabel(this)),
      legend_(new QWidget(this)),
      legendFloor_(new QLabel(legend_)),
      legendBar_(new QLabel(legend_)),
      scroll_(new QScrollArea(this)),
      picture_(new QLabel),
      write_(new QPushButton(QStringLiteral("Write WAV..."), this)),
      play_(new QPushButton(QStringLiteral("Play"), this)),
      playNote_(new QLabel(this)) {
    setObjectName(QStringLiteral("Listen"));
    setWindowTitle(toolTitle(QStringLiteral("Listen")));
    dial_->setPlaceholderText(QStringLiteral("the mode's own"));
    snr_->setPlaceholderText(QStringLiteral("no noise"));
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    scroll_->setWidget(picture_);
    scroll_->setAlignment(Qt::AlignCenter);
    // Enter presses the focused button, as Space does.
    write_->setAutoDefault(true);
    play_->setAutoDefault(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Dial (USB)  MHz"), dial_);
    form->addRow(QStringLiteral("SNR in 2500 Hz  dB"), snr_);
    // The colour map, drawn once: the floor on the left, the strongest signal on the right.
    constexpr int kBarWidth = 256, kBarHeight = 12;
    QImage bar(kBarWidth, kBarHeight, QImage::Format_RGB888);
    for (int x = 0; x < kBarWidth; ++x) {
        const auto rgb = audio::waterfallColour(x / double(kBarWidth - 1));
        for (int y = 0; y < kBarHeight; ++y)
            bar.setPixelColor(x, y, QColor(rgb[0], rgb[1], rgb[2]));
    }
    legendBar_->setPixmap(QPixmap::fromImage(bar));
    auto* legend = new QHBoxLayout(legend_);
    legend->setContentsMargins(0, 0, 0, 0);
    legend->addWidget(new QLabel(QStringLiteral("Colour:"), legend_));
    legend->addWidget(legendFloor_);
    legend->addWidget(legendBar_);
    legend->addWidget(new QLabel(QStringLiteral("0 dB, the strongest"), legend_));
    legend->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(playNote_, 1);
    buttons->addWidget(write_);
    buttons->addWidget(play_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(notes_);
    layout->addWidget(legend_);
    layout->addWidget(scroll_, 1);
    layout->addLayout(buttons);
    resize(760, 640);

#ifdef MERIDEL_HAVE_MULTIMEDIA
    if (!QMediaDevices::audioOutputs().isEmpty()) player_ = std::make_unique<Player>();
    if (!player_)
        playNote_->setText(QStringLiteral("No audio output device: write the WAV instead"));
#else
    playNote_->setText(QStringLiteral("Built without Qt Multimedia: write the WAV instead"));
#endif
    playNote_->setVisible(!player_);

    connect(dial_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.setDialText(text.toStdString());
        refresh();
    });
    connect(snr_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.setSnrText(text.toStdString());
        refresh();
    });
    connect(write_, &QPushButton::clicked, this, &ListenWindow::writeFile);
    connect(play_, &QPushButton::clicked, this, &ListenWindow::play);
}

ListenWindow::~ListenWindow() = default;

void ListenWindow::inputsChanged() {
    if (isVisible()) refresh();
}

void ListenWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    dial_->setFocus();
}

void ListenWindow::refresh() {
    model_.update(plan_, messages_(), cycles_ ? cycles_() : nullptr, chips_ ? chips_() : nullptr);
    QStringList notes;
    for (const std::string& line : model_.summary()) notes << qt(line);
    if (!model_.error().empty()) notes << qt(model_.error());
    notes_->setText(notes.join(QLatin1Char('\n')));
    const audio::WaterfallImage& w = model_.waterfall();
    legend_->setVisible(!w.rgb.empty());
    legendFloor_->setText(QStringLiteral("%1 dB").arg(-std::lround(w.rangeDb)));
    if (w.rgb.empty()) {
        picture_->setPixmap({});
    } else {
        const QImage image(w.rgb.data(), w.width, w.height, w.width * 3, QImage::Format_RGB888);
        picture_->setPixmap(QPixmap::fromImage(image));  // the pixmap keeps its own copy
    }
    picture_->adjustSize();
    write_->setEnabled(model_.canWrite());
    play_->setEnabled(model_.canWrite() && player_);
}

void ListenWindow::writeFile() {
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Write WAV"),
                                                      qt(model::ListenModel::wavFileName()),
                                                      QStringLiteral("WAV files (*.wav *.WAV)"));
    if (file.isEmpty()) return;
    if (const auto error = model_.writeWav(file.toStdString())) report_(qt(*error));
}

void ListenWindow::play() {
#ifdef MERIDEL_HAVE_MULTIMEDIA
    if (!player_) return;
    player_->player.stop();
    player_->player.setSource({});
    if (const auto error = model_.writeWav(player_->file.toStdString())) {
        report_(qt(*error));
        return;
    }
    player_->player.setSource(QUrl::fromLocalFile(player_->file));
    player_->player.play();
#endif
}

}  // namespace meridel::gui
