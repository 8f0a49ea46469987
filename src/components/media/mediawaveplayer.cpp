#include "components/media/mediawaveplayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

MediaWavePlayer::MediaWavePlayer(QObject* parent) : WavePlayer(parent)
{
    watchdog_ = new QTimer(this);
    watchdog_->setSingleShot(true);
    connect(watchdog_, &QTimer::timeout, this, &MediaWavePlayer::finishSound);
}

// The media back end starts with the first sound: starting it costs tens of
// milliseconds and megabytes that a player with sound off never needs.
void MediaWavePlayer::ensureBackend()
{
    if (player_)
        return;
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
            finishSound();
    });
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error e) {
        if (e != QMediaPlayer::NoError)
            finishSound();
    });
    connect(player_, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState state) {
        if (state == QMediaPlayer::StoppedState)
            finishSound();
    });
}

MediaWavePlayer::~MediaWavePlayer()
{
    if (!player_)
        return;
    player_->disconnect(this);
    player_->stop();
}

WavePlayer::Mode MediaWavePlayer::mode() const
{
    if (player_ && !player_->isAvailable())
        return Mode::NotReady;
    return playing_ ? Mode::Playing : Mode::Stopped;
}

bool MediaWavePlayer::play(const QString& path, QString* error)
{
    if (playing_) {
        if (error)
            *error = QStringLiteral("Another sound is playing.");
        return false;
    }
    ensureBackend();
    if (!player_->isAvailable()) {
        if (error)
            *error = QStringLiteral("No media backend for wave audio.");
        return false;
    }
    WaveInfo info;
    if (!ReadWaveInfo(path, &info, error))
        return false;

    player_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    playing_ = true;
    watchdog_->start(int(qMin<qint64>(info.durationMs + kWatchdogSlackMs, 24 * 3600 * 1000)));
    // A backend that fails at once ends the sound through finishSound(); its notice
    // is posted all the same, so a started sound always gets one.
    player_->play();
    return true;
}

void MediaWavePlayer::stop()
{
    finishSound();
}

void MediaWavePlayer::finishSound()
{
    if (!playing_)
        return;
    playing_ = false;
    watchdog_->stop();
    if (player_)
        player_->stop();
    // Posted, so the notice arrives on a clean stack with the player already stopped.
    QMetaObject::invokeMethod(this, [this] { emit notify(); }, Qt::QueuedConnection);
}
