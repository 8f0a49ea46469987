#include "session/gameround.h"

void GameRound::signedIn(int secondsToStart)
{
    phase_ = Phase::WaitingForSales;
    secondsToStart_ = secondsToStart;
}

void GameRound::salesAnnounced(int secondsToStart)
{
    phase_ = Phase::SalesOpen;
    secondsToStart_ = secondsToStart;
    announced_ = true;
    selectionOpen_ = buyingOpen_ = true;
}

void GameRound::readyToStart()
{
    phase_ = Phase::Starting;
    closeSales();
}

void GameRound::drawArrived(const QByteArray& draw)
{
    phase_ = Phase::Calling;
    closeSales();
    stepCountdown_ = callSpacing_;
    callCount_ = 0;
    // At most 80 codes fit; the rest of the string stays "0" (no call).
    callString_ = QByteArray(kDrawCapacity + 1, '0');
    const QByteArray codes = draw.left(kDrawCapacity);
    drawLength_ = int(codes.size());
    callString_.replace(0, codes.size(), codes);
}

void GameRound::bingo()
{
    if (running())
        phase_ = Phase::Bingo;
    stepCountdown_ = 30;
    callCount_ = finalCall_;
}

void GameRound::ended(qint64 resumeAt)
{
    phase_ = Phase::Pause;
    announced_ = false;
    stepCountdown_ = 15;
    resumeAt_ = resumeAt;
}

void GameRound::creditUsedUp()
{
    phase_ = Phase::Finished;
    closeSales();
}

void GameRound::left()
{
    phase_ = Phase::SignedOut;
    announced_ = false;
    closeSales();
}

void GameRound::clearDraw()
{
    winningCall_ = 75;
    callString_ = QByteArray(kDrawCapacity + 1, '0');
    drawLength_ = 0;
    gameNumber_ = QStringLiteral("000000");
}

char GameRound::callCode(int index) const
{
    return index >= 0 && index < callString_.size() ? callString_[index] : '0';
}
