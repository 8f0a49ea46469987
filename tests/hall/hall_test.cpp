// The hall inside the test's event loop, spoken to over raw loopback sockets.
#include "hall.h"
#include "hallclient.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace hallclient;

namespace {

constexpr int kStoppedClock = 100000000;   // the clock never fires; tests step it

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

HallConfig TestConfig(const QString& www)
{
    HallConfig config;
    config.webPort = config.requestPort = config.salesPort = config.gamePort = 0;
    config.chatPorts = {0, 0};
    config.wwwDir = www;
    config.game.tickMs = kStoppedClock;
    config.game.waitSeconds = 1;
    config.game.seed = 11;
    return config;
}

QByteArray Login(const QByteArray& user, const QByteArray& password)
{
    return "PQZ!G6" + user + "#!PW" + password + "#!ADQZWIN466#!LAEN#";
}

QByteArray Purchase(const QByteArray& user, const QByteArray& password, const QByteArray& selection, int faces)
{
    return "PQZ!B7" + user + "#!PW" + password + "#!ADQZWIN466#!AT" + selection + "#!SKsomeone#!NC"
        + QByteArray::number(faces) + "#!LAEN#";
}

// The call at which a card first shows a whole row, column or diagonal on one of its faces:
// a line is whole at the call of the last of its numbers, the free centre needing none. A
// full draw calls every number, and cells and call codes share their coding (number + 50).
int FirstLineCall(const QByteArray& cells, const QByteArray& calls)
{
    int first = 75;
    for (int face = 0; face < cells.size(); face += 25) {
        for (int line = 0; line < 12; ++line) {
            int whole = 0;
            for (int k = 0; k < 5; ++k) {
                const int column = line < 5 || line >= 10 ? k : line - 5;
                const int row = line < 5 ? line : line < 10 || line == 10 ? k : 4 - k;
                if (column != 2 || row != 2)
                    whole = std::max(whole, int(calls.indexOf(cells[face + 5 * column + row])) + 1);
            }
            first = std::min(first, whole);
        }
    }
    return first;
}

class HallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        www_ = root_.filePath(QStringLiteral("www"));
        WriteFile(root_.filePath(QStringLiteral("secret.txt")), "secret");
        WriteFile(www_ + QStringLiteral("/images/logo.gif"), "GIF89a-logo");
        WriteFile(www_ + QStringLiteral("/news/news.rtf"), "{\\rtf1 news}");
        WriteFile(www_ + QStringLiteral("/sounds/cset1.exe"), "installer");
        WriteFile(www_ + QStringLiteral("/sounds/bset1.exe"), "installer");
        hall_ = std::make_unique<Hall>(TestConfig(www_));
        QString error;
        ASSERT_TRUE(hall_->start(&error)) << error.toStdString();
    }

    quint16 web() const { return hall_->webPort(); }
    quint16 req() const { return hall_->requestPort(); }
    QByteArray selection()
    {
        return Field('A', Request(req(), "PQZ!S1"));
    }

    QTemporaryDir root_;
    QString www_;
    std::unique_ptr<Hall> hall_;
};

}  // namespace

TEST_F(HallTest, WebLoginGivesTheServiceDirectory)
{
    const HttpReply reply = Post(web(), "/VexoBingo/VXPLAY466.asp", "username=nobody&version=466");
    ASSERT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.head.contains("Connection: close"));
    const QByteArray web = "127.0.0.1:" + QByteArray::number(hall_->webPort());
    const QByteArray body = reply.body;
    const QList<QByteArray> pieces = {QByteArray("instruct:OK%"), QByteArray("instmsg:%"), QByteArray("URL&http://127.0.0.1/%"),
          QByteArray("chatip1:127.0.0.1%"), "chatport1:" + QByteArray::number(hall_->chatPorts()[0]) + "%",
          QByteArray("chatname1:Main Hall%"), "chatport2:" + QByteArray::number(hall_->chatPorts()[1]) + "%",
          QByteArray("chatname2:Night Owls%"), QByteArray("ChatOK:0%"), "newsurl:http://" + web + "/news/news.rtf%",
          "download:http://" + web + "/update/%", QByteArray("downfile:vexobingo-update%"), "imageurl:" + web + "%",
          "adminurl:http://" + web + "/%", "files:" + web + "%", QByteArray("logo:logo.gif%"),
          QByteArray("adspace2:logo.gif%"), QByteArray("winnergif:winnerbox.gif%")};
    for (const QByteArray& piece : pieces)
        EXPECT_TRUE(body.contains(piece)) << piece.constData() << " missing in " << body.constData();
    EXPECT_GE(QByteArray::number(hall_->chatPorts()[0]).size(), 4);
}

TEST_F(HallTest, CataloguesAndStaticFiles)
{
    EXPECT_EQ(Get(web(), "/VexoBingo/clist.asp").body, "count:1%cset1:Caller 1%");
    EXPECT_EQ(Get(web(), "/vexobingo/BLIST.asp").body, "count:1%bset1:Fun Bingo Set 1%bset1qty:3%");
    EXPECT_EQ(Get(web(), "/VexoBingo/alist.asp").body, "count:0%");

    const HttpReply logo = Get(web(), "/images/logo.gif");
    EXPECT_EQ(logo.status, 200);
    EXPECT_EQ(logo.body, "GIF89a-logo");
    EXPECT_TRUE(logo.head.contains("Content-Type: image/gif"));
    EXPECT_EQ(Get(web(), "/sounds/cset1.exe").body, "installer");
    EXPECT_EQ(Get(web(), "/news/news.rtf").status, 200);
    EXPECT_EQ(Get(web(), "/images/nothere.gif").status, 404);
    EXPECT_EQ(Get(web(), "/images/../../secret.txt").status, 404);
    EXPECT_EQ(Get(web(), "/images/%2e%2e/%2e%2e/secret.txt").status, 404);
    EXPECT_EQ(Post(web(), "/images/logo.gif", "x").status, 405);
}

TEST_F(HallTest, WebServiceSurvivesBadAndHugeRequests)
{
    EXPECT_EQ(ParseHttp(Exchange(web(), "NONSENSE\r\n\r\n")).status, 400);
    EXPECT_EQ(ParseHttp(Exchange(web(), "GET /" + QByteArray(70000, 'a') + " HTTP/1.1\r\n\r\n")).status, 413);
    EXPECT_EQ(ParseHttp(Exchange(web(), "POST /x HTTP/1.1\r\nContent-Length: 100000\r\n\r\n")).status, 413);
    // The request is answered once; what follows it on the connection is ignored.
    const QByteArray two = Exchange(web(), "GET /images/logo.gif HTTP/1.1\r\n\r\nGET /images/logo.gif HTTP/1.1\r\n\r\n");
    EXPECT_EQ(two.count("HTTP/1.1 200"), 1);
    EXPECT_EQ(Get(web(), "/VexoBingo/clist.asp").status, 200);   // still serving
}

TEST_F(HallTest, GameLoginAcceptsRefusesAndAsksForThePassword)
{
    const QByteArray ok = Request(req(), Login("demo", "bingo"));
    ASSERT_TRUE(ok.startsWith("PQZ!LOGINOK")) << ok.constData();
    EXPECT_TRUE(ok.startsWith("PQZ!LOGINOK$A%A$B"));
    EXPECT_EQ(Field('B', ok), "Lucky Star");
    EXPECT_EQ(Field('0', ok), "250.00");
    EXPECT_EQ(Field('1', ok), "A01000001");
    EXPECT_EQ(Field('5', ok), "121");   // one second of waiting, then 120 of sales
    EXPECT_TRUE(Request(req(), Login("guest", "bingo")).startsWith("PQZ!LOGINOK"));

    EXPECT_EQ(Request(req(), Login("demo", "wrong")), "PQZ!LOGINPW");
    EXPECT_TRUE(Request(req(), Login("stranger", "bingo")).startsWith("PQZ!LOGINNO"));
    QSet<QByteArray> prefixes;
    for (const char* user : {"closed", "suspended", "overdue", "pending", "setup", "locked"}) {
        const QByteArray reply = Request(req(), Login(user, "bingo"));
        ASSERT_TRUE(reply.startsWith("PQZ!LOGINNO")) << user;
        EXPECT_GT(reply.size(), 11 + 30) << "a full sentence for " << user;
        prefixes.insert(reply.mid(11, 16));
    }
    EXPECT_EQ(prefixes, QSet<QByteArray>({"This Account has", "Sorry your Accou", "Sorry Account ha",
                                          "Account is await", "Game is being se", "Sorry Account is"}));
    EXPECT_EQ(Request(req(), "PQZ!HELLO"), "PQZ!ERROR");
    EXPECT_EQ(Request(req(), QByteArray(5000, 'P')), "PQZ!ERROR");
}

TEST_F(HallTest, ReadyMadeAndSingleCards)
{
    const QByteArray ten = Request(req(), "PQZ!S6");
    ASSERT_TRUE(ten.startsWith("PQZ!CARDRG1$A"));
    bool numeric = false;
    Field('A', ten).toInt(&numeric);
    EXPECT_TRUE(numeric);
    QSet<QByteArray> distinct;
    for (char tag : QByteArray("BCDEFGHIJK")) {
        const QByteArray cells = Field(tag, ten);
        EXPECT_TRUE(SoundFaces(cells, 4)) << tag << ": " << cells.constData();
        distinct.insert(cells);
    }
    EXPECT_EQ(distinct.size(), 10);
    EXPECT_TRUE(ten.endsWith("%K"));

    const QByteArray one = Request(req(), "PQZ!S1");
    ASSERT_TRUE(one.startsWith("PQZ!CARDRG1$A"));
    EXPECT_TRUE(SoundFaces(Field('B', one), 4));
    EXPECT_NE(Field('A', one), Field('A', ten));
}

TEST_F(HallTest, PurchasesDuringSalesWithinLimitsAndBalance)
{
    const QByteArray early = Request(req(), Purchase("demo", "bingo", selection(), 4));
    EXPECT_TRUE(early.startsWith("PQZ!LOGINNOGame is being se")) << early.constData();
    hall_->game()->tick();   // waiting is over: sales open
    ASSERT_EQ(hall_->game()->phase(), GameServer::Phase::Sales);

    const QByteArray offered = Request(req(), "PQZ!S1");
    const QByteArray bought = Request(req(), Purchase("demo", "bingo", Field('A', offered), 4));
    ASSERT_TRUE(bought.startsWith("PQZ!LOGINOK")) << bought.constData();
    const QByteArray cardId = bought.mid(11, 18);
    EXPECT_TRUE(cardId.startsWith("100001.")) << cardId.constData();
    EXPECT_EQ(cardId.at(12), '.');
    EXPECT_EQ(Field('0', bought), "248.00");
    EXPECT_EQ(Field('C', bought), Field('A', offered));
    EXPECT_EQ(Field('B', bought), Field('B', offered));

    const QByteArray twoFaces = Request(req(), Purchase("guest", "bingo", Field('A', offered), 2));
    EXPECT_EQ(Field('B', twoFaces), Field('B', offered).left(50));   // the faces entered

    EXPECT_EQ(Request(req(), Purchase("demo", "nope", selection(), 1)), "PQZ!LOGINPW");
    EXPECT_EQ(Request(req(), Purchase("nobody", "bingo", selection(), 1)), "PQZ!LOGINPW");
    EXPECT_TRUE(Request(req(), Purchase("demo", "bingo", selection(), 5)).startsWith("PQZ!LOGINNO"));
    EXPECT_TRUE(Request(req(), Purchase("demo", "bingo", "999999999", 1)).startsWith("PQZ!LOGINNO"));
    EXPECT_TRUE(Request(req(), Purchase("locked", "bingo", selection(), 1)).startsWith("PQZ!LOGINNOSorry Account is"));

    for (int i = 2; i <= 6; ++i)
        ASSERT_TRUE(Request(req(), Purchase("demo", "bingo", selection(), 1)).startsWith("PQZ!LOGINOK")) << i;
    EXPECT_EQ(Request(req(), Purchase("demo", "bingo", selection(), 1)), "PQZ!LOGINNOMaximum Cards per game reached");

    const QByteArray last = Request(req(), Purchase("broke", "bingo", selection(), 1));
    EXPECT_EQ(Field('0', last), "0.00");
    EXPECT_TRUE(Request(req(), Purchase("broke", "bingo", selection(), 1)).startsWith("PQZ!LOGINNOSorry your Accou"));

    EXPECT_TRUE(Request(req(), "PQZ!GS000000##").startsWith("PQZ!LOGINNO"));   // no game has been played
}

// The whole cycle at a fast clock: waiting, sales, the draw and the winners.
TEST(HallCycle, SellsDrawsAndJudgesAWholeGame)
{
    QTemporaryDir root;
    HallConfig config = TestConfig(root.path());
    config.game.tickMs = 10;
    config.game.salesSeconds = 30;
    config.game.waitSeconds = 20;
    Hall hall(config);
    QString error;
    ASSERT_TRUE(hall.start(&error)) << error.toStdString();

    Feed sales(hall.salesPort());
    EXPECT_EQ(sales.waitFor("PQZACK", 2000), "PQZACKWAT");
    ASSERT_EQ(sales.waitFor("PQZACKBUY", 3000), "PQZACKBUY1");

    Feed game(hall.gamePort());
    const QByteArray announce = game.waitFor("PQZ", 2000, 0, "A");
    ASSERT_FALSE(announce.isEmpty());
    EXPECT_EQ(Field('8', announce), "100001");
    EXPECT_EQ(Field('7', announce), "A01000001");
    EXPECT_LE(Field('4', announce).toInt(), 30);

    // Two players buy while the sales run.
    struct Bought {
        QByteArray alias;
        QByteArray cells;
        int faces;
    };
    QList<Bought> bought;
    for (const auto& [user, alias, faces] :
         {std::tuple<QByteArray, QByteArray, int>{"demo", "Lucky Star", 4}, {"guest", "Guest Player", 2}}) {
        const QByteArray offered = Request(hall.requestPort(), "PQZ!S1");
        const QByteArray reply = Request(hall.requestPort(), Purchase(user, "bingo", Field('A', offered), faces));
        ASSERT_TRUE(reply.startsWith("PQZ!LOGINOK100001.")) << reply.constData();
        bought.append({alias, Field('B', reply), faces});
    }

    const QByteArray start = game.waitFor("PQZ", 3000, 0, "B");
    ASSERT_FALSE(start.isEmpty());
    EXPECT_EQ(Field('8', start), "100001");
    EXPECT_EQ(Field('9', start), "bingo.gif");
    EXPECT_EQ(Field('3', start), "2");
    const QByteArray calls = Field('A', start);
    ASSERT_EQ(calls.size(), 75);
    EXPECT_EQ(QSet<char>(calls.begin(), calls.end()).size(), 75);
    for (char code : calls)
        EXPECT_TRUE(code >= 51 && code <= 125);

    // One line: the game is won at the first call that makes any line of any face whole.
    int winningCall = 75;
    for (const Bought& b : bought)
        winningCall = std::min(winningCall, FirstLineCall(b.cells, calls));
    QList<QByteArray> winners;
    for (const Bought& b : bought)
        if (FirstLineCall(b.cells, calls) == winningCall)
            winners.append(b.alias);
    EXPECT_EQ(Field('5', start).toInt(), winningCall);
    EXPECT_GT(Field('6', start).toInt(), winningCall);

    const QByteArray result = Request(hall.requestPort(), "PQZ!GS000000##");
    ASSERT_TRUE(result.startsWith("PQZ!LOGINOK$1")) << result.constData();
    EXPECT_EQ(Field('2', result), winners.join(','));
    EXPECT_EQ(Request(hall.requestPort(), "PQZ!GS100001##"), result);

    // While the game runs the sales feed says to wait again, and logins name the next pattern.
    const int seen = int(sales.lines().size());
    EXPECT_EQ(sales.waitFor("PQZACK", 2000, seen), "PQZACKWAT");
    EXPECT_EQ(Field('1', Request(hall.requestPort(), Login("demo", "bingo"))), "B0O000003");
}

TEST_F(HallTest, ChatRoomGreetsRelaysAndLists)
{
    const quint16 port = hall_->chatPorts()[0];
    QTcpSocket ann;
    QTcpSocket bob;
    QList<QByteArray> a, b;
    const auto collect = [](QTcpSocket& socket, QList<QByteArray>& lines) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [&socket, &lines] {
            while (socket.canReadLine())
                lines.append(socket.readLine().trimmed());
        });
    };
    collect(ann, a);
    collect(bob, b);
    ann.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitUntil([&] { return a.contains("S1"); }, 2000));
    ann.write("GAnn%1ann%2\r\n");
    ASSERT_TRUE(WaitUntil([&] { return a.contains("SAAnn"); }, 2000));
    bob.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitUntil([&] { return b.contains("S1"); }, 2000));
    bob.write("GBob%1bob%2\r\nBBob: hello all\r\nL\r\n");
    ASSERT_TRUE(WaitUntil([&] { return a.contains("S0Bob: hello all") && b.contains("SLBob"); }, 2000));
    EXPECT_TRUE(a.contains("SABob"));
    EXPECT_TRUE(b.contains("SLAnn"));
    bob.write("RBob\r\n");
    ASSERT_TRUE(WaitUntil([&] { return a.contains("SRBob"); }, 2000));
    // An endless line ends only the sender's visit.
    ann.write(QByteArray(5000, 'x'));
    EXPECT_TRUE(WaitUntil([&] { return ann.state() == QAbstractSocket::UnconnectedState; }, 2000));
}
