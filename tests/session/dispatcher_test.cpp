// What the game server's lines mean: the typed events the parser makes of them, and
// what the session does with each event in its state.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"

#include <gtest/gtest.h>

namespace {

TEST(Parser, EachLinkTakesItsOwnLinesAndFieldsAreTheFirstTaggedPairs)
{
    enum { None = -1, Ann, Start, Over, Bingo, Login, Card, Starters, Purchase, Winners };
    const auto kind = [](const std::optional<ServerEvent>& e) { return e ? int(e->index()) : int(None); };
    const struct { Link link; QByteArray line; int kind; } feeds[] = {
        {Link::GameFeed, "PQZ$0D%0", Over}, {Link::GameFeed, "PQZ$0E%0", Bingo}, {Link::GameFeed, "PQZ$0Z%0", None},
        {Link::GameFeed, "XYZ$0A%0", None}, {Link::SalesFeed, "PQZ$0A%0", None}, {Link::SalesFeed, "Hello", None},
    };
    for (const auto& f : feeds)
        EXPECT_EQ(kind(ParseFeedLine(f.link, f.line)), f.kind) << f.line.constData();
    const struct { Request request; QByteArray line; int kind; } replies[] = {
        {Request::OneFace, "PQZ!LOGINOK", None}, {Request::Purchase, "PQZ!LOGINNO", Purchase},
        {Request::Winners, "PQZ!CARDRG1", None},
    };
    for (const auto& r : replies)
        EXPECT_EQ(kind(ParseRequestReply(r.request, r.line)), r.kind) << r.line.constData();
    const auto a = std::get<Announcement>(*ParseFeedLine(Link::GameFeed, "PQZ$8abc%8$2a%2$2b%2$3%3$4 42 %4%7x$7$0A%0"));
    EXPECT_EQ(a.gameNumber + '|' + a.jackpot + '|' + a.players + '|' + a.pattern, "abc|a||");
    EXPECT_EQ(a.seconds, 42);
    for (const QByteArray seconds : {"4x", "", "99999999999"})
        EXPECT_FALSE(std::get<Announcement>(*ParseFeedLine(Link::GameFeed, "PQZ$0A%0$4" + seconds + "%4")).seconds);
    EXPECT_FALSE(std::get<Announcement>(*ParseFeedLine(Link::SalesFeed, "PQZACKBUYx")).buy);
    EXPECT_EQ(std::get<CardReply>(*ParseRequestReply(Request::ThreeFaces, "PQZ!CARDRG1$A5%A")).faces, 3);
    // A prize table without a readable "F:" is no table.
    EXPECT_EQ(ParsePrizeTable("SA:1.00]F:3]FA:2.00]V4:7.00]").value_or(PrizeTable{})[3], "2.00");
    EXPECT_FALSE(ParsePrizeTable("SA:1.00]FA:1.00]") || ParsePrizeTable("SA:1.00]F:x]FA:1.00]"));
}

// A signed-in client with its links on scripted peers; a game second lasts 10 ms.
struct Client {
    MiniHttp web;   // the web login that names the game server: this machine
    ScriptedPeer request, game, sales;
    CoreTestbed bed{10, request.port(), game.port(), sales.port()};
    GameCore& core = bed.c();
    RecordingScreen& screen = bed.screen;

    Client()
    {
        web.body = "instruct:OK%URL&http://127.0.0.1/%";
        bed.create();
        bed.signIn();
        EXPECT_TRUE(WaitFor([&] { return sales.clients.size() == 1; }));
    }
    static QByteArray announce(const QByteArray& game, int seconds, const QByteArray& jackpot, const QByteArray& players)
    {
        return "PQZ$2" + jackpot + "%2$3" + players + "%3$4" + QByteArray::number(seconds) + "%4$8" + game
            + "%8$7A01000001%7$0A%0";
    }
    void login() { core.signIn().LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), web.host(), true); }
    void openSales()
    {
        sales.sendLine("PQZACKBUY1");
        EXPECT_TRUE(WaitFor([&] { return game.clients.size() == 1 && sales.clients.isEmpty(); }));
        bed.line(Link::GameFeed, announce("100001", 90, "100.00", "12"));
    }
};

TEST(Feeds, TheSalesFeedWaitsForBuyThenTheFirstAnnouncementOpensTheSalesAndTheNextOnlyRefreshes)
{
    Client t;
    for (const char* ignored : {"PQZACKWAT", "PQZACKBUYx", "junk"})
        t.sales.sendLine(ignored);
    Spin(50);
    EXPECT_EQ(t.core.round().phase(), Phase::WaitingForSales);
    EXPECT_EQ(t.game.connections, 0);
    t.openSales();   // the sales feed closes and the game feed opens
    const FiguresRecord& figures = t.screen.figures;
    EXPECT_EQ(figures.jackpot + ' ' + figures.players, QStringLiteral("$ 100.00 12"));
    const TableRecord& table = t.screen.table;
    EXPECT_TRUE(table.sidePanelShown && table.tableShown && table.at(0, 0) == 1 && t.screen.shop.faceChoiceShown);
    t.bed.line(Link::GameFeed, Client::announce("100001", 30, "150.00", "20"));
    EXPECT_EQ(figures.jackpot + ' ' + figures.players, QStringLiteral("$ 150.00 20"));
    t.bed.tick();
    EXPECT_EQ(figures.countdown, 89);   // the first announcement's countdown goes on
}

TEST(Feeds, CardsFromAnotherGameLeaveIt)
{
    const struct { const char* name; QByteArray line; bool leaves; } cases[] = {
        {"the same game", Client::announce("100001", 80, "1", "2"), false},
        {"the same game's number and more", Client::announce("1000019", 80, "1", "2"), false},
        {"the next game", Client::announce("100002", 80, "1", "2"), true},
        {"a notice without a game number", "PQZACKWAT", true},
        {"the draw of another game", "PQZ$0B%0$8100002%8$A567%A$512%5$620%6", true},
        {"the draw of another game without a picture", "PQZ$0C%0$8100002%8$A567%A$512%5$620%6", true},
    };
    for (size_t run = 0; run < 2 * std::size(cases); ++run) {
        const auto& c = cases[run / 2];
        const int card = run % 2 ? 6 : 1;   // any card in use counts, not only the first
        Client t;
        t.openSales();
        while (t.core.rack().currentCard() < card)
            t.core.table().RightCardClick();
        t.bed.buyCard();   // for game 100001
        const int dialogs = t.screen.events.count("show:Tlogindialog");
        t.bed.line(Link::GameFeed, c.line);
        EXPECT_EQ(t.screen.player.messages.contains("Your Bingo Cards were entered into the previous game. Please "
                                                    "Reconnect to join the next game"),
                  c.leaves) << c.name;
        EXPECT_EQ(t.core.round().phase(), c.leaves ? Phase::SignedOut : Phase::SalesOpen) << c.name;
        EXPECT_EQ(t.screen.events.count("show:Tlogindialog") - dialogs, int(c.leaves)) << c.name;
        EXPECT_EQ(t.screen.menus.connectEnabled, c.leaves) << c.name;
        EXPECT_EQ(t.bed.ticking(), !c.leaves) << c.name;
        EXPECT_EQ(t.game.clients.isEmpty(), c.leaves) << c.name;
        if (c.leaves)   // the player can sign in again
            t.login();
        EXPECT_EQ(WaitFor([&] { return t.request.received.last().startsWith("PQZ!G6"); }, 300), c.leaves) << c.name;
    }
    Client t;   // so can one whose countdown ran out without a card
    t.bed.tick(116);
    t.login();
    EXPECT_TRUE(WaitFor([&] { return t.request.received.last().startsWith("PQZ!G6"); }));
}

TEST(Feeds, TheDrawStartsTheGame)
{
    QByteArray draw;
    for (int n = 1; n <= 85; ++n)
        draw += char((n - 1) % 75 + 1 + 50);
    for (const char kind : {'B', 'C'}) {
        Client t;
        t.openSales();
        t.screen.figures.jackpot = QStringLiteral("before");
        const int beeps = t.screen.player.beeps;
        t.bed.line(Link::GameFeed, QByteArray("PQZ$0") + kind + "%0$8100001%8$A" + draw
                                       + "%A$9bingo.gif%9$7B0O000003%7$2200.00%2$35%3$512%5$620%6");
        const GameRound& round = t.core.round();
        EXPECT_EQ(round.phase(), Phase::Calling);
        EXPECT_EQ(round.drawLength(), 80);   // the draw is cut at 80 codes
        EXPECT_TRUE(round.callCode(79) == draw[79] && round.callCode(80) == '0' && round.winningCall() == 12
                    && round.finalCall() == 20);
        EXPECT_TRUE(t.screen.pictures.shown.value(Picture::Pattern).endsWith("pat03.gif")
                    && !t.screen.menus.connectEnabled);
        // "C" beeps instead of showing the prize.
        EXPECT_EQ(t.screen.status.text + ' ' + t.screen.figures.players + ' ' + t.screen.figures.jackpot,
                  kind == 'B' ? QStringLiteral("T1308 5 $200.00") : QStringLiteral("T1308 5 before"));
        EXPECT_EQ(t.screen.player.beeps - beeps, kind == 'B' ? 0 : 1);
        EXPECT_TRUE(WaitFor([&] { return t.game.clients.isEmpty(); }));   // the feed closes for the draw
    }
}

TEST(Feeds, WinnersAreAskedForAndListed)
{
    Client t;
    WinnersRecord& winners = t.screen.winners;
    t.request.reply = [](const QByteArray& line) -> QByteArray {
        return line.startsWith("PQZ!GS") ? "PQZ!LOGINOK$125.00%1$2 ,Ann,Bob %2$3Well played%3" : "";
    };
    t.core.ShowLastWinners(QStringLiteral("100001"));
    ASSERT_TRUE(WaitFor([&] { return winners.shown; }));
    EXPECT_EQ(t.request.received.last(), "PQZ!GS100001##");
    EXPECT_EQ(winners.last.payout + '|' + winners.last.names.join(',') + '|' + winners.last.note,
              "25.00|Ann,Bob|Well played");
    EXPECT_EQ(t.screen.status.announced.last(), "T1813 Ann, Bob. T1814 $25.00");
    // The reply frees the request link: the next request goes out at once.
    EXPECT_FALSE(t.core.links().busy());
    t.core.ShowLastWinners(QStringLiteral("100002"));
    ASSERT_TRUE(WaitFor([&] { return t.request.received.last() == "PQZ!GS100002##"; }));
    // Every name is handed over; an empty list counts one empty name; a refusal shows no list.
    t.bed.line(Link::Request, "PQZ!LOGINOK$110.00%1$2A,B,C,D,E%2$3%3");
    EXPECT_EQ(winners.last.names, (QStringList{"A", "B", "C", "D", "E"}));
    t.bed.line(Link::Request, "PQZ!LOGINOK$10%1$2%2");
    EXPECT_EQ(winners.last.names, QStringList{QString()});
    winners.shown = false;
    t.bed.line(Link::Request, "PQZ!LOGINNO");
    EXPECT_TRUE(!winners.shown && winners.last.names.isEmpty());
}

TEST(Feeds, OneRequestAtATimeAndItKeepsItsReply)
{
    Client t;
    t.openSales();
    t.core.shop().chooseFaces(2);
    ASSERT_TRUE(WaitFor([&] { return t.request.received.contains("PQZ!S1"); }));
    t.bed.line(Link::Request, "PQZ!CARDRG1$A7%A$B" + CoreTestbed::numbers(2) + "%B");
    t.core.shop().Button3Click();   // the server does not answer yet
    ASSERT_TRUE(WaitFor([&] { return t.request.received.last().startsWith("PQZ!B7"); }));
    const int beeps = t.screen.player.beeps;
    t.core.ShowLastWinners(QStringLiteral("100001"));
    EXPECT_EQ(t.screen.player.messages.last(), QStringLiteral("T1404"));
    t.core.shop().Button3Click();
    t.core.table().RightCardClick();
    t.core.shop().chooseFaces(3);
    EXPECT_EQ(t.screen.player.beeps - beeps, 2);
    Spin(50);
    EXPECT_EQ(t.request.received.size(), 3);   // the sign-in's cards, the card asked for, the purchase
    t.bed.line(Link::Request, "PQZ!LOGINOK100001.00001.00007$04.00%0$B" + CoreTestbed::numbers(2) + "%B$C7%C");
    EXPECT_TRUE(t.screen.figures.balance == Money::fromCents(400) && t.screen.table.cardId == "100001.00007");
}

// A card or a purchase the server refuses names its reason, and the buttons come back;
// the sign-in before it saved the settings before taking the alias.
TEST(Replies, RefusedCardsAndPurchasesNameTheirReasonAndGiveTheControlsBack)
{
    const struct { bool purchase; QByteArray reply; QString status; QString message; } cases[] = {
        {false, "PQZ!CARDRN", "T1309", "T1309"},
        {true, "PQZ!LOGINPW", "T1313", "T1312"},
        {true, "PQZ!LOGINNOMaximum Cards per game", "ERROR: Maximum Cards per game", "T1710"},
        {true, "PQZ!LOGINNOSorry your Account", "ERROR: Sorry your Account", "T1711"},
        {true, "PQZ!LOGINNOGame is being set up", "ERROR: Game is being set up", "T1714"},
        {true, "PQZ!LOGINNOSorry Account is locked", "ERROR: Sorry Account is locked", "T1715"},
    };
    for (const auto& c : cases) {
        CoreTestbed bed;
        bed.create();
        bed.signIn();
        EXPECT_TRUE(bed.readFile("defaults.cfg").contains("#AL:#") && bed.screen.figures.jackpot == "$-.--"
                    && bed.screen.status.history.contains("T1311"));
        bed.openSales();
        bed.c().shop().chooseFaces(4);
        if (c.purchase) {
            bed.line(Link::Request, "PQZ!CARDRG1$A9%A$B" + CoreTestbed::numbers(4) + "%B");
            EXPECT_EQ(bed.c().rack().card(1).FaceCount, 4);
            bed.c().shop().Button3Click();
        }
        bed.line(Link::Request, c.reply);
        EXPECT_TRUE(bed.screen.status.text == c.status && bed.screen.player.messages.value(1) == c.message)
            << c.reply.data();
        EXPECT_TRUE(bed.screen.shop.cardButtonsEnabled && !bed.c().rack().bought() && !bed.c().links().busy());
    }
}

}   // namespace
