// The hall inside the test's event loop, spoken to over raw loopback sockets.
#include "hall.h"
#include "hallclient.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

using namespace hallclient;

namespace {

constexpr int kStoppedClock = 100000000;   // the clock never fires; tests step it

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

QByteArray GetText(const QByteArray& path)
{
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

// Independent check of sound 75-ball faces: column c holds 15c+1..15c+15, no number twice.
bool SoundFaces(const QByteArray& text, int faces)
{
    QSet<int> numbers;   // face * 100 + number
    for (int i = 0; i < text.size(); ++i) {
        const int n = static_cast<unsigned char>(text[i]) - 50;
        const int column = i % 25 / 5;
        if (n <= 15 * column || n > 15 * column + 15)
            return false;
        numbers.insert(i / 25 * 100 + n);
    }
    return text.size() == 25 * faces && numbers.size() == 25 * faces;
}

class HallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString www = root_.filePath(QStringLiteral("www"));
        for (const auto& [name, bytes] : {std::pair<const char*, QByteArray>{"secret.txt", "secret"},
                                          {"www/index.htm", "<html>"}, {"www/images/Logo.gif", "GIF89a-logo"},
                                          {"www/images/.hidden", "x"}, {"www/sounds/cset1.exe", "installer"},
                                          {"www/sounds/cset2.exe", ""}, {"www/sounds/cset4.exe", ""},
                                          {"www/sounds/bset1.exe", ""}, {"www/sounds/bset2.exe", ""},
                                          {"www/sounds/sets.txt", "cset 2 Robo  Rita 150\nbset 2 Party 100% Shouts 4\n"
                                                                  "bset 1 broken\naset 1 Never Listed 9\n"}})
            WriteFile(root_.filePath(QLatin1String(name)), bytes);
        hall_ = std::make_unique<Hall>(TestConfig(www));
        QString error;
        ASSERT_TRUE(hall_->start(&error)) << error.toStdString();
    }

    quint16 web() const { return hall_->webPort(); }
    quint16 req() const { return hall_->requestPort(); }

    QTemporaryDir root_;
    std::unique_ptr<Hall> hall_;
};

}  // namespace

TEST_F(HallTest, WebRequestsGetTheirStatusAndBody)
{
    QByteArray directory = "instruct:OK%instmsg:%URL&http://127.0.0.1/%chatip1:127.0.0.1%chatport1:{c1}%"
                           "chatname1:Main Hall%chatip2:127.0.0.1%chatport2:{c2}%chatname2:Night Owls%ChatOK:0%"
                           "newsurl:http://{w}/news/news.rtf%download:http://{w}/update/%downfile:vexobingo-update%"
                           "dsaveas:vexobingo-update%drunfile:vexobingo-update%imageurl:{w}%adminurl:http://{w}/%"
                           "files:{w}%logo:logo.gif%adspace2:logo.gif%winnergif:winnerbox.gif%";
    directory.replace("{w}", "127.0.0.1:" + QByteArray::number(web()))
        .replace("{c1}", QByteArray::number(hall_->chatPorts()[0]))
        .replace("{c2}", QByteArray::number(hall_->chatPorts()[1]));
    // A slow network hands the login over in pieces: the hall waits for the whole of it.
    const QByteArray login = PostText("/VexoBingo/VXPLAY466.asp?x=1", "username=nobody&version=466");
    EXPECT_EQ(Http(web(), {login.left(20), login.mid(20, 40), login.mid(60, 80), login.mid(140)}).body, directory);
    // Static names stay inside the www folder, one folder deep, and hide dot names.
    for (const char* path : {"/images/missing.gif", "/../secret.txt", "/images/../../secret.txt", "/%2e%2e/secret.txt",
                             "/images/%2e%2e/%2e%2e/secret.txt", "/images/%2e%2e%2f..%2fsecret.txt",
                             "/images\\..\\..\\secret.txt", "//secret.txt", "/images/.hidden", "/images/sub/Logo.gif",
                             "/images/"})
        EXPECT_EQ(Http(web(), {GetText(path)}).status, 404) << path;
    const struct {
        QByteArray request;
        int status;
        QByteArray type;   // empty: not checked
        QByteArray body;   // empty: not checked
    } cases[] = {
        {"NONSENSE\r\n\r\n", 400, {}, {}},
        {"GET images/Logo.gif HTTP/1.1\r\n\r\n", 400, {}, {}},
        {"GET / HTTP/1.1\r\nno colon\r\n\r\n", 400, {}, {}},
        {"POST / HTTP/1.1\r\nContent-Length: -4\r\n\r\n", 400, {}, {}},
        {"POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", 400, {}, {}},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 411, {}, {}},
        {"POST /x HTTP/1.1\r\nContent-Length: 100000\r\n\r\n", 413, {}, {}},
        {"POST / HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n", 413, {}, {}},
        {GetText("/" + QByteArray(70000, 'a')), 413, {}, {}},
        {PostText("/images/Logo.gif", "x"), 405, {}, {}},
        {login, 200, "text/plain", directory},
        // After all that the hall still serves. Letter case is ignored; one request per connection.
        {GetText("/IMAGES/logo.GIF"), 200, "image/gif", "GIF89a-logo"},
        {GetText("/images/Logo.gif") + GetText("/images/Logo.gif"), 200, "image/gif", "GIF89a-logo"},
        {"GET / HTTP/1.0\n\n", 200, "text/html", "<html>"},
        {GetText("/sounds/cset1.exe"), 200, {}, "installer"},
        // Sets are numbered without gaps (no cset4 without cset3); sets.txt names them where it can.
        {GetText("/VexoBingo/clist.asp"), 200, "text/plain", "count:2%cset1:Caller 1%cset2:Robo Rita%"},
        {GetText("/vexobingo/BLIST.asp"), 200, {},
         "count:2%bset1:Fun Bingo Set 1%bset1qty:3%bset2:Party 100  Shouts%bset2qty:4%"},
        {GetText("/VexoBingo/alist.asp"), 200, {}, "count:0%"},
    };
    for (const auto& c : cases) {
        const HttpReply reply = Http(web(), {c.request});
        const QByteArray what = c.request.left(60);
        EXPECT_EQ(reply.status, c.status) << what.constData();
        EXPECT_TRUE(reply.head.contains("Connection: close")) << what.constData();
        EXPECT_TRUE(c.type.isEmpty() || reply.head.contains("Content-Type: " + c.type)) << what.constData();
        EXPECT_TRUE(c.body.isEmpty() || reply.body == c.body) << what.constData() << ": " << reply.body.constData();
    }
}

TEST_F(HallTest, ReadyMadeAndSingleCardsHoldSoundFaces)
{
    QSet<QByteArray> distinct;
    for (int round = 0; round < 5; ++round) {
        const QByteArray ten = Request(req(), "PQZ!S6");
        ASSERT_TRUE(ten.startsWith("PQZ!CARDRG1$A") && ten.endsWith("%K")) << ten.constData();
        EXPECT_TRUE(ToInt(FieldValue('A', ten)).has_value());
        for (char tag : QByteArray("BCDEFGHIJK")) {
            EXPECT_TRUE(SoundFaces(FieldValue(tag, ten), 4)) << tag << ": " << FieldValue(tag, ten).constData();
            distinct.insert(FieldValue(tag, ten));
        }
    }
    EXPECT_EQ(distinct.size(), 50);
    EXPECT_TRUE(SoundFaces(FieldValue('B', Request(req(), "PQZ!S1")), 4));
}

TEST_F(HallTest, RequestPortAnswersEachLineBeforeAndDuringSales)
{
    ExpectReplies(req(), {
        // One second of waiting, then 120 of sales; no prize table for a plain pattern.
        {Login("demo", "bingo"), "PQZ!LOGINOK$A%A$BLucky Star%B$0250.00%0$1A01000001%1$C%C$5121%5\r\n"},
        {Login("guest", "bingo"), "PQZ!LOGINOK$A%A$BGuest Player%B$0100.00%0"},
        {Login("demo", "wrong"), "PQZ!LOGINPW\r\n"},
        {Login("stranger", "bingo"), "PQZ!LOGINNOUnknown Player ID"},
        // The client tells the refusals apart by their first words.
        {Login("closed", "bingo"), "PQZ!LOGINNOThis Account has"},
        {Login("suspended", "bingo"), "PQZ!LOGINNOSorry your Accou"},
        {Login("overdue", "bingo"), "PQZ!LOGINNOSorry Account ha"},
        {Login("pending", "bingo"), "PQZ!LOGINNOAccount is await"},
        {Login("setup", "bingo"), "PQZ!LOGINNOGame is being se"},
        {Login("locked", "bingo"), "PQZ!LOGINNOSorry Account is"},
        {Purchase("demo", "bingo", "1000", 4), "PQZ!LOGINNOGame is being se"},   // no sales yet
        // The number asked for comes back; none has been played.
        {"PQZ!GS100004##", "PQZ!LOGINNONo result is known for game 100004.\r\n"},
        {"PQZ!GS000000##", "PQZ!LOGINNONo result is known for game 000000.\r\n"},
        {"PQZ!GS10x004##", "PQZ!ERROR\r\n"},
        {"PQZ!GS1000", "PQZ!ERROR\r\n"},
        {"PQZ!G6demo#!PWbingo#!LAEN#", "PQZ!ERROR\r\n"},
        {"PQZ!B7demo#!PWbingo#!ADQZWIN466#!AT1003#!NC3#!LAEN#", "PQZ!ERROR\r\n"},
        {"PQZ!G7demo#!PWx#!ADy#!LAz#", "PQZ!ERROR\r\n"},
        {QByteArray(5000, 'P'), "PQZ!ERROR\r\n"},
    });

    hall_->game()->tick();   // waiting is over: sales open
    ASSERT_EQ(hall_->game()->phase(), GameServer::Phase::Sales);

    // Card id: game number, the player's seat, the card's serial in this game.
    const QByteArray offered = Request(req(), "PQZ!S1");
    const QByteArray selection = FieldValue('A', offered);
    const QByteArray cells = FieldValue('B', offered);
    ExpectReplies(req(), {
        {Purchase("demo", "bingo", selection, 4),
         "PQZ!LOGINOK100001.00001.00001$0248.00%0$C" + selection + "%C$B" + cells + "%B\r\n"},
        {Purchase("guest", "bingo", selection, 2),
         "PQZ!LOGINOK100001.00002.00002$099.00%0$C" + selection + "%C$B" + cells.left(50) + "%B\r\n"},
        {Purchase("demo", "nope", selection, 1), "PQZ!LOGINPW\r\n"},
        {Purchase("nobody", "bingo", selection, 1), "PQZ!LOGINPW\r\n"},
        {Purchase("demo", "bingo", selection, 5), "PQZ!LOGINNOPlease choose"},
        {Purchase("demo", "bingo", "999999999", 1), "PQZ!LOGINNOThat card is no longer on offer"},
        {Purchase("locked", "bingo", selection, 1), "PQZ!LOGINNOSorry Account is"},
    });
    for (int i = 2; i <= 6; ++i)
        ASSERT_TRUE(Request(req(), Purchase("demo", "bingo", selection, 1)).startsWith("PQZ!LOGINOK")) << i;
    ExpectReplies(req(), {
        {Purchase("demo", "bingo", selection, 1), "PQZ!LOGINNOMaximum Cards per game reached\r\n"},
        {Purchase("broke", "bingo", selection, 1), "PQZ!LOGINOK100001.00003.00008$00.00%0"},
        {Purchase("broke", "bingo", selection, 1), "PQZ!LOGINNOSorry your Account does not have enough credit"},
    });
}

TEST_F(HallTest, ChatRoomGreetsRelaysAndLists)
{
    Feed ann(hall_->chatPorts()[0]);
    ASSERT_EQ(ann.waitFor("S1"), "S1");
    ann.socket().write("GAnn%1ann%2\r\n");
    ASSERT_EQ(ann.waitFor("SA"), "SAAnn");
    Feed bob(hall_->chatPorts()[0]);
    ASSERT_EQ(bob.waitFor("S1"), "S1");
    bob.socket().write("GBob%1bob%2\r\nBBob: hello all\r\nL\r\n");
    EXPECT_EQ(ann.waitFor("SAB"), "SABob");
    EXPECT_EQ(ann.waitFor("S0"), "S0Bob: hello all");
    EXPECT_EQ(bob.waitFor("SLA"), "SLAnn");
    EXPECT_EQ(bob.waitFor("SLB"), "SLBob");
    bob.socket().write("RBob\r\n");
    EXPECT_EQ(ann.waitFor("SR"), "SRBob");
    // An endless line ends only the sender's visit.
    ann.socket().write(QByteArray(5000, 'x'));
    EXPECT_TRUE(WaitUntil([&] { return ann.socket().state() == QAbstractSocket::UnconnectedState; }, 2000));
}

TEST(HallAccounts, ABadAccountsFileKeepsTheHallShutAndNamesTheLine)
{
    QTemporaryDir root;
    HallConfig config = TestConfig(root.path());
    config.accountsFile = root.filePath(QStringLiteral("accounts.txt"));
    for (const char* bad : {"a:b:c", ":pw:X:1.00", "a:b::1.00", "a:b#:X:1.00", "a:b:X%:1.00", "a:b:X:lots",
                            "a:b:X:-1.00", "a:b:X:1.234", "a:b:X:1.", "a:b:X:.5", "a:b:X:1,00", "a:b:X:12a",
                            "a:b:X:9999999999999"}) {
        WriteFile(config.accountsFile, QByteArray("# players\nok:pw:Okay:1.00\n") + bad + "\n");
        QString error;
        EXPECT_FALSE(Hall(config).start(&error)) << bad;
        EXPECT_TRUE(error.contains(QStringLiteral("line 3"))) << bad << ": " << error.toStdString();
    }
    config.accountsFile = root.filePath(QStringLiteral("missing.txt"));
    QString error;
    EXPECT_FALSE(Hall(config).start(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.txt"))) << error.toStdString();
}

namespace {

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

}  // namespace

// A whole game at a fast clock: waiting, sales, the draw, the winners and their pay.
TEST(HallCycle, SellsDrawsJudgesAndPays)
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
    EXPECT_EQ(sales.waitFor("PQZACK"), "PQZACKWAT");
    ASSERT_EQ(sales.waitFor("PQZACKBUY"), "PQZACKBUY1");
    Feed game(hall.gamePort());
    const QByteArray announce = game.waitFor("PQZ$0A%0");
    EXPECT_TRUE(announce.startsWith("PQZ$0A%0$8100001%8$7A01000001%7$225.00%2$30%3$4")) << announce.constData();
    EXPECT_LE(ToInt(FieldValue('4', announce)).value_or(99), 30);

    // Four faces and two at 0.50: half of the 3.00 goes to the jackpot, 26.50.
    QList<std::pair<QByteArray, QByteArray>> bought;   // alias, cells
    for (const auto& [user, alias, faces] : {std::tuple<QByteArray, QByteArray, int>{"demo", "Lucky Star", 4},
                                             {"guest", "Guest Player", 2}}) {
        const QByteArray offered = Request(hall.requestPort(), "PQZ!S1");
        const QByteArray reply = Request(hall.requestPort(), Purchase(user, "bingo", FieldValue('A', offered), faces));
        ASSERT_TRUE(reply.startsWith("PQZ!LOGINOK100001.")) << reply.constData();
        bought.append({alias, FieldValue('B', reply)});
    }

    const QByteArray start = game.waitFor("PQZ$0B%0");
    const QByteArray calls = FieldValue('A', start);
    QByteArray sorted = calls, everyCode;
    std::sort(sorted.begin(), sorted.end());
    for (int n = 1; n <= 75; ++n)
        everyCode += char(n + 50);
    EXPECT_EQ(sorted, everyCode);

    // One line: the game is won at the first call that makes any line of any face whole.
    int winningCall = 75;
    for (const auto& [alias, cells] : bought)
        winningCall = std::min(winningCall, FirstLineCall(cells, calls));
    QList<QByteArray> winners;
    for (const auto& [alias, cells] : bought)
        if (FirstLineCall(cells, calls) == winningCall)
            winners.append(alias);
    const QByteArray call = QByteArray::number(winningCall);
    EXPECT_TRUE(start.startsWith("PQZ$0B%0$8100001%8$A" + calls + "%A$9bingo.gif%9$7A01000001%7$226.50%2$32%3$5" + call
                                 + "%5$6")) << start.constData();
    EXPECT_GT(ToInt(FieldValue('6', start)).value_or(0), winningCall);
    const QByteArray result = Request(hall.requestPort(), "PQZ!GS000000##");
    EXPECT_EQ(result, "PQZ!LOGINOK$1" + QByteArray(winners.size() == 1 ? "26.50" : "13.25") + "%1$2" + winners.join(',')
                          + "%2$3Game 100001 was won on call " + call + ".%3");
    EXPECT_EQ(Request(hall.requestPort(), "PQZ!GS100001##"), result);

    // While the game runs the sales feed says to wait again, and logins name the next pattern.
    EXPECT_EQ(sales.waitFor("PQZACK", sales.count()), "PQZACKWAT");
    EXPECT_EQ(FieldValue('1', Request(hall.requestPort(), Login("demo", "bingo"))), "B0O000003");
}
