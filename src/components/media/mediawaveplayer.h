#pragma once
// The wave player on Qt Multimedia (GStreamer): one WAV file at a time, exactly one
// completion notice per started sound. The notice is posted to the event loop after
// the player has stopped, whichever way the sound ended: played to its end, stopped,
// failed in the backend, or cut by the watchdog (the file's length plus 3 seconds)
// when the backend never reports an end.
#include <QString>

#include "components/sound/waveplayer.h"

class QAudioOutput;
class QMediaPlayer;
class QTimer;

struct WaveInfo {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qint64 durationMs = 0;
};

// Checks the RIFF/WAVE header (format and data chunks); false with a message for
// a missing or unreadable file or anything that is not a wave file.
bool ReadWaveInfo(const QString& path, WaveInfo* info, QString* error);

// The sound libraries want a private runtime folder: without XDG_RUNTIME_DIR, sets it to
// our own under the temporary folder. Call before the application object is made.
void EnsureRuntimeFolder();

class MediaWavePlayer : public WavePlayer {
    Q_OBJECT
public:
    explicit MediaWavePlayer(QObject* parent = nullptr);
    ~MediaWavePlayer() override;

    Mode mode() const override;
    // Refused while a sound plays (the caller queues instead).
    bool play(const QString& path, QString* error) override;
    void stop() override;

    static constexpr int kWatchdogSlackMs = 3000;

private:
    void finishSound();
    void ensureBackend();
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    QTimer* watchdog_ = nullptr;
    bool playing_ = false;
};

// A player for machines without sound: accepts any existing file and "finishes" it
// at once; the notice is posted to the next turn of the event loop.
class NullWavePlayer : public WavePlayer {
    Q_OBJECT
public:
    using WavePlayer::WavePlayer;
    Mode mode() const override { return playing_ ? Mode::Playing : Mode::Stopped; }
    bool play(const QString& path, QString* error) override;
    void stop() override {}

private:
    bool playing_ = false;
};
