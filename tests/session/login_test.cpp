// The game login over real sockets against a scripted server.
#include "coretestbed.h"
#include "scriptedpeer.h"

#include <gtest/gtest.h>

namespace {

struct LoginTest : ::testing::Test {
    ScriptedPeer request;
    ScriptedPeer game;
    ScriptedPeer sales;
    std::unique_ptr<CoreTestbed> bed;

    void SetUp() override
    {
        bed = std::make_unique<CoreTestbed>(20, request.port(), game.port(), sales.port());
        bed->create();
        bed->c().Settings.UserName = QStringLiteral("player123");
        bed->c().Settings.Password = QStringLiteral("se#cret");
        bed->c().DirectoryRead = 1;
    }
    GameCore& core() { return bed->c(); }
    RecordingView& view() { return bed->view; }

    static QByteArray okReply(const QByteArray& alias = "Lucky Star")
    {
        return "PQZ!LOGINOK$A%A$B" + alias + "%B$0250.00%0$1A01000001%1$5120%5";
    }
    static QByteArray tenCards(int base = 1000)
    {
        QByteArray line = "PQZ!CARDRG1$A" + QByteArray::number(base) + "%A";
        for (char f = 'B'; f <= 'K'; ++f)
            line += QByteArray("$") + f + CoreTestbed::numbers(4) + "%" + f;
        return line;
    }
    // Answers the login and then the ten-card request.
    void serveLogin(const QByteArray& loginReply, const QByteArray& cardsReply = tenCards())
    {
        request.reply = [=](const QByteArray& line) -> QByteArray {
            if (line.startsWith("PQZ!G6"))
                return loginReply;
            if (line == "PQZ!S6")
                return cardsReply;
            return QByteArray();
        };
    }
};

TEST_F(LoginTest, LoginLineCarriesExactBytesAndStartsTheSession)
{
    serveLogin(okReply());
    core().Connect();
    ASSERT_TRUE(WaitFor([&] { return request.received.size() >= 2; }));
    EXPECT_EQ(request.received[0], QByteArray("PQZ!G6player123#!PWse#cret#!ADQZWIN466#!LAen#"));
    EXPECT_EQ(request.received[1], QByteArray("PQZ!S6"));
    EXPECT_EQ(core().LoginKey, QStringLiteral("player123#!PWse#cret#!ADQZWIN466"));
    ASSERT_TRUE(WaitFor([&] { return core().Cards[10].Loaded; }));
    EXPECT_EQ(core().Settings.Alias, QStringLiteral("Lucky Star"));
    EXPECT_EQ(view().text("Label9"), QStringLiteral("Lucky Star"));
    EXPECT_EQ(view().text("f_credits"), QStringLiteral("250.00"));
    EXPECT_EQ(view().status(), QStringLiteral("T1312"));
    EXPECT_EQ(core().SecondsToStart, 120);
    EXPECT_EQ(core().WaitingForSales, 1);
    EXPECT_EQ(core().SalesOpen, 1);
    EXPECT_TRUE(core().Timer1.isActive());
    EXPECT_EQ(core().Pattern.PatternKind, QLatin1Char('A'));
    // The settings were saved at the acceptance.
    EXPECT_TRUE(bed->readFile("defaults.cfg").startsWith("UN:player123#"));
    // The sales feed opens.
    EXPECT_TRUE(WaitFor([&] { return sales.connections == 1; }));
    // Card 10 carries the base number + 9 as its selection code.
    EXPECT_EQ(core().Cards[1].SelectionCode, QStringLiteral("1000"));
    EXPECT_EQ(core().Cards[10].SelectionCode, QStringLiteral("1009"));
    EXPECT_EQ(core().Cards[10].FaceCount, 4);
    EXPECT_EQ(core().RequestBusy, 0);
}

TEST_F(LoginTest, WelcomeBoxOrAliasConfirmationComesOncePerRun)
{
    // Characters 7..9 of "player123" are "123": an alias ending in them asks for confirmation.
    serveLogin(okReply("Lucky123"));
    core().Connect();
    ASSERT_TRUE(WaitFor([&] { return core().Cards[10].Loaded; }));
    EXPECT_EQ(view().shownWindows.count("TAliasConfirm"), 1);
    EXPECT_TRUE(view().messages.isEmpty());
    core().Cards[10].Loaded = false;
    core().Connect();
    ASSERT_TRUE(WaitFor([&] { return core().Cards[10].Loaded; }));
    EXPECT_EQ(view().shownWindows.count("TAliasConfirm"), 1);
}

TEST_F(LoginTest, OtherAliasGetsTheWelcomeMessage)
{
    serveLogin(okReply("Lucky Star"));
    core().Connect();
    ASSERT_TRUE(WaitFor([&] { return core().Cards[10].Loaded; }));
    EXPECT_EQ(view().messages, QStringList{QStringLiteral("T1402 Lucky Star T1403")});
    EXPECT_EQ(view().shownWindows.count("TAliasConfirm"), 0);
}

TEST_F(LoginTest, WrongPasswordShowsTheDialogAndMessage)
{
    serveLogin("PQZ!LOGINPW");
    core().Connect();
    ASSERT_TRUE(WaitFor([&] { return !view().messages.isEmpty(); }));
    EXPECT_EQ(view().messages, QStringList{QStringLiteral("T1313")});
    EXPECT_EQ(view().status(), QStringLiteral("T1313"));
    EXPECT_TRUE(view().shownWindows.contains("Tlogindialog"));
    EXPECT_GE(view().beeps, 1);
    EXPECT_FALSE(core().Timer1.isActive());
}

TEST_F(LoginTest, EachRefusalPrefixShowsItsText)
{
    const QList<QPair<QByteArray, QString>> cases = {
        {"This Account has been suspended.", "T1700"}, {"Sorry your Account has expired.", "T1701"},
        {"Sorry Account has no credit left.", "T1702"}, {"Account is awaiting approval.", "T1703"},
        {"Game is being set up, try again soon.", "T1704"}, {"Sorry Account is locked.", "T1705"},
        {"Something else entirely", ""},
    };
    for (const auto& [reason, text] : cases) {
        view().messages.clear();
        serveLogin("PQZ!LOGINNO" + reason);
        const int before = request.received.size();
        core().Connect();
        ASSERT_TRUE(WaitFor([&] { return view().status() == QString::fromLatin1(reason.left(64)); })) << reason.constData();
        EXPECT_EQ(request.received.size(), before + 1);
        if (text.isEmpty())
            EXPECT_TRUE(view().messages.isEmpty()) << reason.constData();
        else
            EXPECT_EQ(view().messages, QStringList{text}) << reason.constData();
        EXPECT_TRUE(view().visible("Tlogindialog"));
    }
}

TEST_F(LoginTest, CardReplyWhileLoginPendingIsDropped)
{
    serveLogin("PQZ!CARDRG1$A5%A$B" + CoreTestbed::numbers(1) + "%B");
    core().Connect();
    ASSERT_TRUE(WaitFor([&] { return request.received.size() == 1; }));
    Spin(100);
    EXPECT_FALSE(core().Cards[1].Loaded);
    EXPECT_FALSE(core().Timer1.isActive());
    EXPECT_TRUE(view().messages.isEmpty());
}

TEST_F(LoginTest, SecondCompleteLineInTheSameReadIsRoutedToo)
{
    // Two complete lines in one segment: the second is still handled like the first.
    const QByteArray card = "%A$B" + CoreTestbed::numbers(1) + "%B";
    request.reply = [&](const QByteArray& line) -> QByteArray {
        if (line == "PQZ!S1")
            return "PQZ!CARDRG1$A11" + card + "\r\nPQZ!CARDRG1$A12" + card;
        return QByteArray();
    };
    core().S1ImageClick();
    ASSERT_TRUE(WaitFor([&] { return core().Cards[1].SelectionCode == QLatin1String("12"); }));
    EXPECT_EQ(core().Cards[1].FaceCount, 1);
}

TEST_F(LoginTest, ReplySplitOverSegmentsIsDeliveredWhole)
{
    request.reply = nullptr;
    request.closeAfterReply = false;
    core().RequestStarterCards();
    ASSERT_TRUE(WaitFor([&] { return request.received.size() == 1 && !request.clients.isEmpty(); }));
    const QByteArray line = tenCards(4000) + "\r\n";
    for (int i = 0; i < line.size(); i += 37) {
        request.broadcast(line.mid(i, 37));
        Spin(2);
    }
    ASSERT_TRUE(WaitFor([&] { return core().Cards[10].SelectionCode == QLatin1String("4009"); }));
}

TEST_F(LoginTest, BadTenCardReplyKeepsTheCards)
{
    serveLogin(okReply(), "PQZ!CARDRX9");
    core().Connect();
    ASSERT_TRUE(WaitFor([&] { return view().messages.contains("T1315"); }));
    EXPECT_FALSE(core().Cards[1].Loaded);
    EXPECT_EQ(core().RequestBusy, 0);
}

TEST_F(LoginTest, ConnectWithCardsEnteredSendsNothing)
{
    core().CardsEntered = 1;
    core().Connect();
    Spin(50);
    EXPECT_EQ(request.connections, 0);
    EXPECT_EQ(view().messages, QStringList{QStringLiteral("You cannot re-connect, you already have cards purchased for this game")});
    EXPECT_EQ(view().beeps, 1);
}

TEST_F(LoginTest, NonNumericSecondsStopsTheHandling)
{
    serveLogin("PQZ!LOGINOK$BAl%B$010.00%0$1A01000001%1$5soon%5");
    core().Connect();
    ASSERT_TRUE(WaitFor([&] { return core().Settings.Alias == QLatin1String("Al"); }));
    Spin(50);
    EXPECT_FALSE(core().Timer1.isActive());
    EXPECT_EQ(sales.connections, 0);
}

struct RefusedTest : ::testing::Test {};

TEST_F(RefusedTest, RefusedConnectionsRetryAndRaiseTheAlertOnce)
{
    // A port nobody listens on: take a free one and close it again.
    quint16 deadPort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        deadPort = probe.serverPort();
    }
    CoreTestbed bed(5, deadPort, deadPort, deadPort);   // 5 ms a game second: retries every 5 ms
    bed.create();
    bed.c().Connect();
    ASSERT_TRUE(WaitFor([&] { return bed.view.shownWindows.count("TForm3") == 1; }, 15000));
    EXPECT_LT(bed.c().ConnectAttempts, 5);
    EXPECT_EQ(bed.view.c("ProgressBar1").progress, bed.c().ConnectAttempts);
    EXPECT_TRUE(bed.view.events.join('\n').contains("SocketError: "));
    // Still retrying, and the alert is not opened a second time while it is up.
    ASSERT_TRUE(WaitFor([&] { return bed.view.c("ProgressBar1").progress > 80; }, 15000));
    Spin(600);
    EXPECT_EQ(bed.view.shownWindows.count("TForm3"), 1);
    bed.c().AlertButton1Click();
    EXPECT_EQ(bed.c().ConnectAttempts, 0);
    ASSERT_TRUE(WaitFor([&] { return bed.view.shownWindows.count("TForm3") == 2; }, 15000));
}

}   // namespace
