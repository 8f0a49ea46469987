#pragma once
// One game from the sign-in to the pause before the next: its phase, the sales
// countdown, the call pacing and the draw. State only; the session runs the steps
// and shows them.
#include <QByteArray>
#include <QString>

enum class Phase {
    SignedOut,        // before the sign-in, or after leaving a game
    WaitingForSales,  // signed in; the sales feed is awaited
    SalesOpen,        // the game feed is open; cards are chosen and bought
    Starting,         // the countdown has run out with cards bought
    Calling,          // the draw is revealed call by call
    Bingo,            // the winning call was reached; the end follows
    Finished,         // the credit is used up: the session rests until the player signs in
    Pause,            // the pause after a game, before the next sign-in
};

class GameRound {
public:
    static constexpr int kCallSpacing = 9;          // ticks between calls with sound on
    static constexpr int kQuietCallSpacing = 10;    // and with sound off
    static constexpr int kDrawCapacity = 80;

    Phase phase() const { return phase_; }
    // A game is under way: from the draw's arrival to its end.
    bool running() const { return phase_ == Phase::Calling || phase_ == Phase::Bingo; }
    // The countdown to the start runs while the sales are awaited or open.
    bool counting() const { return phase_ == Phase::WaitingForSales || phase_ == Phase::SalesOpen; }
    bool announced() const { return announced_; }
    bool selectionOpen() const { return selectionOpen_; }
    bool buyingOpen() const { return buyingOpen_; }
    int secondsToStart() const { return secondsToStart_; }

    // Transitions, named for what the server or the clock did.
    void signedIn(int secondsToStart);
    void salesFeedOpened() { phase_ = Phase::SalesOpen; }
    void salesAnnounced(int secondsToStart);
    void closeSelection() { selectionOpen_ = false; }
    void closeSales() { selectionOpen_ = buyingOpen_ = false; }
    void readyToStart();
    // The draw of a game that starts; the figures follow when the line carries them.
    void drawArrived(const QByteArray& draw);
    void setWinningCall(int call) { winningCall_ = call; }
    void setFinalCall(int call) { finalCall_ = call; }
    void bingo();
    void ended(qint64 resumeAt);
    void creditUsedUp();
    void left();
    void resumed() { phase_ = Phase::SignedOut; }
    void clearDraw();

    // The countdown: one second passed; returns the seconds left.
    int countDown() { return --secondsToStart_; }

    // Pacing: ticks until the next session step.
    int stepCountdown() const { return stepCountdown_; }
    void tickStep() { --stepCountdown_; }
    void restartStep() { stepCountdown_ = callSpacing_; }
    int callSpacing() const { return callSpacing_; }
    void setCallSpacing(int ticks) { callSpacing_ = ticks; }

    // The draw.
    char callCode(int index) const;
    int callCount() const { return callCount_; }
    void countCall() { ++callCount_; }
    int winningCall() const { return winningCall_; }
    int finalCall() const { return finalCall_; }
    int drawLength() const { return drawLength_; }
    qint64 resumeAt() const { return resumeAt_; }

    // Game identity and the texts of the last announcement.
    const QString& gameNumber() const { return gameNumber_; }
    void setGameNumber(const QString& number) { gameNumber_ = number; }

private:
    Phase phase_ = Phase::SignedOut;
    bool announced_ = false;
    bool selectionOpen_ = false;
    bool buyingOpen_ = false;
    int secondsToStart_ = 0;
    int stepCountdown_ = kCallSpacing;
    int callSpacing_ = kCallSpacing;
    QByteArray callString_ = QByteArray(kDrawCapacity + 1, '0');
    int drawLength_ = 0;
    int callCount_ = 0;
    int winningCall_ = 75;
    int finalCall_ = 0;
    qint64 resumeAt_ = 0;
    QString gameNumber_ = QStringLiteral("000000");
};
