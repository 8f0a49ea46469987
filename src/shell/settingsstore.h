#pragma once
// The player's settings and their file, defaults.cfg. Values change through named
// setters; the file is written when save() is called, at the moments the game saves.
#include "shell/programfolder.h"
#include "shell/settings.h"
#include "views/views.h"

class SettingsStore {
public:
    SettingsStore(const ProgramFolder& folder, PlayerView* player) : folder_(folder), player_(player) {}

    const ClientSettings& values() const { return values_; }
    bool soundOn() const { return values_.SoundOn == QLatin1String("TRUE"); }
    bool autoDaub() const { return values_.AutoDaub == QLatin1String("TRUE"); }
    bool forgetPassword() const { return values_.ForgetPassword == QLatin1String("TRUE"); }

    // Reads the file; false when there is none. captionPrefix receives the caption's name.
    bool load(QString* captionPrefix);
    // Writes the whole file; a failure is named in the status line.
    void save();

    void startFresh(const QString& webHost);   // no player remembered, the compiled-in web host
    void setLogin(const QString& userName, const QString& password);
    void setAlias(const QString& alias) { values_.Alias = alias; }
    void setSoundOn(bool on) { values_.SoundOn = flag(on); }
    void setAutoDaub(bool on) { values_.AutoDaub = flag(on); }
    void setForgetPassword(bool forget) { values_.ForgetPassword = flag(forget); }
    void setCallerSet(const QString& prefix) { values_.CallerSet = prefix; }
    void setLastNewsUrl(const QString& url) { values_.LastNewsUrl = url; }
    // A fun-bingo set of `countText` shouts ("" = the standard shout).
    void setFunBingoSet(const QString& prefix, const QString& countText);
    // The file name of the next bingo shout: the standard one, or the set's shouts in turn.
    QString nextBingoShout();

private:
    static QString flag(bool on) { return on ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }

    const ProgramFolder& folder_;
    PlayerView* player_;
    ClientSettings values_;
};
