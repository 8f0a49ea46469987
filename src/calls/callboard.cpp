#include "calls/callboard.h"

#include "rules/bingocard.h"
#include "shell/controlnames.h"

CallBoard::CallBoard(MainView* view, GameClock* clock, ScreenPictures& pictures, QObject* parent)
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

namespace {
const QString* const kStrip[] = {&Ctl::rec1, &Ctl::rec2, &Ctl::rec3, &Ctl::rec4, &Ctl::rec5};
}

void CallBoard::StartOfGame()
{
    for (const QString* label : kStrip)
        view_->setText(*label, QString());
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
    pictures_.LoadPicture(Ctl::Image10, QLatin1String(balls[column][0]));
    pictures_.LoadPicture(Ctl::Image10a, QLatin1String(balls[column][1]));
    view_->setGeometry(Ctl::Image10, -10, -4, 127, 100);
    view_->setVisible(Ctl::Image10, true);
    for (const auto& [label, text] : {std::pair{Ctl::Label5, letter}, std::pair{Ctl::Label8, QString::number(number)}}) {
        view_->setVisible(label, false);
        view_->setText(label, text);
        view_->setFontColour(label, kBlack);
    }
    ballTimer_.start();
    return true;
}

void CallBoard::FinishBallAnimation()
{
    ballTimer_.stop();
    view_->setGeometry(Ctl::Image10, -10, -4, 0, 0);
    view_->setVisible(Ctl::Image10, false);
    view_->setVisible(Ctl::Image10a, true);
    view_->setVisible(Ctl::Label5, true);
    view_->setVisible(Ctl::Label8, true);
    emit callShown(ballVoice_);
}

QList<int> CallBoard::RefreshRecentCalls()
{
    QList<int> marked;
    for (int k = 0; k < 5; ++k) {
        const int number = static_cast<unsigned char>(recent_[k]) - 50;
        if (number < 1 || number > 75) {
            view_->setText(*kStrip[k], QStringLiteral("."));
            continue;
        }
        called_[size_t((number - 1) / 15)][size_t(number - 15 * ((number - 1) / 15))] = true;
        marked << number;
        view_->setText(*kStrip[k], ColumnLetter(number) + QString::number(number));
    }
    return marked;
}
