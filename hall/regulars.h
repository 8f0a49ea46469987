#pragma once
// The regulars of a chat room: three named members who are always there, so that a player
// alone in the demo hall finds a living room. They greet newcomers (those of a moment in one
// line), chat now and then during sales and calls while a real player is in, and cheer the
// winners when the players' screens show the bingo.
#include "gameserver.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRandomGenerator>

class HallChatRoom;
class QTimer;

class HallRegulars : public QObject {
    Q_OBJECT
public:
    // Room `index` (from 0) gets its own names; choices follow the game's seed.
    HallRegulars(HallChatRoom* room, int index, const GameConfig& game);

    void phaseChanged(GameServer::Phase phase);
    void gameStarted(const GameResult& result);

private:
    void welcome(const QByteArray& alias);
    void chatter();
    void say(const QByteArray& text);
    QByteArray pick(const QList<QByteArray>& lines);

    HallChatRoom* room_;
    GameConfig game_;
    QList<QByteArray> names_;
    QRandomGenerator rng_;
    GameServer::Phase phase_ = GameServer::Phase::Waiting;
    QTimer* greeting_;
    QTimer* chatter_;
    QTimer* cheer_;
    QList<QByteArray> newcomers_;
    QList<QByteArray> winners_;
};
