// The called-number board, the recent-calls strip and the ball animation.
#include "session/gamecore.h"

void GameCore::ShowCall(char code)
{
    if (code == RecentCalls[0])
        return;
    RecentCalls = QByteArray(1, code) + RecentCalls.left(4);
    if (!StartBallAnimation(static_cast<unsigned char>(code) - 50))
        RefreshRecentCalls();
}

bool GameCore::StartBallAnimation(int number)
{
    if (number < 1 || number > 75)
        return false;
    if (number == LastBallNumber)
        return false;
    LastBallNumber = number;
    const QString letter = ColumnLetter(number);
    BallSoundName = Settings.CallerSet + letter + QString::number(number);
    static const char* balls[5][2] = {
        {"bdblu.gif", "bdblua.gif"}, {"bdred.gif", "bdreda.gif"}, {"bdbla.gif", "bdblaa.gif"},
        {"bdgre.gif", "bdgrea.gif"}, {"bdyel.gif", "bdyela.gif"},
    };
    const int column = (number - 1) / 15;
    LoadPicture(QStringLiteral("Image10"), QLatin1String(balls[column][0]));
    LoadPicture(QStringLiteral("Image10a"), QLatin1String(balls[column][1]));
    View->setGeometry(QStringLiteral("Image10"), -10, -4, 127, 100);
    View->setVisible(QStringLiteral("Image10"), true);
    View->setVisible(QStringLiteral("Label5"), false);
    View->setText(QStringLiteral("Label5"), letter);
    View->setFontColour(QStringLiteral("Label5"), kBlack);
    View->setVisible(QStringLiteral("Label8"), false);
    View->setText(QStringLiteral("Label8"), QString::number(number));
    View->setFontColour(QStringLiteral("Label8"), kBlack);
    balltimer.start();
    return true;
}

void GameCore::FinishBallAnimation()
{
    balltimer.stop();
    View->setGeometry(QStringLiteral("Image10"), -10, -4, 0, 0);
    View->setVisible(QStringLiteral("Image10"), false);
    View->setVisible(QStringLiteral("Image10a"), true);
    View->setVisible(QStringLiteral("Label5"), true);
    View->setVisible(QStringLiteral("Label8"), true);
    PlayVoice(BallSoundName);
    PlayVoice(BallSoundName + QStringLiteral("a"));
    RefreshRecentCalls();
}

void GameCore::RefreshRecentCalls()
{
    static const char* labels[] = {"rec1", "rec2", "rec3", "rec4", "rec5"};
    DeferMarks = true;
    bool marked = false;
    for (int k = 0; k < 5; ++k) {
        const int number = static_cast<unsigned char>(RecentCalls[k]) - 50;
        marked = marked || (number >= 1 && number <= 75);
        View->setText(QLatin1String(labels[k]), CallText(number));
    }
    DeferMarks = false;
    if (marked)
        for (int k = 1; k <= CardsInUse && k <= 10; ++k) {
            Cards[k].MarkCalled();
            View->redrawCard(k);
        }
    CallCount += 1;
    if (Pattern.ProgressiveJackpot && CallCount >= 0 && CallCount < int(JackpotTable.size()))
        View->setText(QStringLiteral("Jackpot"), QStringLiteral("$ ") + JackpotTable[CallCount]);
    View->setText(QStringLiteral("CallField"), QString::number(CallCount));
    View->redrawBoard();
    emit stateChanged();
}

QString GameCore::CallText(int number)
{
    if (number < 1 || number > 75)
        return QStringLiteral(".");
    MarkCalledNumber(number);
    return ColumnLetter(number) + QString::number(number);
}

void GameCore::MarkCalledNumber(int number)
{
    const int row = (number - 1) / 15;
    const int col = number - 15 * row;
    SetCalledInCards(row, col, 1);
}

void GameCore::RedrawBoard()
{
    for (int r = 0; r < 5; ++r)
        for (int col = 1; col <= 15; ++col)
            SetCalledInCards(r, col, 0);
    View->redrawBoard();
}

void GameCore::ResetCallDisplays()
{
    View->setText(QStringLiteral("Jackpot"), QStringLiteral("$-.--"));
    View->setText(QStringLiteral("CallField"), QStringLiteral("0"));
}
