// The sign-in to the game server over real sockets: the web login names the server,
// a scripted server answers the login and the requests that follow it.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace {

QByteArray okReply(const QByteArray& alias = "Lucky Star")
{
    return "PQZ!LOGINOK$A%A$B" + alias + "%B$0250.00%0$1A01000001%1$5120%5";
}

struct LoginTest : ::testing::Test {
    MiniHttp web;
    ScriptedPeer request, game, sales;
    std::unique_ptr<CoreTestbed> bed;

    void SetUp() override { fresh(); }
    void fresh()
    {
        web.body = "instruct:OK%URL&http://127.0.0.1/%";
        bed.reset();
        bed = std::make_unique<CoreTestbed>(10, request.port(), game.port(), sales.port());
        bed->create();
        request.received.clear();
    }
    GameCore& core() { return bed->c(); }
    RecordingScreen& screen() { return bed->screen; }
    // The player signs in from the login dialog; the game login follows the web login.
    void login(const QString& id = QStringLiteral("player123"))
    {
        core().signIn().LoginButton1Click(id, "se#cret", web.host(), true);
    }
    // Answers the login, the ten cards and the purchase.
    void serve(const QByteArray& loginReply, const QByteArray& cardsReply = {})
    {
        QByteArray cards = "PQZ!CARDRG1$A1000%A";
        for (char f = 'B'; f <= 'K'; ++f)
            cards += QByteArray("$") + f + CoreTestbed::numbers(4) + "%" + f;
        request.reply = [=](const QByteArray& line) -> QByteArray {
            if (line.startsWith("PQZ!G6"))
                return loginReply;
            if (line.startsWith("PQZ!B7"))
                return "PQZ!LOGINOK100001.00001.00001$0240.00%0$B" + CoreTestbed::numbers(4) + "%B$C1000%C";
            return line == "PQZ!S6" ? (cardsReply.isEmpty() ? cards : cardsReply) : QByteArray();
        };
    }
};

TEST_F(LoginTest, TheLoginLineStartsTheSessionAndThePurchaseCarriesItsKey)
{
    serve(okReply());
    login();
    ASSERT_TRUE(WaitFor([&] { return core().rack().card(10).Loaded && sales.clients.size() == 1; }));
    EXPECT_EQ(request.received, (QList<QByteArray>{"PQZ!G6player123#!PWse#cret#!ADQZWIN466#!LAen#", "PQZ!S6"}));
    EXPECT_TRUE(screen().status.alias == "Lucky Star" && screen().figures.balance == Money::fromCents(25000));
    EXPECT_EQ(screen().status.text, QStringLiteral("T1312"));
    EXPECT_TRUE(bed->readFile("defaults.cfg").startsWith("UN:player123#"));
    // The ten ready-made cards are numbered on from the first one's selection code.
    EXPECT_TRUE(core().rack().card(10).SelectionCode == "1009" && core().rack().card(10).FaceCount == 4);
    sales.sendLine("PQZACKBUY1");
    ASSERT_TRUE(WaitFor([&] { return game.clients.size() == 1; }));
    game.sendLine("PQZ$0A%0$8100001%8$7A01000001%7$2100%2$33%3$4100%4");
    ASSERT_TRUE(WaitFor([&] { return core().round().phase() == Phase::SalesOpen; }));
    core().shop().Button3Click();
    ASSERT_TRUE(WaitFor([&] { return screen().figures.balance == Money::fromCents(24000); }));
    EXPECT_EQ(request.received.last(), "PQZ!B7player123#!PWse#cret#!ADQZWIN466#!AT1000#!SKLucky Star#!NC4#!LAen#");
    // With a card bought the player cannot sign in again for this game.
    const int beeps = screen().player.beeps;
    request.received.clear();
    login();
    ASSERT_TRUE(WaitFor([&] { return screen().player.messages.size() == 2; }));
    EXPECT_EQ(screen().player.messages.last(), "You cannot re-connect, you already have cards purchased for this game");
    EXPECT_EQ(screen().player.beeps - beeps, 1);
    Spin(50);
    EXPECT_TRUE(request.received.isEmpty());
}

TEST_F(LoginTest, TheFirstSignInOfARunGreetsThePlayerAndABadTenCardReplyKeepsTheCards)
{
    // Characters 7..9 of "player123" are "123": an alias ending in them asks for confirmation,
    // as an empty alias does for a player ID too short to have them.
    const struct { QByteArray alias; QString id; QStringList messages; } cases[] = {
        {"Lucky123", "player123", {"T1315"}}, {"", "p1", {"T1315"}},
        {"Lucky Star", "player123", {"T1402 Lucky Star T1403", "T1315"}}};
    for (const auto& [alias, id, messages] : cases) {
        fresh();
        serve(okReply(alias));
        login(id);
        ASSERT_TRUE(WaitFor([&] { return core().rack().card(10).Loaded; })) << alias.constData();
        serve(okReply(alias), "PQZ!CARDRX9");
        login(id);
        ASSERT_TRUE(WaitFor([&] { return screen().player.messages.contains("T1315"); })) << alias.constData();
        EXPECT_EQ(screen().player.messages, messages) << alias.constData();
        EXPECT_EQ(screen().dialogs.aliasConfirms,
                  alias == "Lucky Star" ? QStringList() : QStringList{QString::fromLatin1(alias)})
            << alias.constData();
        EXPECT_EQ(core().rack().card(10).SelectionCode, QStringLiteral("1009"));
        EXPECT_FALSE(core().links().busy());
    }
}

TEST_F(LoginTest, ARefusedOrUnreadableReplyStartsNoSession)
{
    const QString kNoAnswer = QStringLiteral("The game server did not answer the sign-in. Please try again.");
    const struct { QByteArray reply; QString status; QStringList messages; bool dialog; } cases[] = {
        {"PQZ!LOGINPW", "T1313", {"T1313"}, true},
        {"PQZ!LOGINNOThis Account has been suspended.", "This Account has been suspended.", {"T1700"}, true},
        {"PQZ!LOGINNOSorry your Account has expired.", "Sorry your Account has expired.", {"T1701"}, true},
        {"PQZ!LOGINNOSorry Account has no credit left.", "Sorry Account has no credit left.", {"T1702"}, true},
        {"PQZ!LOGINNOAccount is awaiting approval.", "Account is awaiting approval.", {"T1703"}, true},
        {"PQZ!LOGINNOGame is being set up, try again soon.", "Game is being set up, try again soon.", {"T1704"}, true},
        {"PQZ!LOGINNOSorry Account is locked.", "Sorry Account is locked.", {"T1705"}, true},
        {"PQZ!LOGINNOSomething else " + QByteArray(70, 'x'), "Something else " + QString(49, 'x'), {}, true},
        // No login reply, or none at all: the sign-in ends at its deadline (300 ms at 10 ms a second).
        {"PQZ!CARDRG1$A5%A$B" + CoreTestbed::numbers(1) + "%B", "", {kNoAnswer}, true},
        {"", "", {kNoAnswer}, true},
        {"PQZ!LOGINOK$BAl%B$010.00%0$1A01000001%1$5soon%5", "The game server sent a login reply we could not read.",
         {"T1402 Al T1403"}, false},
    };
    for (const auto& c : cases) {
        PlayerRecord& player = screen().player;
        player.messages.clear();
        const int beeps = player.beeps;
        const int dialogs = screen().events.count("show:Tlogindialog");
        serve(c.reply);
        login();
        ASSERT_TRUE(WaitFor([&] { return request.received.size() == 1 && request.clients.isEmpty(); }))
            << c.reply.constData();
        WaitFor([&] { return player.messages.size() == c.messages.size(); }, 2000);
        Spin(20);
        const QString& status = screen().status.text;
        EXPECT_TRUE(c.status.isEmpty() || status == c.status) << status.toStdString();
        EXPECT_EQ(player.messages, c.messages) << c.reply.constData();
        EXPECT_EQ(screen().events.count("show:Tlogindialog") - dialogs, int(c.dialog)) << c.reply.constData();
        EXPECT_EQ(player.beeps - beeps, int(c.dialog && c.messages.value(0) != kNoAnswer)) << c.reply.constData();
        EXPECT_EQ(sales.connections, 0) << c.reply.constData();
        EXPECT_FALSE(bed->ticking()) << c.reply.constData();
        request.received.clear();
    }
    EXPECT_EQ(screen().status.alias, QStringLiteral("Al"));
}

TEST(RefusedLinks, AreRetriedNamedInTheStatusLineAndRaiseTheAlertOnce)
{
    const quint16 deadPort = ScriptedPeer().port();   // a port nobody listens on once the peer is gone
    MiniHttp web;
    web.body = "instruct:OK%URL&http://127.0.0.1/%";
    CoreTestbed bed(5, deadPort, deadPort, deadPort);   // retries every 5 ms
    bed.create();
    bed.c().signIn().LoginButton1Click("p", "w", web.host(), true);
    const QStringList& events = bed.screen.events;
    const StatusRecord& status = bed.screen.status;
    ASSERT_TRUE(WaitFor([&] { return events.count("show:TForm3") == 1; }, 15000));
    EXPECT_LT(status.connectAttempts, 5);   // the count starts over with the alert
    EXPECT_TRUE(status.logLines.join('\n').contains("SocketError: "));
    EXPECT_TRUE(QRegularExpression("^T1810 \\d\\d:\\d\\d:\\d\\d\\.\\.\\.$").match(status.notice).hasMatch())
        << status.notice.toStdString();
    // Still retrying, and the alert is not opened a second time while it is up.
    ASSERT_TRUE(WaitFor([&] { return status.connectAttempts > 80; }, 15000));
    Spin(600);
    EXPECT_EQ(events.count("show:TForm3"), 1);
    bed.c().AlertButton1Click();
    EXPECT_FALSE(bed.screen.dialogs.commsAlertShown);
    ASSERT_TRUE(WaitFor([&] { return events.count("show:TForm3") == 2; }, 15000));
    // The server is back: the link connects and the status line's own text returns.
    QTcpServer back;
    ASSERT_TRUE(back.listen(QHostAddress::LocalHost, deadPort));
    EXPECT_TRUE(WaitFor([&] { return status.notice.isEmpty(); }));
}

}   // namespace
