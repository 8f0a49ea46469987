#include "regulars.h"

#include "chatroom.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

const char* const kNames[][3] = {{"DaisyMae", "LuckyLou", "Bert"},  {"NightOwlNan", "Ozzie", "MoonPie"},
                                 {"SunnySue", "Gus", "RobinRae"},   {"BigAl", "Dottie", "JackpotJo"},
                                 {"Mabel", "Percy", "Quinn"},       {"Lola", "Frankie", "Velma"}};
const QList<QByteArray> kGreetings = {"hi %1!", "welcome %1 :)", "hello %1, good luck tonight",
                                      "hey %1, pull up a chair", "evening %1!", "nice to see you %1"};
const QList<QByteArray> kSalesLines = {"good luck all", "buying my cards now", "who's feeling lucky?", "gl everyone",
                                       "this one's mine, I can feel it", "that jackpot looks good"};
const QList<QByteArray> kGameLines = {"come on %1!", "need just one more", "so close!", "waiting on %1",
                                      "daub daub daub", "nothing on my cards yet lol"};
const QList<QByteArray> kCheers = {"congrats %1!", "well done %1!!", "wtg %1", "lucky you %1 :)"};
const QList<QByteArray> kSighs = {"nobody? oh well, next one", "no bingo this time", "ah, maybe next game"};

constexpr int kMaxNamed = 3;         // names in one greeting or cheer
constexpr int kChatterGapMs = 8000;   // at least this long between idle lines

// "Ann", "Ann and Bob", "Ann, Bob and Cy".
QByteArray Names(const QList<QByteArray>& names)
{
    QByteArray text = names.value(0);
    for (int i = 1; i < names.size(); ++i)
        text += (i + 1 < names.size() ? ", " : " and ") + names[i];
    return text;
}

}  // namespace

HallRegulars::HallRegulars(HallChatRoom* room, int index, const GameConfig& game)
    : QObject(room),
      room_(room),
      game_(game),
      rng_(quint32(game.seed ^ (game.seed >> 32)) + quint32(index) * 7919u),
      greeting_(new QTimer(this)),
      chatter_(new QTimer(this)),
      cheer_(new QTimer(this))
{
    for (const char* name : kNames[index % 6])
        names_.append(name);
    room->setRegulars(names_);
    for (QTimer* timer : {greeting_, chatter_, cheer_})
        timer->setSingleShot(true);
    connect(room, &HallChatRoom::memberJoined, this, &HallRegulars::welcome);
    connect(greeting_, &QTimer::timeout, this, [this] {
        say(pick(kGreetings).replace("%1", Names(newcomers_)));
        newcomers_.clear();
    });
    connect(chatter_, &QTimer::timeout, this, &HallRegulars::chatter);
    connect(cheer_, &QTimer::timeout, this, [this] {
        say(winners_.isEmpty() ? pick(kSighs) : pick(kCheers).replace("%1", Names(winners_)));
    });
}

void HallRegulars::phaseChanged(GameServer::Phase phase)
{
    phase_ = phase;
    if (!chatter_->isActive())
        chatter();
}

void HallRegulars::gameStarted(const GameResult& result)
{
    winners_ = result.winners.mid(0, kMaxNamed);
    // The client reveals the bingo at the winning call, `spacing` game seconds apart; a
    // game nobody wins is known to be over at its last call.
    const int call = result.winningCall > 0 ? result.winningCall : result.finalCall;
    const qint64 ms = qint64(call) * game_.spacing * game_.tickMs;
    cheer_->start(int(std::min<qint64>(ms, std::numeric_limits<int>::max())));
}

void HallRegulars::welcome(const QByteArray& alias)
{
    if (newcomers_.size() < kMaxNamed)
        newcomers_.append(alias);
    if (!greeting_->isActive())
        greeting_->start(1000 + int(rng_.bounded(2001)));
}

void HallRegulars::chatter()
{
    // Quiet once the bingo is out, until the next sales.
    const bool playing = phase_ == GameServer::Phase::Running && cheer_->isActive();
    if (phase_ == GameServer::Phase::Sales || playing) {
        const int call = 1 + int(rng_.bounded(75));
        const QByteArray ball = QByteArray(1, "BINGO"[(call - 1) / 15]) + ' ' + QByteArray::number(call);
        say(playing ? pick(kGameLines).replace("%1", ball) : pick(kSalesLines));
    } else {
        chatter_->start(kChatterGapMs + int(rng_.bounded(kChatterGapMs)));
    }
}

// Any line restarts the idle gap, so idle talk never crowds a greeting or a cheer.
void HallRegulars::say(const QByteArray& text)
{
    if (room_->memberCount() > 0)
        room_->say(names_[rng_.bounded(int(names_.size()))], text);
    chatter_->start(kChatterGapMs + int(rng_.bounded(kChatterGapMs)));
}

QByteArray HallRegulars::pick(const QList<QByteArray>& lines)
{
    return lines[rng_.bounded(int(lines.size()))];
}
