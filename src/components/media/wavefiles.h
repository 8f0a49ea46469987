#pragma once
// Wave files without a sound library: reading a file's format and length, the player for
// machines without sound, and the runtime folder the sound libraries want.
#include <QString>

#include "components/sound/waveplayer.h"

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
