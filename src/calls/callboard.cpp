#include "calls/callboard.h"

#include "rules/bingocard.h"

CallBoard::CallBoard(CallView* view, GameClock* clock, ScreenPictures& pictures, QObject* parent)
    : QObject(parent), view_(view), pictures_(pictures)
{
    ballTimer_.setInterval(clock->realMs(2500));
    ballTimer_.setSingleShot(true);
    connect(&ballTimer_, &QTimer::timeout, this, &CallBoard::FinishBallAnimation);
}

bool CallBoard::isCalled(int row, int position) const
{
    return row >= 0 && row < 5 && position >= 1 && position <= 15 && called_[size_t(row)][size_t(position)];
}

void CallBoard::StartOfGame()
{
    view_->clearRecentCalls();
    recent_ = QByteArray(5, ' ');
    lastBall_ = 99;
}

void CallBoard::ClearBoard()
{
    called_ = {};
    view_->redrawBoard();
}

void CallBoard::ShowCall(char code, const QString& callerSet)
{
    if (code == recent_[0])
        return;
    recent_ = QByteArray(1, code) + recent_.left(4);
    if (!StartBallAnimation(static_cast<unsigned char>(code) - 50, callerSet))
        emit callShown(QString());
}

bool CallBoard::StartBallAnimation(int number, const QString& callerSet)
{
    if (number < 1 || number > 75 || number == lastBall_)
        return false;
    lastBall_ = number;
    const QString letter = ColumnLetter(number);
    ballVoice_ = callerSet + letter + QString::number(number);
    static const char* balls[5][2] = {
        {"bdblu.gif", "bdblua.gif"}, {"bdred.gif", "bdreda.gif"}, {"bdbla.gif", "bdblaa.gif"},
        {"bdgre.gif", "bdgrea.gif"}, {"bdyel.gif", "bdyela.gif"},
    };
    const int column = (number - 1) / 15;
    pictures_.LoadPicture(Picture::Ball, QLatin1String(balls[column][0]));
    pictures_.LoadPicture(Picture::BallLanded, QLatin1String(balls[column][1]));
    view_->rollBall(number);
    ballTimer_.start();
    return true;
}

void CallBoard::FinishBallAnimation()
{
    ballTimer_.stop();
    view_->landBall();
    emit callShown(ballVoice_);
}

QList<int> CallBoard::RefreshRecentCalls()
{
    QList<int> marked;
    std::array<int, 5> strip{};
    for (int k = 0; k < 5; ++k) {
        const int number = static_cast<unsigned char>(recent_[k]) - 50;
        if (number < 1 || number > 75)
            continue;
        called_[size_t((number - 1) / 15)][size_t(number - 15 * ((number - 1) / 15))] = true;
        marked << number;
        strip[size_t(k)] = number;
    }
    view_->showRecentCalls(strip);
    return marked;
}
