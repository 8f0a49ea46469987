#pragma once
// The client's wave player: the media player lives in a library of its own in the program
// folder's lib/ ("libvexobingo-sound.so"), which brings Qt Multimedia and the sound system's
// libraries with it. It is loaded when the first sound is played, not at start, so a client
// without sound never loads it and the login dialog shows without waiting for it.
#include <QLibrary>
#include <QString>

#include <memory>

#include "components/sound/waveplayer.h"

class LoadedWavePlayer : public WavePlayer {
    Q_OBJECT
public:
    static constexpr const char* kModule = "libvexobingo-sound.so";
    // The entry point the library exports: makes its media player.
    static constexpr const char* kEntry = "vexobingo_make_wave_player";

    // folder: where the library is (lib/ of the program's folder).
    explicit LoadedWavePlayer(const QString& folder, QObject* parent = nullptr);
    ~LoadedWavePlayer() override;

    Mode mode() const override;
    // Loads the library at the first sound; when it cannot be loaded, no sound plays this run
    // and each play says why.
    bool play(const QString& path, QString* error) override;
    void stop() override;

private:
    bool load();
    QLibrary library_;
    std::unique_ptr<WavePlayer> player_;
    QString failure_;   // why the library could not be loaded; empty while not tried or loaded
};
