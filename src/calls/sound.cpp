// Every sound the client plays goes through these operations and one queue.
#include "session/gamecore.h"

#include <QFileInfo>

namespace {
const QString kTrue = QStringLiteral("TRUE");
}

void GameCore::PlayVoice(const QString& name)
{
    if (Settings.SoundOn != kTrue)
        return;
    const QString voice = SoundMuted ? QStringLiteral("null") : name;
    const QString file = QStringLiteral("sounds/") + voice + QStringLiteral(".wav");
    if (!fileExists(file))
        return;
    PlayPath(path(file));
}

void GameCore::PlayFile(const QString& fileName)
{
    const QString name = SoundMuted ? QStringLiteral("null") : fileName;
    if (Settings.SoundOn != kTrue)
        return;
    const QString file = QStringLiteral("sounds/") + name;
    if (!fileExists(file))
        return;
    PlayPath(path(file));
}

void GameCore::PlayPath(const QString& file)
{
    if (!Player)
        return;
    if (Player->mode() == WavePlayer::Mode::Playing) {
        SoundQueue.append(file);
        return;
    }
    QString error;
    if (!Player->play(file, &error))
        SoundFailed(error);
}

void GameCore::SoundFailed(const QString& message)
{
    View->errorBox(QStringLiteral("ErrorCode: 0\n") + message);
    Settings.SoundOn = QStringLiteral("FALSE");
    CallSpacing = 10;
    SaveSettings();
}

void GameCore::PlayIfPresent(const QString& fileName)
{
    if (Settings.SoundOn != kTrue)
        return;
    if (fileExists(QStringLiteral("sounds/") + fileName))
        PlayFile(fileName);
    else
        View->beep();
}

void GameCore::PlayBingoShout()
{
    if (Settings.SoundOn != kTrue)
        return;
    QString name;
    if (Settings.FunBingoIndex == 0) {
        name = QStringLiteral("Bingo.wav");
    } else {
        Settings.FunBingoIndex += 1;
        if (Settings.FunBingoIndex > Settings.FunBingoCount)
            Settings.FunBingoIndex = 1;
        SaveSettings();
        name = Settings.FunBingoSet + QString::number(Settings.FunBingoIndex) + QStringLiteral(".wav");
    }
    PlayIfPresent(name);
}

void GameCore::EnsureSilentSound(const QString& fileName)
{
    if (!fileExists(QStringLiteral("sounds/") + fileName))
        FetchFile(fileName, 4);
}

void GameCore::OnPlayerNotify()
{
    if (!Player)
        return;
    if (Player->mode() != WavePlayer::Mode::Stopped) {
        Player->stop();
        return;
    }
    while (!SoundQueue.isEmpty()) {
        if (SoundQueue.first().size() < 2)
            return;   // the entry stays queued
        const QString next = SoundQueue.takeFirst();
        QString error;
        if (Player->play(next, &error))
            return;
        SoundFailed(error);
        return;
    }
}

void GameCore::TurnSoundOn()
{
    SoundMuted = false;
    Settings.SoundOn = kTrue;
    CallSpacing = 9;
    SaveSettings();
    PlayVoice(QStringLiteral("Welcome"));
}

void GameCore::TurnSoundOff()
{
    View->beep();
    Settings.SoundOn = QStringLiteral("FALSE");
    CallSpacing = 10;
    SaveSettings();
}
