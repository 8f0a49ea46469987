#pragma once
// The called-number board, the strip of the five most recent calls and the ball
// that rolls in with each call. Keeps its own table of called numbers.
#include "shell/gameclock.h"
#include "shell/screenpictures.h"
#include "views/views.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>
#include <array>

class CallBoard : public QObject {
    Q_OBJECT
public:
    static constexpr int kNumbersPerRow = 15;

    CallBoard(CallView* view, GameClock* clock, ScreenPictures& pictures, QObject* parent = nullptr);

    // Board rows are the letters (0..4), positions 1..15 within a row.
    bool isCalled(int row, int position) const;
    // The newest call code of the strip (' ' when empty).
    char newestCode() const { return recent_[0]; }

    // A new game: the strip is emptied, on screen too, and the next ball rolls whatever its number.
    void StartOfGame();
    // The new-game reset: no number is called.
    void ClearBoard();
    // Puts a call code at the head of the strip and rolls its ball; `callerSet` names the
    // voice that calls it. Emits callShown once the strip can be refreshed.
    void ShowCall(char code, const QString& callerSet);
    void FinishBallAnimation();
    bool ballRolling() const { return ballTimer_.isActive(); }
    // Shows the strip and marks its numbers on the board; returns the numbers marked.
    QList<int> RefreshRecentCalls();

signals:
    // The ball has landed (voice: the caller's sound for it) or no ball rolled (voice empty).
    void callShown(const QString& voice);

private:
    bool StartBallAnimation(int number, const QString& callerSet);

    CallView* view_;
    ScreenPictures& pictures_;
    QTimer ballTimer_;
    std::array<std::array<bool, 16>, 5> called_{};
    QByteArray recent_ = QByteArray(5, ' ');
    int lastBall_ = 99;
    QString ballVoice_ = QStringLiteral("welcome");
};
