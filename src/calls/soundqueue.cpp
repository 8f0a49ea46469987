#include "calls/soundqueue.h"

SoundQueue::SoundQueue(const ProgramFolder& folder, SettingsStore& settings, WavePlayer* player, PlayerView* view,
                       QObject* parent)
    : QObject(parent), folder_(folder), settings_(settings), player_(player), view_(view)
{
    if (player_)
        connect(player_, &WavePlayer::notify, this, &SoundQueue::OnPlayerNotify);
}

void SoundQueue::PlayVoice(const QString& name)
{
    if (!settings_.soundOn())
        return;
    const QString file = QStringLiteral("sounds/") + (muted_ ? QStringLiteral("null") : name) + QStringLiteral(".wav");
    if (folder_.exists(file))
        PlayPath(folder_.path(file));
}

void SoundQueue::PlayFile(const QString& fileName)
{
    if (!settings_.soundOn())
        return;
    const QString file = QStringLiteral("sounds/") + (muted_ ? QStringLiteral("null") : fileName);
    if (folder_.exists(file))
        PlayPath(folder_.path(file));
}

void SoundQueue::PlayIfPresent(const QString& fileName)
{
    if (!settings_.soundOn())
        return;
    if (folder_.exists(QStringLiteral("sounds/") + fileName))
        PlayFile(fileName);
    else
        view_->beep();
}

void SoundQueue::PlayBingoShout()
{
    if (!settings_.soundOn())
        return;
    const bool inTurn = settings_.values().FunBingoIndex != 0;
    const QString name = settings_.nextBingoShout();
    if (inTurn)
        settings_.save();
    PlayIfPresent(name);
}

void SoundQueue::PlayPath(const QString& path)
{
    if (!player_)
        return;
    if (player_->mode() == WavePlayer::Mode::Playing) {
        queue_.append(path);
        return;
    }
    QString error;
    if (!player_->play(path, &error))
        SoundFailed(error);
}

void SoundQueue::SoundFailed(const QString& message)
{
    view_->error(QStringLiteral("ErrorCode: 0\n") + message);
    settings_.setSoundOn(false);
    emit soundSwitched(false);
    settings_.save();
}

void SoundQueue::OnPlayerNotify()
{
    if (player_->mode() != WavePlayer::Mode::Stopped) {
        player_->stop();
        return;
    }
    if (queue_.isEmpty())
        return;
    QString error;
    if (!player_->play(queue_.takeFirst(), &error))
        SoundFailed(error);
}

void SoundQueue::TurnSoundOn()
{
    muted_ = false;
    settings_.setSoundOn(true);
    emit soundSwitched(true);
    settings_.save();
    PlayVoice(QStringLiteral("Welcome"));
}

void SoundQueue::TurnSoundOff()
{
    view_->beep();
    settings_.setSoundOn(false);
    emit soundSwitched(false);
    settings_.save();
}
