#pragma once
// The steps of a game that the one-second tick and the game feed drive: the sales
// countdown, the pacing of the calls, the start, the bingo, the end and the sign-in for
// the next game.
#include "session/serverevents.h"
#include "views/views.h"

#include <QObject>
#include <QTimer>
#include <functional>

struct CoreParts;
class GameClock;

class RoundSteps : public QObject {
    Q_OBJECT
public:
    // showWinners: asks the game server for a game's winners (the end of a game does).
    RoundSteps(CoreParts& parts, const Views& views, GameClock* clock, std::function<void(const QString&)> showWinners);

    void startTicking() { timer1_.start(); }
    void setBingoImage(const QByteArray& name) { bingoImage_ = name; }
    void setPrizes(const PrizeTable& prizes) { prizes_ = prizes; }

    void Timer1Timer();
    void StartGame();
    void AnnounceBingo();
    void EndGame(bool aborted);
    // Leaves the game without playing it; the player signs in again for the next one.
    void LeaveGame();
    void CLEARALL();

private:
    void CountdownSecond();
    void SessionStep();
    void CallStep();
    void PrepareNextGame();
    // The ball has landed (or there was none to roll): the strip, the cards and the count follow.
    void OnCallShown(const QString& voice);

    CoreParts& p_;
    Views views_;
    GameClock* clock_;
    std::function<void(const QString&)> showWinners_;
    QTimer timer1_;
    bool shoutDue_ = false;
    QByteArray bingoImage_ = "bingo.gif";
    PrizeTable prizes_{};
};
