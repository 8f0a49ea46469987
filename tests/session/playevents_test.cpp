// What the core tells the parts that listen beside the game, through the wire: the sign-in,
// the sales, a purchase with its price, the start, one to go, the end with the winning card,
// the winners, and leaving a game. A mention in the chat room is tested with the chat.
#include "coretestbed.h"
#include "session/playevents.h"

#include <gtest/gtest.h>

namespace {
struct Heard : PlayListener {
    QStringList said;
    static QString m(std::optional<Money> v) { return v ? v->text() : QStringLiteral("?"); }
    void signedIn(const QString& hall, std::optional<Money> balance) override
    {
        said << QStringLiteral("in %1 %2").arg(hall, m(balance));
    }
    void salesOpened(int seconds) override { said << QStringLiteral("sales %1").arg(seconds); }
    void salesSecond(int left, bool bought) override
    {
        if (left == 90 || left == 30)   // two samples of the countdown
            said << QStringLiteral("second %1 %2").arg(left).arg(bought);
    }
    void cardBought(const BoughtCard& c) override
    {
        said << QStringLiteral("bought %1 %2 %3 %4 %5").arg(c.game, c.cardId).arg(c.faces).arg(m(c.price), m(c.balance));
    }
    void gameStarted(const QString& game, int cards) override { said << QStringLiteral("start %1 %2").arg(game).arg(cards); }
    void oneToGo(int card) override { said << QStringLiteral("one to go %1").arg(card); }
    void gameEnded(const GameOutcome& o) override
    {
        QStringList cards;
        for (int k : o.winningCards)
            cards << QString::number(k);
        said << QStringLiteral("end %1 %2 %3 [%4]").arg(o.game).arg(o.aborted).arg(o.winningCall).arg(cards.join(','));
    }
    void winnersHeard(const QString& payout, const QStringList& names) override
    {
        said << QStringLiteral("winners %1 %2").arg(payout, names.join(','));
    }
    void leftGame() override { said << QStringLiteral("left"); }
};
}

TEST(PlayEvents, AGameIsToldFromTheSignInToItsWinnersAndALeftGameToo)
{
    CoreTestbed bed;
    bed.create();
    Heard heard;
    bed.c().events().listen(&heard);
    bed.signIn();
    bed.openSales(100);
    bed.tick(10);
    bed.buyCard(1);
    bed.tick(60);
    // Row 3 of face 1 is 4, 19, 34, 49, 64: one to go after 49, the card wins on 64, the fifth call.
    bed.startGame(CoreTestbed::codes({4, 19, 34, 49, 64, 70}), 5, 6);
    bed.step(6);
    bed.line(Link::GameFeed, "PQZ$0D%0");   // the server ends the game
    bed.line(Link::Request, "PQZ!LOGINOK$125.00%1$2Lucky,Ann%2$3Well done%3");
    const QString host = bed.c().settings().values().WebHost;
    const QStringList expected{QStringLiteral("in %1 5.00").arg(host), "sales 120", "second 90 0",
                               "bought 100001 100001.00001.00001 1 1.00 4.00", "second 30 1", "start 100001 1",
                               "one to go 1", "end 100001 0 5 [1]", "winners 25.00 Lucky,Ann"};
    EXPECT_EQ(heard.said.join('|').toStdString(), expected.join('|').toStdString());

    bed.c().events().forget(&heard);

    // A game whose sales close without a card of the player's is left.
    CoreTestbed next;
    next.create();
    Heard left;
    next.c().events().listen(&left);
    next.signIn();
    next.openSales(100);
    next.tick(120);
    EXPECT_EQ(left.said.mid(1).join('|').toStdString(), "sales 120|second 90 0|second 30 0|left");
    next.c().events().forget(&left);
}
