#pragma once
// The settings file defaults.cfg: one line of key, colon, value and "#" groups.
#include <QByteArray>
#include <QString>

struct ClientSettings {
    QString UserName;
    QString WebHost;
    QString Alias;
    QString AutoDaub;
    QString SoundOn;
    QString V0Value;
    QString FunBingoSet;
    int FunBingoIndex = 0;
    QString CallerSet;
    int FunBingoCount = 0;
    QString LastNewsUrl;
    QString ForgetPassword;
    QString Password;
};

// No fun-bingo set holds more shouts than this.
constexpr int kMaxShouts = 999;

// The value of the first field that starts with key (which carries its colon), up to its
// closing "#" within the 256 characters that follow; empty when there is none.
QByteArray SettingValue(const QByteArray& key, const QByteArray& line);

// The exact line the writer produces (without its CR LF).
QByteArray SettingsLine(const ClientSettings& settings);

// Reads the first line of the file into settings. Returns false (changing nothing)
// when the file does not exist. captionPrefix receives the V8 value.
bool LoadSettings(const QString& path, ClientSettings& settings, QString* captionPrefix);
// Applies one settings line (what LoadSettings does with the file's first line).
void ApplySettingsLine(const QByteArray& line, ClientSettings& settings, QString* captionPrefix);

// Writes the whole line plus CR LF, atomically (new file, then rename), readable only
// by its owner. Returns false with a message when the file cannot be written.
bool SaveSettings(const QString& path, const ClientSettings& settings, QString* error);
