#pragma once
// Game time. Production runs one game second per real second; tests and the demo
// may run it faster (for example 20 ms a second) so a whole game passes in seconds.
// Every duration of the game (the one-second tick, the ball timer, the pause after a
// game) is given in game milliseconds and converted here.
#include <QElapsedTimer>
#include <QtGlobal>

class GameClock {
public:
    explicit GameClock(int msPerSecond = 1000) : msPerSecond_(msPerSecond > 0 ? msPerSecond : 1000) { timer_.start(); }
    virtual ~GameClock() = default;
    int msPerSecond() const { return msPerSecond_; }
    // Real milliseconds for a span of game milliseconds (at least 1).
    int realMs(int gameMs) const { return qMax(1, int(qint64(gameMs) * msPerSecond_ / 1000)); }
    // Game milliseconds since the clock was made.
    virtual qint64 now() const { return timer_.elapsed() * 1000 / msPerSecond_; }

private:
    int msPerSecond_;
    QElapsedTimer timer_;
};
