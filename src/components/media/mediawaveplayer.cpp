#include "components/media/mediawaveplayer.h"

#include <QAudioOutput>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

bool ReadWaveInfo(const QString& path, WaveInfo* info, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open the sound file ") + path);
    const qint64 fileSize = f.size();
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return fail(QStringLiteral("Not a wave file: ") + path);

    bool haveFormat = false;
    WaveInfo w;
    qint64 byteRate = 0;
    qint64 pos = 12;
    for (int chunks = 0; chunks < 64 && pos + 8 <= fileSize; ++chunks) {
        if (!f.seek(pos))
            break;
        const QByteArray ch = f.read(8);
        if (ch.size() < 8)
            break;
        const QByteArray id = ch.left(4);
        const qint64 size = qFromLittleEndian<quint32>(ch.constData() + 4);
        if (id == "fmt ") {
            if (size < 16)
                return fail(QStringLiteral("Damaged wave format in ") + path);
            const QByteArray fmt = f.read(16);
            if (fmt.size() < 16)
                return fail(QStringLiteral("Damaged wave format in ") + path);
            const char* d = fmt.constData();
            w.channels = qFromLittleEndian<quint16>(d + 2);
            w.sampleRate = int(qFromLittleEndian<quint32>(d + 4));
            byteRate = qFromLittleEndian<quint32>(d + 8);
            w.bitsPerSample = qFromLittleEndian<quint16>(d + 14);
            if (w.channels == 0 || w.sampleRate <= 0 || byteRate == 0)
                return fail(QStringLiteral("Damaged wave format in ") + path);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return fail(QStringLiteral("Wave data before its format in ") + path);
            const qint64 available = qMax<qint64>(0, fileSize - pos - 8);
            w.durationMs = qMin(size, available) * 1000 / byteRate;
            if (info)
                *info = w;
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    return fail(QStringLiteral("No wave data in ") + path);
}

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

bool NullWavePlayer::play(const QString& path, QString* error)
{
    if (playing_) {
        if (error)
            *error = QStringLiteral("Another sound is playing.");
        return false;
    }
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("Cannot open the sound file ") + path;
        return false;
    }
    playing_ = true;
    QMetaObject::invokeMethod(this, [this] {
        playing_ = false;
        emit notify();
    }, Qt::QueuedConnection);
    return true;
}

// One we made, owned by us and closed to others; a path someone else holds (or a link)
// is passed over for a fresh private folder.
void EnsureRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    QByteArray dir = QFile::encodeName(QDir::tempPath()) + "/vexobingo-runtime-" + QByteArray::number(getuid());
    struct stat info {};
    const bool made = mkdir(dir.constData(), 0700) == 0;
    const bool ours = made
        || (lstat(dir.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()
            && (info.st_mode & 077) == 0);
    if (!ours) {
        QByteArray unique = QFile::encodeName(QDir::tempPath()) + "/vexobingo-runtime-XXXXXX";
        if (!mkdtemp(unique.data()))
            return;   // the sound libraries then say so themselves
        dir = unique;
    }
    qputenv("XDG_RUNTIME_DIR", dir);
}
