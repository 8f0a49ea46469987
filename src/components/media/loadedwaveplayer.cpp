#include "components/media/loadedwaveplayer.h"

#include <QDir>

LoadedWavePlayer::LoadedWavePlayer(const QString& folder, QObject* parent)
    : WavePlayer(parent), library_(QDir(folder).filePath(QLatin1String(kModule)))
{
}

// The player goes before the library is let go; the library itself stays mapped for the rest
// of the run (Qt Multimedia's own plugins are not made to be unloaded).
LoadedWavePlayer::~LoadedWavePlayer() = default;

bool LoadedWavePlayer::load()
{
    if (player_)
        return true;
    if (!failure_.isEmpty())
        return false;
    using Make = WavePlayer* (*)();
    const auto make = reinterpret_cast<Make>(library_.resolve(kEntry));
    WavePlayer* made = make ? make() : nullptr;
    if (!made) {
        failure_ = QStringLiteral("The sound library cannot be loaded: ") + library_.errorString();
        return false;
    }
    player_.reset(made);
    connect(made, &WavePlayer::notify, this, &WavePlayer::notify);
    return true;
}

WavePlayer::Mode LoadedWavePlayer::mode() const
{
    return player_ ? player_->mode() : Mode::Stopped;
}

bool LoadedWavePlayer::play(const QString& path, QString* error)
{
    if (!load()) {
        if (error)
            *error = failure_;
        return false;
    }
    return player_->play(path, error);
}

void LoadedWavePlayer::stop()
{
    if (player_)
        player_->stop();
}
