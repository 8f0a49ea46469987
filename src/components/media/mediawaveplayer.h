#pragma once
// The wave player on Qt Multimedia (GStreamer): one WAV file at a time, exactly one
// completion notice per started sound. The notice is posted to the event loop after
// the player has stopped, whichever way the sound ended: played to its end, stopped,
// failed in the backend, or cut by the watchdog (the file's length plus 3 seconds)
// when the backend never reports an end.
#include <QString>

#include "components/media/wavefiles.h"

class QAudioOutput;
class QMediaPlayer;
class QTimer;

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
