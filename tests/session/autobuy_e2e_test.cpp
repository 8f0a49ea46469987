// Auto-buy against the demo hall over real sockets at a fast clock: four games bought for, one
// card each, with the request lines the hall received; none in the fifth, which the client
// leaves when its sales close.
#include "coretestbed.h"
#include "testhall.h"
#include "hall.h"
#include "limits/playlimits.h"
#include "scriptedpeer.h"
#include "session/playevents.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kTickMs = 10;   // real milliseconds per game second, on both sides

// Passes the request port's connections through to the hall, noting each line either way.
class Tap : public QObject {
public:
    explicit Tap(quint16 hallPort) : hallPort_(hallPort)
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection()) {
                auto* hall = new QTcpSocket(client);
                hall->connectToHost(QHostAddress::LocalHost, hallPort_);
                const auto pass = [this](QTcpSocket* from, QTcpSocket* to, QList<QByteArray>* lines) {
                    auto buffer = std::make_shared<QByteArray>();
                    connect(from, &QTcpSocket::readyRead, this, [from, to, lines, buffer] {
                        const QByteArray bytes = from->readAll();
                        to->write(bytes);
                        *buffer += bytes;
                        for (qsizetype end; (end = buffer->indexOf("\r\n")) >= 0; buffer->remove(0, end + 2))
                            lines->append(buffer->left(end));
                    });
                };
                pass(client, hall, &sent);
                pass(hall, client, &answered);
                connect(hall, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
                connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    QList<QByteArray> sent, answered;   // by the client, by the hall

private:
    quint16 hallPort_;
    QTcpServer server_;
};

struct Games : PlayListener {
    int started = 0;
    int left = 0;
    void gameStarted(const QString&, int) override { ++started; }
    void leftGame() override { ++left; }
};

TEST(HallAutoBuy, FourGamesAreBoughtForOneCardEachAndTheFifthIsLeft)
{
    QTemporaryDir www;
    Hall hall(FastHallConfig(www, kTickMs, 70, 11));
    QString error;
    ASSERT_TRUE(hall.start(&error)) << error.toStdString();
    Tap tap(hall.requestPort());
    CoreTestbed bed(kTickMs, tap.port(), hall.gamePort(), hall.salesPort());
    bed.clock.running = true;
    RememberDemoPlayer(bed, hall);
    bed.create();
    GameCore& core = bed.c();
    core.shop().setRandom([](int lo, int) { return lo; });
    Games games;
    core.events().listen(&games);
    const GameRound& round = core.round();
    core.ConnecttoGame1Click();
    ASSERT_TRUE(WaitFor([&] { return round.phase() == Phase::SalesOpen && round.announced() && !core.links().busy(); },
                        20000));
    core.shop().chooseFaces(2);
    ASSERT_TRUE(WaitFor([&] { return !core.links().busy() && core.rack().currentFaces() == 2; }));
    ASSERT_TRUE(core.shop().StartAutoBuy(4));

    // Four games with a card, then the fifth's sales close without one and the client leaves.
    ASSERT_TRUE(WaitFor([&] { return games.left == 1; }, 120000)) << games.started;
    EXPECT_EQ(games.started, 4);
    EXPECT_FALSE(core.shop().autoBuying());
    core.events().forget(&games);

    // Each purchase names the card the hall offered just before it, two faces, the player's alias.
    QList<QByteArray> purchases, offered;
    for (const QByteArray& line : tap.sent)
        if (line.startsWith("PQZ!B7"))
            purchases << line;
    for (const QByteArray& line : tap.answered)
        if (line.startsWith("PQZ!CARDRG1$A") && !line.contains("$C"))   // a card, not the ten of a sign-in
            offered << line.mid(13, line.indexOf('%') - 13);
    ASSERT_EQ(purchases.size(), 4);
    ASSERT_EQ(offered.size(), 4);
    QSet<QByteArray> gamesBought;
    for (int k = 0; k < 4; ++k) {
        const QByteArray& p = purchases[k];
        EXPECT_TRUE(p.contains("#!AT" + offered[k] + "#!SK") && p.contains("#!NC2#!LA")) << p.constData();
    }
    for (const QByteArray& line : tap.answered)
        if (line.startsWith("PQZ!LOGINOK") && line.size() > 17 && line.at(17) == '.')
            gamesBought << line.mid(11, 6);
    EXPECT_EQ(gamesBought.size(), 4);
    EXPECT_TRUE(bed.screen.status.history.contains("Auto-buy finished: 4 games bought."));
}

}   // namespace
