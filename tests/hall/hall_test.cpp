// The demo hall spoken to over raw loopback sockets: inside the test's event loop, where the
// test steps the game clock, and as the bingo-hall program.
#include "gameports.h"
#include "hall.h"
#include "hallprocess.h"
#include "rules/wire.h"
#include "scriptedpeer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

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
                                                                  "bset 1 broken\naset 1 Never Listed 9\n"},
                                          // Chat members; two try the names of room 2 and of one of its regulars.
                                          {"accounts.txt", "ann:pw:Ann:1\nbob:pw:Bob:1\ncy:pw:Cy:1\ndi:pw:Di:1\n"
                                                           "ed:pw:Ed:1\nslow:pw:Slow:1\nbobby:pw:bob:1\n"
                                                           "owl:pw:night OWLS:1\nmimic:pw:ozzie:1\n"}})
            WriteFile(root_.filePath(QLatin1String(name)), bytes);
        config_.webPort = config_.requestPort = config_.salesPort = config_.gamePort = 0;
        config_.chatPorts = {0, 0};
        config_.chatKeepAliveMs = 300;
        config_.chatGreetingMs = 700;
        config_.chatFloodLines = 1000;   // the flood test sets its own
        config_.chatFloodMs = 1000;
        config_.wwwDir = root_.filePath(QStringLiteral("www"));
        config_.accountsFile = root_.filePath(QStringLiteral("accounts.txt"));
        config_.game.tickMs = 100000000;   // the clock never fires; tests step it
        config_.game.waitSeconds = 1;
        config_.game.seed = 4;
        config_.game.ports.perAddress = 8;
        restart();
    }
    // A new hall on the same file and ports of its own.
    void restart()
    {
        hall_.reset();
        hall_ = std::make_unique<Hall>(config_);
        QString error;
        ASSERT_TRUE(hall_->start(&error)) << error.toStdString();
    }

    quint16 web() const { return hall_->webPort(); }
    quint16 req() const { return hall_->requestPort(); }
    // Signs a player in on the request port, from this machine's 127.0.0.1.
    void signIn(const QByteArray& user)
    {
        ASSERT_TRUE(Request(req(), Login(user, "pw")).startsWith("PQZ!LOGINOK")) << user.constData();
    }

    QTemporaryDir root_;
    HallConfig config_;
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
        {Login("demo", "wrong"), "PQZ!LOGINPW\r\n"},   // a wrong password is not remembered as right
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
// A member is the account that signed in on the game server from the same address, and goes
// by that account's alias whatever its greeting says.
TEST_F(HallTest, ChatRoomListsRelaysGreetsAndLetsGo)
{
    const quint16 port = hall_->chatPorts()[1];
    const QByteArray signInFirst = "S0Night Owls: Please sign in to the game with your player ID before you join";
    // Refused, in the room's voice and then with "SX": a player ID that has not signed in,
    // one that signed in from another address, a stranger, a greeting without a player ID.
    signIn("ann");
    for (const auto& [greeting, from] :
         {std::pair<QByteArray, const char*>{"GAnn%1bob%2", "127.0.0.1"}, {"GAnn%1ann%2", "127.0.0.2"},
          {"GAnn%1nobody%2", "127.0.0.1"}, {"GAnn%2", "127.0.0.1"}, {"GAnn%1%2", "127.0.0.1"}}) {
        QTcpSocket socket;
        ASSERT_TRUE(socket.bind(QHostAddress(QLatin1String(from))));
        QByteArray heard;
        QObject::connect(&socket, &QTcpSocket::readyRead, [&] { heard += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        ASSERT_TRUE(WaitFor([&] { return heard.startsWith("S1\r\n"); })) << greeting.constData();
        socket.write(greeting + "\r\n");
        EXPECT_TRUE(WaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; })) << from;
        EXPECT_TRUE(heard.startsWith("S1\r\n" + signInFirst)) << greeting.constData() << " from " << from;
        EXPECT_TRUE(heard.endsWith(".\r\nSX\r\n")) << heard.constData();
    }
    signIn("bob");
    Feed ann(port), bob(port);
    ann.keepAlive = "QAnn\r\n";
    bob.keepAlive = "QBob\r\n";
    ann.socket.write("G  Annie %1ann%2\r\nGBob%1bob%2\r\n");   // a second greeting changes nothing
    ASSERT_EQ(ann.waitFor("SLAnn"), "SLAnn");
    ASSERT_EQ(ann.lines.indexOf("SLAnn"), 4);   // after "S1" and the three regulars
    const QList<QByteArray> regulars = ann.lines.mid(1, 3);
    bob.socket.write("GAnn%1bob%2\r\n");   // the greeting's name is not the one shown
    EXPECT_EQ(ann.waitFor("SA"), "SABob");
    const QList<QByteArray> present = regulars + QList<QByteArray>{"SLAnn", "SLBob"};
    ASSERT_EQ(bob.waitFor("SLBob"), "SLBob");
    EXPECT_EQ(bob.lines.mid(0, 6), QList<QByteArray>{"S1"} + present);
    bob.socket.write("BAnn: I am Ann\r\nBBob: hi: all\r\nBhello\r\nL\r\n");
    for (Feed* feed : {&ann, &bob})
        EXPECT_EQ(feed->waitFor("S0Bob: hello"), "S0Bob: hello");
    for (const char* line : {"S0Bob: I am Ann", "S0Bob: hi: all"})
        EXPECT_TRUE(ann.lines.contains(line)) << line;
    ann.socket.write("BAnnie: as I called myself\r\n");   // the client's own prefix goes
    EXPECT_EQ(bob.waitFor("S0Ann: "), "S0Ann: as I called myself");
    EXPECT_TRUE(WaitFor([&] { return bob.lines.count("SLBob") == 2; }));
    EXPECT_EQ(bob.lines.mid(bob.lines.lastIndexOf("SLBob") - 4, 5), present);
    // No second member of a name, whatever its letter case, nor the room's or a regular's.
    for (const char* user : {"bob", "bobby", "owl", "mimic"}) {
        signIn(user);
        Feed again(port);
        again.socket.write("GBob%1" + QByteArray(user) + "%2\r\n");
        EXPECT_TRUE(again.waitFor("S0Night Owls: The name ").endsWith(" is already in this room.")) << user;
        EXPECT_EQ(again.waitFor("SX"), "SX") << user;
        EXPECT_TRUE(WaitFor([&] { return again.socket.state() == QAbstractSocket::UnconnectedState; })) << user;
    }
    EXPECT_FALSE(std::any_of(ann.lines.begin(), ann.lines.end(), [](const QByteArray& line) {
        return line.startsWith("SA") && line != "SABob";
    }));
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

    // Leaving by "R", by closing, by never ending a line (the keep-alive finds it silent).
    for (const auto& [alias, goodbye] : {std::pair<QByteArray, QByteArray>{"Cy", "RCy\r\n"}, {"Di", ""},
                                         {"Ed", QByteArray(5000, 'x')}}) {
        signIn(alias.toLower());
        Feed leaver(port);
        leaver.socket.write("G" + alias + "%1" + alias.toLower() + "%2\r\n");
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
    signIn("slow");
    slow.connectToHost(QHostAddress::LocalHost, port);
    slow.write("GSlow%1slow%2\r\n");
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

// A room against hostile links: links that never greet, more links from one address than
// its share, a flood of lines, lines longer than a client reads.
TEST_F(HallTest, ChatRoomCutsSilentLinksCrowdsFloodsAndLongLines)
{
    config_.chatFloodLines = 5;
    restart();
    const quint16 port = hall_->chatPorts()[0];
    // One address holds eight links; the ninth hears "SX" at once. Those that never greet
    // are closed at the deadline, and the address may come again.
    QElapsedTimer since;
    since.start();
    std::vector<std::unique_ptr<Feed>> silent;
    for (int i = 0; i < 8; ++i)
        silent.push_back(std::make_unique<Feed>(port));
    for (const auto& feed : silent)
        ASSERT_EQ(feed->waitFor("S1"), "S1");
    Feed crowd(port);
    EXPECT_EQ(crowd.waitFor("SX"), "SX");
    EXPECT_FALSE(crowd.lines.contains("S1"));
    EXPECT_TRUE(WaitFor([&] {
        return std::all_of(silent.begin(), silent.end(), [](const auto& feed) {
            return feed->socket.state() == QAbstractSocket::UnconnectedState;
        });
    }));
    EXPECT_GE(since.elapsed(), 650);
    EXPECT_FALSE(silent.front()->lines.contains("SX"));
    silent.clear();

    signIn("ann");
    signIn("bob");
    Feed ann(port), bob(port);
    ann.keepAlive = "QAnn\r\n";
    bob.keepAlive = "QBob\r\n";
    ann.socket.write("GAnn%1ann%2\r\n");
    bob.socket.write("GBob%1bob%2\r\n");
    ASSERT_EQ(ann.waitFor("SLAnn"), "SLAnn");
    ASSERT_EQ(bob.waitFor("SLBob"), "SLBob");
    const auto heardFromAnn = [&bob] {
        QList<QByteArray> heard;
        for (const QByteArray& line : bob.lines)
            if (line.startsWith("S0Ann: "))
                heard.append(line);
        return heard;
    };

    // A line of 2,024 bytes with its CR LF passes; one byte more, or thousands, and the line
    // is dropped while its sender stays and is heard again on the next line.
    const QByteArray fits = "BAnn: " + QByteArray(2016, 'a'), over = "BAnn: " + QByteArray(2017, 'b');
    ann.socket.write(fits + "\r\n" + over + "\r\n" + QByteArray(5000, 'c') + "\r\nBAnn: after the long ones\r\n");
    ASSERT_EQ(bob.waitFor("S0Ann: after"), "S0Ann: after the long ones");
    EXPECT_EQ(heardFromAnn(), (QList<QByteArray>{("S0Ann: " + QByteArray(2016, 'a')).left(2022),
                                                 "S0Ann: after the long ones"}));
    EXPECT_FALSE(bob.lines.contains("SRAnn"));

    // Five lines within the window are heard, the rest dropped; the sender alone hears so,
    // once; when the window has passed its lines are heard again.
    Spin(1100);
    QByteArray flood;
    for (int i = 1; i <= 8; ++i)
        flood += "BAnn: line " + QByteArray::number(i) + "\r\n";
    ann.socket.write(flood);
    const QByteArray notice = "S0Main Hall: Too many lines at once: yours are not passed on for a few seconds.";
    EXPECT_EQ(ann.waitFor("S0Main Hall: "), notice);
    EXPECT_EQ(bob.waitFor("S0Ann: line 5"), "S0Ann: line 5");
    Spin(300);
    EXPECT_EQ(heardFromAnn().size(), 2 + 5);
    EXPECT_EQ(ann.lines.count(notice), 1);
    EXPECT_FALSE(bob.lines.contains(notice));
    Spin(1000);
    ann.socket.write("BAnn: line 9\r\n");
    EXPECT_EQ(bob.waitFor("S0Ann: line 9"), "S0Ann: line 9");
    EXPECT_EQ(ann.lines.count(notice), 1);
}

// A hall stopped after a game and started again on its file plays the next game: its number,
// its pattern, none of the last game's cards, while the last game's result is still known.
TEST_F(HallTest, ARestartAfterAGamePlaysTheNextGameWithNewCards)
{
    hall_->game()->tick();   // the sales of 100001
    const QByteArray first = FieldValue('A', Request(req(), "PQZ!S1"));
    ASSERT_TRUE(Request(req(), Purchase("demo", "bingo", first, 4)).startsWith("PQZ!LOGINOK100001.00001.00001"));
    for (int second = 0; second < 120; ++second)
        hall_->game()->tick();
    const QByteArray result = Request(req(), "PQZ!GS100001##");
    ASSERT_TRUE(result.startsWith("PQZ!LOGINOK")) << result.constData();

    restart();
    EXPECT_EQ(Request(req(), "PQZ!GS100001##"), result);
    hall_->game()->tick();   // one second of waiting, then the sales
    Feed game(hall_->gamePort());
    EXPECT_EQ(game.waitFor("PQZ$0A"), "PQZ$0A%0$8100002%8$7B0O000003%7$225.00%2$30%3$4120%4");
    const QByteArray next = FieldValue('A', Request(req(), "PQZ!S1"));
    EXPECT_TRUE(Request(req(), Purchase("demo", "bingo", next, 1)).startsWith("PQZ!LOGINOK100002.00001.00001$0247.50%0"));
}

// A password the hall has not seen right this run costs an Argon2id check. A crowd of wrong
// ones is told the hall is busy once the checks have had their share of its time, while the
// players whose passwords it knows sign in as ever; a moment later the checks go on.
TEST_F(HallTest, WrongPasswordsCannotTakeTheHallsTime)
{
    int wrong = 0;
    QByteArray reply;
    for (; wrong < 400; ++wrong) {
        reply = Request(req(), Login("demo", "wrong" + QByteArray::number(wrong)));
        if (reply != "PQZ!LOGINPW")
            break;
    }
    const QByteArray busy = "PQZ!LOGINNOThe hall is busy. Please try again in a moment.";
    EXPECT_EQ(reply, busy);
    EXPECT_GE(wrong, 10);   // half a second of checks in hand
    EXPECT_TRUE(Request(req(), Login("demo", "bingo")).startsWith("PQZ!LOGINOK"));
    EXPECT_TRUE(Request(req(), Purchase("guest", "bingo", "1000", 1)).startsWith("PQZ!LOGINNOGame is being"));
    // A purchase's unknown password draws on the same share: it is soon busy too (a check or two
    // may pass first on the share refilled while the requests above were answered).
    bool purchaseBusy = false;
    for (int k = 0; k < 20 && !purchaseBusy; ++k)
        purchaseBusy = Request(req(), Purchase("guest", "nope" + QByteArray::number(k), "1000", 1)) == busy;
    EXPECT_TRUE(purchaseBusy);
    Spin(1500);
    EXPECT_EQ(Request(req(), Login("demo", "wrong")), "PQZ!LOGINPW");
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
        // No client takes a chat port of fewer than four digits.
        {{"--chat-port2", "999"}, QStringLiteral("chat port 999 of \"Night Owls\": players' clients refuse a chat "
                                                 "port below 1000")},
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

// A feed listener that fell behind and caught up is one like any other: it is not dropped
// later for having been behind once, however much it is sent afterwards.
TEST(HallPorts, AFeedListenerThatCaughtUpIsNotDroppedLater)
{
    GamePorts ports(
        PortLimits{}, [](const QByteArray&, const QByteArray&) { return QByteArray("PQZ!ERROR"); },
        [](GamePorts::Feed) { return QByteArray(); });
    QString error;
    ASSERT_TRUE(ports.listen(QHostAddress::LocalHost, 0, 0, 0, &error)) << error.toStdString();
    const auto listener = [&ports] {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const int smallest = 1;   // the system rounds it up to its least
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &smallest, sizeof smallest);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(ports.gamePort());
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
        EXPECT_TRUE(WaitFor([&ports] { return ports.listeners(GamePorts::Feed::Game) == 1; }));
        return fd;
    };
    const QByteArray line(1000, 'x');
    const auto send = [&ports, &line] {
        ports.broadcast(GamePorts::Feed::Game, line);
        QCoreApplication::processEvents();
    };
    // How many lines one that reads nothing takes before it is dropped: what the system
    // holds for it, and then what the hall holds.
    const int probe = listener();
    int capacity = 0;
    while (ports.listeners(GamePorts::Feed::Game) == 1 && capacity < 10000) {
        send();
        ++capacity;
    }
    ::close(probe);
    ASSERT_LT(capacity, 10000);

    // Another is sent eight lines short of that: the hall holds some of them for it.
    const int fd = listener();
    for (int i = 0; i < capacity - 8; ++i)
        send();
    ASSERT_EQ(ports.listeners(GamePorts::Feed::Game), 1);
    qint64 received = 0;
    const auto read = [fd, &received] {
        char buffer[65536];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0;)
            received += n;
    };
    qint64 expected = qint64(capacity - 8) * (line.size() + 2);
    EXPECT_TRUE(WaitFor([&] {
        read();
        return received == expected;
    }));
    // Caught up, it reads on for longer than a listener may be behind, and hears every line.
    QElapsedTimer reading;
    reading.start();
    while (reading.elapsed() < 6500) {
        for (int i = 0; i < 4; ++i)
            send();
        expected += 4 * (line.size() + 2);
        Spin(20);
        read();
    }
    EXPECT_TRUE(WaitFor([&] {
        read();
        return received == expected;
    }));
    EXPECT_EQ(ports.listeners(GamePorts::Feed::Game), 1);
    ::close(fd);
}

namespace {

// Every byte of the hall's file and its log.
QByteArray HallFiles(const QString& db)
{
    QByteArray bytes;
    for (const QString& path : {db, db + QStringLiteral("-wal")}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes += file.readAll();
    }
    return bytes;
}

}  // namespace

// The hall's file keeps no password as typed: a file an older hall wrote, passwords and the
// imported lines holding them, is converted at the start, balances kept. An account is then
// replaced only when the operator changed its line or its password.
TEST(HallProgram, KeepsNoPasswordAsTypedAndReplacesOnlyChangedAccounts)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("hall.db")), accounts = dir.filePath(QStringLiteral("accounts.txt"));
    {
        sqlite3* old = nullptr;
        ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &old), SQLITE_OK);
        const char* sql =
            "PRAGMA journal_mode=WAL;"
            "CREATE TABLE accounts(seat INTEGER PRIMARY KEY, user TEXT NOT NULL UNIQUE, password TEXT NOT NULL,"
            " alias TEXT NOT NULL, balance INTEGER NOT NULL, refusal TEXT NOT NULL, source TEXT NOT NULL);"
            "INSERT INTO accounts(user, password, alias, balance, refusal, source) VALUES"
            " ('zoe', 'zoe-old-secret', 'Zippy Zoe', 123, '', 'zoe:zoe-old-secret:Zippy Zoe:5.00:'),"
            " ('yan', 'yan-old-secret', 'Yan', 77, '', 'yan:yan-old-secret:Yan:2.00:');";
        ASSERT_EQ(sqlite3_exec(old, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(old);
        sqlite3_close(old);
    }
    ASSERT_TRUE(HallFiles(db).contains("zoe-old-secret"));
    const auto run = [&](const QByteArray& lines, const QList<std::pair<QByteArray, QByteArray>>& replies,
                         const QList<QByteArray>& absent) {
        WriteFile(accounts, lines);
        HallProcess hall({"--db", db, "--accounts", accounts});
        ASSERT_TRUE(hall.isReady()) << hall.error().toStdString();
        ExpectReplies(hall.requestPort(), replies);
        const QByteArray files = HallFiles(db);
        for (const QByteArray& password : absent)
            EXPECT_FALSE(files.contains(password)) << password.constData();
        EXPECT_EQ(hall.terminate(), 0);
    };
    const QByteArray zoe = "zoe:zoe-old-secret:Zippy Zoe:5.00\n";
    // The same lines as imported last: both accounts as play left them.
    run(zoe + "yan:yan-old-secret:Yan:2.00\n",
        {{Login("zoe", "zoe-old-secret"), "PQZ!LOGINOK$A%A$BZippy Zoe%B$01.23%0"},
         {Login("yan", "yan-old-secret"), "PQZ!LOGINOK$A%A$BYan%B$00.77%0"}, {Login("yan", "x"), "PQZ!LOGINPW\r\n"}},
        {"zoe-old-secret", "yan-old-secret"});
    // Again, and then with Yan's password changed: Yan starts afresh, Zoe is kept.
    run(zoe + "yan:yan-old-secret:Yan:2.00\n", {{Login("zoe", "zoe-old-secret"), "PQZ!LOGINOK$A%A$BZippy Zoe%B$01.23%0"}},
        {});
    run(zoe + "yan:yan-new-secret:Yan:2.00\n",
        {{Login("zoe", "zoe-old-secret"), "PQZ!LOGINOK$A%A$BZippy Zoe%B$01.23%0"},
         {Login("yan", "yan-old-secret"), "PQZ!LOGINPW\r\n"},
         {Login("yan", "yan-new-secret"), "PQZ!LOGINOK$A%A$BYan%B$02.00%0"}},
        {"zoe-old-secret", "yan-new-secret"});
    // An alias changed: Zoe starts afresh too.
    run("zoe:zoe-old-secret:Zoe Two:5.00\nyan:yan-new-secret:Yan:2.00\n",
        {{Login("zoe", "zoe-old-secret"), "PQZ!LOGINOK$A%A$BZoe Two%B$05.00%0"},
         {Login("yan", "yan-new-secret"), "PQZ!LOGINOK$A%A$BYan%B$02.00%0"}},
        {"zoe-old-secret", "yan-new-secret"});
}
