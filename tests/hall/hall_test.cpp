// The demo hall spoken to over raw loopback sockets: inside the test's event loop, where the
// test steps the game clock, and as the bingo-hall program.
#include "hall.h"
#include "hallprocess.h"
#include "rules/wire.h"
#include "scriptedpeer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Sends `pieces` a moment apart, so that the hall reads each on its own, and collects what
// comes back until the hall closes; empty on time-out.
QByteArray Exchange(quint16 port, const QList<QByteArray>& pieces)
{
    QTcpSocket socket;
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, port);
    for (int i = 0; i < pieces.size(); ++i) {
        WaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState && !socket.bytesToWrite(); });
        Spin(i > 0 ? 20 : 0);
        socket.write(pieces[i]);
    }
    const bool closed = WaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; });
    return closed ? received + socket.readAll() : QByteArray();
}

// One request line on the request port; the reply line without CR LF.
QByteArray Request(quint16 port, const QByteArray& line)
{
    const QByteArray reply = Exchange(port, {line + "\r\n"});
    return reply.endsWith("\r\n") ? reply.chopped(2) : reply;
}

// Each request on a connection of its own: the reply must begin with the expected text; an
// expected text that ends in CR LF is the whole reply.
void ExpectReplies(quint16 port, const QList<std::pair<QByteArray, QByteArray>>& cases)
{
    for (const auto& [request, reply] : cases) {
        const QByteArray got = Exchange(port, {request + "\r\n"});
        EXPECT_EQ(reply.endsWith("\r\n") ? got : got.left(reply.size()), reply) << request.left(80).constData();
    }
}

QByteArray Login(const QByteArray& u, const QByteArray& p) { return "PQZ!G6" + u + "#!PW" + p + "#!ADQZWIN466#!LAEN#"; }

QByteArray Purchase(const QByteArray& user, const QByteArray& password, const QByteArray& selection, int faces)
{
    return "PQZ!B7" + user + "#!PW" + password + "#!ADQZWIN466#!AT" + selection + "#!SKsomeone#!NC"
        + QByteArray::number(faces) + "#!LAEN#";
}

QByteArray GetText(const QByteArray& path) { return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"; }

QByteArray PostText(const QByteArray& path, const QByteArray& body)
{
    return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// A connection that collects the lines the hall sends: a feed or a chat room.
struct Feed {
    QTcpSocket socket;
    QList<QByteArray> lines;
    QByteArray keepAlive;   // the answer to a chat room's "SQ", if any

    explicit Feed(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            while (socket.canReadLine()) {
                lines.append(socket.readLine().chopped(2));
                if (lines.last() == "SQ" && !keepAlive.isEmpty())
                    socket.write(keepAlive);
            }
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    // The first line from line `from` on that starts with `prefix`; empty after five seconds.
    QByteArray waitFor(const QByteArray& prefix, int from = 0)
    {
        const bool seen = WaitFor([&] {
            while (from < lines.size() && !lines[from].startsWith(prefix))
                ++from;
            return from < lines.size();
        });
        return seen ? lines[from] : QByteArray();
    }
};

// Independent check of sound 75-ball faces: column c holds 15c+1..15c+15, no number twice.
bool SoundFaces(const QByteArray& text, int faces)
{
    QSet<int> numbers;   // face * 100 + number
    for (int i = 0; i < text.size(); ++i) {
        const int n = static_cast<unsigned char>(text[i]) - 50;
        if (n < 1 || (n - 1) / 15 != i % 25 / 5)
            return false;
        numbers.insert(i / 25 * 100 + n);
    }
    return text.size() == 25 * faces && numbers.size() == 25 * faces;
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
        for (const auto& [name, bytes] : {std::pair<const char*, QByteArray>{"secret.txt", "secret"},
                                          {"www/index.htm", "<html>"}, {"www/images/Logo.gif", "GIF89a-logo"},
                                          {"www/images/.hidden", "x"}, {"www/sounds/cset1.exe", "installer"},
                                          {"www/sounds/cset2.exe", ""}, {"www/sounds/cset4.exe", ""},
                                          {"www/sounds/bset1.exe", ""}, {"www/sounds/bset2.exe", ""},
                                          {"www/sounds/sets.txt", "cset 2 Robo  Rita 150\nbset 2 Party 100% Shouts 4\n"
                                                                  "bset 1 broken\naset 1 Never Listed 9\n"}})
            WriteFile(root_.filePath(QLatin1String(name)), bytes);
        HallConfig config;
        config.webPort = config.requestPort = config.salesPort = config.gamePort = 0;
        config.chatPorts = {0, 0};
        config.chatKeepAliveMs = 300;
        config.wwwDir = root_.filePath(QStringLiteral("www"));
        config.game.tickMs = 100000000;   // the clock never fires; tests step it
        config.game.waitSeconds = 1;
        config.game.seed = 4;
        hall_ = std::make_unique<Hall>(config);
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
                           "newsurl:http://{w}/news/news.rtf%download:http://{w}/update/%downfile:qzwin32.exe%"
                           "dsaveas:vexotmp.exe%drunfile:vexotmp.exe%imageurl:{w}%adminurl:http://{w}/%"
                           "files:{w}%logo:logo.gif%adspace2:logo.gif%winnergif:winnerbox.gif%";
    directory.replace("{w}", "127.0.0.1:" + QByteArray::number(web()))
        .replace("{c1}", QByteArray::number(hall_->chatPorts()[0]))
        .replace("{c2}", QByteArray::number(hall_->chatPorts()[1]));
    // Static names stay inside the www folder, one folder deep, and hide dot names.
    for (const char* path : {"/images/missing.gif", "/../secret.txt", "/images/../../secret.txt", "/%2e%2e/secret.txt",
                             "/images/%2e%2e/%2e%2e/secret.txt", "/images/%2e%2e%2f..%2fsecret.txt",
                             "/images\\..\\..\\secret.txt", "//secret.txt", "/images/.hidden", "/images/sub/Logo.gif",
                             "/images/"})
        EXPECT_TRUE(Exchange(web(), {GetText(path)}).startsWith("HTTP/1.1 404 ")) << path;
    const QByteArray login = PostText("/VexoBingo/VXPLAY466.asp?x=1", "username=nobody&version=466");
    const struct {
        QList<QByteArray> request;   // sent in these pieces
        int status;
        QByteArray type;   // empty: not checked
        QByteArray body;   // empty: not checked
    } cases[] = {
        {{"NONSENSE\r\n\r\n"}, 400, {}, {}},
        {{"GET images/Logo.gif HTTP/1.1\r\n\r\n"}, 400, {}, {}},
        {{"GET / HTTP/1.1\r\nno colon\r\n\r\n"}, 400, {}, {}},
        {{"POST / HTTP/1.1\r\nContent-Length: -4\r\n\r\n"}, 400, {}, {}},
        {{"POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab"}, 400, {}, {}},
        {{"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"}, 411, {}, {}},
        {{"POST /x HTTP/1.1\r\nContent-Length: 100000\r\n\r\n"}, 413, {}, {}},
        {{"POST / HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n"}, 413, {}, {}},
        {{GetText("/" + QByteArray(70000, 'a'))}, 413, {}, {}},
        {{PostText("/images/Logo.gif", "x")}, 405, {}, {}},
        // A slow network hands the login over in pieces: the hall waits for the whole of it.
        {{login.left(20), login.mid(20, 40), login.mid(60, 80), login.mid(140)}, 200, "text/plain", directory},
        // After all that the hall still serves. Letter case is ignored; one request per connection.
        {{GetText("/IMAGES/logo.GIF")}, 200, "image/gif", "GIF89a-logo"},
        {{GetText("/images/Logo.gif") + GetText("/images/Logo.gif")}, 200, "image/gif", "GIF89a-logo"},
        {{"GET / HTTP/1.0\n\n"}, 200, "text/html", "<html>"},
        {{GetText("/sounds/cset1.exe")}, 200, {}, "installer"},
        // Sets are numbered without gaps (no cset4 without cset3); sets.txt names them where it can.
        {{GetText("/VexoBingo/clist.asp")}, 200, "text/plain", "count:2%cset1:Caller 1%cset2:Robo Rita%"},
        {{GetText("/vexobingo/BLIST.asp")}, 200, {},
         "count:2%bset1:Fun Bingo Set 1%bset1qty:3%bset2:Party 100  Shouts%bset2qty:4%"},
        {{GetText("/VexoBingo/alist.asp")}, 200, {}, "count:0%"},
    };
    for (const auto& c : cases) {
        const QByteArray reply = Exchange(web(), c.request);
        const QByteArray head = reply.left(reply.indexOf("\r\n\r\n")), what = c.request.first().left(60);
        EXPECT_EQ(head.left(12), "HTTP/1.1 " + QByteArray::number(c.status)) << what.constData();
        EXPECT_TRUE(head.contains("Connection: close")) << what.constData();
        EXPECT_TRUE(c.type.isEmpty() || head.contains("Content-Type: " + c.type)) << what.constData();
        EXPECT_TRUE(c.body.isEmpty() || reply.mid(head.size() + 4) == c.body)
            << what.constData() << ": " << reply.constData();
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

// One game, its clock stepped by the test: the request port before and during the sales, the
// feeds, the draw, the winners and their pay.
TEST_F(HallTest, AGameSellsDrawsJudgesAndPays)
{
    Feed sales(hall_->salesPort());
    EXPECT_EQ(sales.waitFor("PQZACK"), "PQZACKWAT");
    const QByteArray no = "PQZ!LOGINNO";
    ExpectReplies(req(), {
        // One second of waiting, then 120 of sales; no prize table for a plain pattern.
        {Login("demo", "bingo"), "PQZ!LOGINOK$A%A$BLucky Star%B$0250.00%0$1A01000001%1$C%C$5121%5\r\n"},
        {Login("demo", "wrong"), "PQZ!LOGINPW\r\n"},
        {Login("stranger", "bingo"), "PQZ!LOGINNOUnknown Player ID"},
        {Purchase("demo", "bingo", "1000", 4), "PQZ!LOGINNOGame is being se"},   // no sales yet
        // The number asked for comes back; none has been played.
        {"PQZ!GS100004##", "PQZ!LOGINNONo result is known for game 100004.\r\n"},
        {"PQZ!GS000000##", "PQZ!LOGINNONo result is known for game 000000.\r\n"},
        // The client tells the refusals apart by their first words.
        {Login("closed", "bingo"), no + "This Account has"}, {Login("suspended", "bingo"), no + "Sorry your Accou"},
        {Login("overdue", "bingo"), no + "Sorry Account ha"}, {Login("pending", "bingo"), no + "Account is await"},
        {Login("setup", "bingo"), no + "Game is being se"}, {Login("locked", "bingo"), no + "Sorry Account is"},
        {"PQZ!GS10x004##", "PQZ!ERROR\r\n"}, {"PQZ!GS1000", "PQZ!ERROR\r\n"}, {QByteArray(5000, 'P'), "PQZ!ERROR\r\n"},
        {"PQZ!G6demo#!PWbingo#!LAEN#", "PQZ!ERROR\r\n"}, {"PQZ!G7demo#!PWx#!ADy#!LAz#", "PQZ!ERROR\r\n"},
        {"PQZ!B7demo#!PWbingo#!ADQZWIN466#!AT1003#!NC3#!LAEN#", "PQZ!ERROR\r\n"},
    });

    hall_->game()->tick();   // waiting is over: sales open, and a game feed opened now hears of the game
    EXPECT_EQ(sales.waitFor("PQZACKBUY"), "PQZACKBUY1");
    Feed game(hall_->gamePort());
    EXPECT_EQ(game.waitFor("PQZ$0A"), "PQZ$0A%0$8100001%8$7A01000001%7$225.00%2$30%3$4120%4");

    // Card id: game number, the player's seat, the card's serial in this game.
    const QByteArray offered = Request(req(), "PQZ!S1");
    const QByteArray selection = FieldValue('A', offered), cells = FieldValue('B', offered);
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

    for (int second = 0; second < 120; ++second)
        hall_->game()->tick();
    const QByteArray start = game.waitFor("PQZ$0B%0");
    const QByteArray calls = FieldValue('A', start);
    QByteArray sorted = calls;
    std::sort(sorted.begin(), sorted.end());
    // The draw calls each number once.
    EXPECT_EQ(sorted, "3456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}");
    // One line: the game is won at the first call that makes any line of any face whole. Every
    // card sold shows the offered card's first face, so with this seed all three players win
    // and share the jackpot: 25.00 and half of the 6.00 of sales.
    const int winningCall = FirstLineCall(cells, calls);
    ASSERT_EQ(FirstLineCall(cells.left(25), calls), winningCall) << "the seed no longer makes the first face win";
    const QByteArray call = QByteArray::number(winningCall);
    EXPECT_EQ(start,
              "PQZ$0B%0$8100001%8$A" + calls + "%A$9bingo.gif%9$7A01000001%7$228.00%2$33%3$5" + call + "%5$675%6");
    const QByteArray result = Request(req(), "PQZ!GS000000##");
    EXPECT_EQ(result, "PQZ!LOGINOK$19.33%1$2Lucky Star,Guest Player,Last Penny%2$3Game 100001 was won on call " + call
                          + ".%3");
    EXPECT_EQ(Request(req(), "PQZ!GS100001##"), result);

    // While the game runs the sales feed says to wait again, and logins name the next pattern.
    for (int second = 0; second < 3; ++second)
        hall_->game()->tick();
    EXPECT_EQ(sales.waitFor("PQZACKWAT", 1), "PQZACKWAT");
    EXPECT_EQ(FieldValue('1', Request(req(), Login("demo", "bingo"))), "B0O000003");
}

// A chat room as its players see it: the lists and announcements around a greeting, relayed
// lines under the sender's own alias, the regulars, every way out, the bounds, the closing.
TEST_F(HallTest, ChatRoomListsRelaysGreetsAndLetsGo)
{
    const quint16 port = hall_->chatPorts()[1];
    Feed ann(port), bob(port);
    ann.keepAlive = "QAnn\r\n";
    bob.keepAlive = "QBob\r\n";
    ann.socket.write("G  Ann %1ann%2\r\nGAnnie%1x%2\r\n");   // trimmed; a second greeting changes nothing
    ASSERT_EQ(ann.waitFor("SLAnn"), "SLAnn");
    ASSERT_EQ(ann.lines.indexOf("SLAnn"), 4);   // after "S1" and the three regulars
    const QList<QByteArray> regulars = ann.lines.mid(1, 3);
    bob.socket.write("GBob%1bob%2\r\n");
    EXPECT_EQ(ann.waitFor("SA"), "SABob");
    const QList<QByteArray> present = regulars + QList<QByteArray>{"SLAnn", "SLBob"};
    ASSERT_EQ(bob.waitFor("SLBob"), "SLBob");
    EXPECT_EQ(bob.lines.mid(0, 6), QList<QByteArray>{"S1"} + present);
    bob.socket.write("BAnn: I am Ann\r\nBBob: hi: all\r\nBhello\r\nL\r\n");
    for (Feed* feed : {&ann, &bob})
        EXPECT_EQ(feed->waitFor("S0Bob: hello"), "S0Bob: hello");
    for (const char* line : {"S0Bob: I am Ann", "S0Bob: hi: all"})
        EXPECT_TRUE(ann.lines.contains(line)) << line;
    EXPECT_TRUE(WaitFor([&] { return bob.lines.count("SLBob") == 2; }));
    EXPECT_EQ(bob.lines.mid(bob.lines.lastIndexOf("SLBob") - 4, 5), present);
    // A regular greets the newcomer by name, a moment after its greeting.
    EXPECT_TRUE(WaitFor([&] {
        return std::any_of(ann.lines.begin(), ann.lines.end(), [&](const QByteArray& line) {
            return line.contains("Bob") && std::any_of(regulars.begin(), regulars.end(), [&](const QByteArray& name) {
                       return line.startsWith("S0" + name.mid(2) + ": ");
                   });
        });
    }));
    EXPECT_EQ(ann.waitFor("SQ"), "SQ");
    bob.keepAlive.clear();   // two silent periods and Bob is gone
    EXPECT_EQ(ann.waitFor("SRBob"), "SRBob");

    // Leaving by "R", by closing, by an endless line.
    for (const auto& [alias, goodbye] : {std::pair<QByteArray, QByteArray>{"Cy", "RCy\r\n"}, {"Di", ""},
                                         {"Ed", QByteArray(5000, 'x')}}) {
        Feed leaver(port);
        leaver.socket.write("G" + alias + "%1x%2\r\n");
        ASSERT_EQ(ann.waitFor("SA" + alias), "SA" + alias);
        if (goodbye.isEmpty())
            leaver.socket.disconnectFromHost();
        leaver.socket.write(goodbye);
        EXPECT_EQ(ann.waitFor("SR" + alias), "SR" + alias);
    }

    // A member that never reads is dropped once its unsent output passes the bound; Ann, who
    // reads, goes on hearing every line.
    QTcpSocket slow;
    slow.setReadBufferSize(1024);
    slow.connectToHost(QHostAddress::LocalHost, port);
    slow.write("GSlow%1s%2\r\n");
    ASSERT_EQ(ann.waitFor("SASlow"), "SASlow");
    const QByteArray burst = QByteArray("BAnn: " + QByteArray(2000, 'x') + "\r\n").repeated(16);
    for (int round = 0; round < 40 && !ann.lines.contains("SRSlow"); ++round) {
        slow.write("QSlow\r\n");
        ann.socket.write(burst + "BAnn: round " + QByteArray::number(round) + "\r\n");
        ASSERT_FALSE(ann.waitFor("S0Ann: round " + QByteArray::number(round)).isEmpty()) << round;
    }
    EXPECT_TRUE(ann.lines.contains("SRSlow"));
    ann.socket.write("BAnn: still here\r\n");
    EXPECT_EQ(ann.waitFor("S0Ann: still"), "S0Ann: still here");
    EXPECT_FALSE(ann.lines.contains("SAAnn") || bob.lines.contains("SABob"));   // no one hears of their own arrival

    hall_.reset();
    EXPECT_EQ(ann.waitFor("SX"), "SX");
    EXPECT_TRUE(WaitFor([&] { return ann.socket.state() == QAbstractSocket::UnconnectedState; }));
}

// The real program: the ports of its ready line, its options, its accounts file, a clean stop.
TEST(HallProgram, ServesWhatItsOptionsSayRefusesBadStartsAndStopsOnSigterm)
{
    QTemporaryDir dir;
    const QString accounts = dir.filePath(QStringLiteral("accounts.txt"));
    // Comments and blank lines are skipped, CR LF endings read, a reason may hold colons, and
    // a line replaces the built-in account of the same name.
    WriteFile(accounts, "# extra players\n\nzoe:secret:Zippy Zoe:0.05\nann:pw:Annie:12.5\r\n"
                        "bob:pw:Bob:0:Sorry Account is closed: see you\r\ndemo:other:Demo Two:250\n");
    HallProcess hall({"--tick-ms", "10", "--sales-seconds", "30", "--wait-seconds", "20", "--seed", "3", "--accounts",
                      accounts});
    ASSERT_TRUE(hall.isReady()) << hall.error().toStdString();
    EXPECT_TRUE(Exchange(hall.webPort(), {PostText("/vexobingo/vxplay466.asp", "username=zoe")})
                    .contains("files:" + hall.webHost().toLatin1() + "%"));
    ExpectReplies(hall.requestPort(), {
        {Login("zoe", "secret"), "PQZ!LOGINOK$A%A$BZippy Zoe%B$00.05%0"},
        {Login("ann", "pw"), "PQZ!LOGINOK$A%A$BAnnie%B$012.50%0"},
        {Login("bob", "pw"), "PQZ!LOGINNOSorry Account is closed: see you\r\n"},
        {Login("demo", "bingo"), "PQZ!LOGINPW\r\n"},
        {Login("demo", "other"), "PQZ!LOGINOK$A%A$BDemo Two%B$0250.00%0"},
    });
    EXPECT_EQ(Feed(hall.salesPort()).waitFor("PQZACKBUY"), "PQZACKBUY1");
    // A second hall beside it: port 0 for the first room leaves the rooms not named free too.
    EXPECT_TRUE(HallProcess().isReady());

    // A start that fails names its cause: the bad line of an accounts file, an option, a busy port.
    for (const char* bad : {"a:b:c", ":pw:X:1.00", "a:b::1.00", "a:b#:X:1.00", "a:b:X%:1.00", "a:b:X:lots",
                            "a:b:X:-1.00", "a:b:X:1.234", "a:b:X:1.", "a:b:X:.5", "a:b:X:1,00", "a:b:X:12a",
                            "a:b:X:9999999999999"}) {
        WriteFile(accounts, QByteArray("# players\nok:pw:Okay:1.00\n") + bad + "\n");
        EXPECT_TRUE(HallProcess({"--accounts", accounts}).error().contains(QStringLiteral("line 3"))) << bad;
    }
    const std::pair<QStringList, QString> refusals[] = {
        {{"--accounts", dir.filePath(QStringLiteral("missing.txt"))}, QStringLiteral("missing.txt")},
        {{"--tick-ms", "fast"}, QStringLiteral("--tick-ms")},
        {{"--web-port", QString::number(hall.webPort())}, QStringLiteral("web port")},
    };
    for (const auto& [arguments, cause] : refusals)
        EXPECT_TRUE(HallProcess(arguments).error().contains(cause)) << cause.toStdString();
    EXPECT_EQ(hall.terminate(), 0);
}

// The request port beside connections that never send a line: one address holds a few and
// then hears, in words its client understands, that the hall is busy; the hall cuts the
// silent ones off within seconds. Without the limit a crowd of them keeps no login out.
TEST(HallProgram, IdleRequestConnectionsKeepNoHonestLoginOut)
{
    HallProcess limited({"--max-per-address", "3"}), exempt({"--exempt-loopback"});
    ASSERT_TRUE(limited.isReady() && exempt.isReady()) << limited.error().toStdString() << exempt.error().toStdString();
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (const auto& [port, count] : {std::pair<quint16, int>{limited.requestPort(), 3}, {exempt.requestPort(), 300}})
        for (int i = 0; i < count; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            idle.back()->connectToHost(QHostAddress::LocalHost, port);
        }
    const auto idleIn = [&idle](QAbstractSocket::SocketState state) {
        return std::all_of(idle.begin(), idle.end(), [state](const auto& socket) { return socket->state() == state; });
    };
    ASSERT_TRUE(WaitFor([&] { return idleIn(QAbstractSocket::ConnectedState); }));
    ExpectReplies(limited.requestPort(), {{Login("demo", "bingo"), "PQZ!LOGINNOThe hall is busy"},
                                          {"PQZ!S6", "PQZ!CARDRNO\r\n"}});
    ExpectReplies(exempt.requestPort(), {{Login("demo", "bingo"), "PQZ!LOGINOK"}});
    EXPECT_TRUE(WaitFor([&] { return idleIn(QAbstractSocket::UnconnectedState); }, 8000));
    ExpectReplies(limited.requestPort(), {{Login("demo", "bingo"), "PQZ!LOGINOK"}});
}

// Every listener of a feed hears its lines, however many there are; one that never reads is
// dropped once it falls behind, and the others go on hearing.
TEST(HallProgram, FeedsReachEveryListenerAndDropOneThatNeverReads)
{
    HallProcess hall({"--tick-ms", "1", "--wait-seconds", "0", "--sales-seconds", "86400"});
    ASSERT_TRUE(hall.isReady()) << hall.error().toStdString();
    const int stuck = ::socket(AF_INET, SOCK_STREAM, 0);
    const int smallest = 1;   // the system rounds it up to its least
    ::setsockopt(stuck, SOL_SOCKET, SO_RCVBUF, &smallest, sizeof smallest);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(hall.gamePort());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(stuck, reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
    std::vector<std::unique_ptr<Feed>> feeds;
    for (int i = 0; i < 300; ++i)
        feeds.push_back(std::make_unique<Feed>(hall.gamePort()));
    EXPECT_TRUE(WaitFor([&] {
        return std::all_of(feeds.begin(), feeds.end(), [](const auto& feed) { return feed->lines.size() > 1; });
    }));
    // Dropped by the hall: its reset may be lost against a full window, but a byte sent after
    // it is answered with one, and that shows without a byte being read.
    EXPECT_TRUE(WaitFor([stuck] {
        ::send(stuck, "x", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        pollfd state{stuck, 0, 0};
        return ::poll(&state, 1, 0) == 1 && (state.revents & (POLLERR | POLLHUP));
    }, 20000));
    ::close(stuck);
    const qsizetype heard = feeds.back()->lines.size();
    EXPECT_TRUE(WaitFor([&] { return feeds.back()->lines.size() > heard; }));
}

// A hall killed during the sales and started again on its file: every balance as the
// purchases left it, and the cards still entered in the same game with their charges.
TEST(HallProgram, KeepsBalancesAndCardsThroughAKill)
{
    QTemporaryDir dir;
    const QStringList arguments = {"--db", dir.filePath(QStringLiteral("hall.db")), "--tick-ms", "10",
                                   "--wait-seconds", "0", "--sales-seconds", "86400"};
    auto hall = std::make_unique<HallProcess>(arguments);
    ASSERT_TRUE(hall->isReady()) << hall->error().toStdString();
    ASSERT_EQ(Feed(hall->salesPort()).waitFor("PQZACKBUY"), "PQZACKBUY1");
    const QByteArray before = FieldValue('A', Request(hall->requestPort(), "PQZ!S1"));
    for (const auto& [user, faces] : {std::pair<QByteArray, int>{"demo", 4}, {"demo", 1}, {"guest", 2}, {"broke", 1}})
        ASSERT_TRUE(Request(hall->requestPort(), Purchase(user, "bingo", before, faces)).startsWith("PQZ!LOGINOK"));
    hall->process().kill();
    ASSERT_TRUE(hall->process().waitForFinished());

    hall = std::make_unique<HallProcess>(arguments);
    ASSERT_TRUE(hall->isReady()) << hall->error().toStdString();
    const QByteArray after = FieldValue('A', Request(hall->requestPort(), "PQZ!S1"));
    ExpectReplies(hall->requestPort(), {
        {Login("demo", "bingo"), "PQZ!LOGINOK$A%A$BLucky Star%B$0247.50%0"},
        {Login("guest", "bingo"), "PQZ!LOGINOK$A%A$BGuest Player%B$099.00%0"},
        {Login("broke", "bingo"), "PQZ!LOGINOK$A%A$BLast Penny%B$00.00%0"},
        // The same game, the fifth card sold in it.
        {Purchase("guest", "bingo", after, 1), "PQZ!LOGINOK100001.00002.00005$098.50%0"},
    });
    // The jackpot holds half of every charge: 25.00 and half of 4.50.
    const QByteArray announcement = Feed(hall->gamePort()).waitFor("PQZ$0A");
    EXPECT_EQ(FieldValue('8', announcement) + " " + FieldValue('2', announcement) + " " + FieldValue('3', announcement),
              "100001 27.25 3");
}
