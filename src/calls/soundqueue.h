#pragma once
// Every sound the client plays goes through here: one player, one queue, the
// player's sound setting and the mute that the set windows ask for.
#include "components/sound/waveplayer.h"
#include "shell/programfolder.h"
#include "shell/settingsstore.h"
#include "views/views.h"

#include <QObject>
#include <QStringList>

class SoundQueue : public QObject {
    Q_OBJECT
public:
    SoundQueue(const ProgramFolder& folder, SettingsStore& settings, WavePlayer* player, PlayerView* view,
               QObject* parent = nullptr);

    // A voice of the caller or the announcer by name ("welcome", "cs3B12").
    void PlayVoice(const QString& name);
    // A file of the sounds folder by name ("click.wav").
    void PlayFile(const QString& fileName);
    // As PlayFile, but a beep stands in when the file is not there.
    void PlayIfPresent(const QString& fileName);
    void PlayBingoShout();

    // The Sounds menu: the player's setting, saved at once.
    void TurnSoundOn();
    void TurnSoundOff();

    bool muted() const { return muted_; }
    void setMuted(bool muted) { muted_ = muted; }
    int queued() const { return int(queue_.size()); }

signals:
    // Sound was switched on or off, by the player or because the player could not play.
    void soundSwitched(bool on);

private:
    void OnPlayerNotify();
    void PlayPath(const QString& path);
    void SoundFailed(const QString& message);

    const ProgramFolder& folder_;
    SettingsStore& settings_;
    WavePlayer* player_;
    PlayerView* view_;
    QStringList queue_;
    bool muted_ = false;
};
