// Desktop notices of the player's games, as a notification service of the test's own hears them
// on a private session bus: what is said for each kind, nothing while the main window is active
// or for a kind switched off, and a game that goes on without waiting where no bus or no service
// answers. The machine's own session bus is never used.
#include "components/notify/desktopnotices.h"
#include "coretestbed.h"
#include "notify/notifier.h"
#include "scriptedpeer.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/prctl.h>
#include <vector>

namespace {
// A bus daemon of the test's own, on a socket in a temporary folder, with no services to start
// (the desktop's own notification daemon could otherwise be started on it).
struct PrivateBus {
    QTemporaryDir dir;
    QProcess daemon;
    QString address;

    PrivateBus()
    {
        QFile config(dir.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>session</type><listen>unix:dir="
                     + dir.path().toHtmlEscaped().toUtf8()
                     + "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                       "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                       "<allow own=\"*\"/></policy></busconfig>\n");
        config.close();
        // The daemon ends with the test even when the test crashes.
        daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--print-address"),
                      QStringLiteral("--nofork")});
        QElapsedTimer waited;
        waited.start();
        while (!daemon.canReadLine() && waited.elapsed() < 5000 && daemon.state() != QProcess::NotRunning)
            daemon.waitForReadyRead(100);
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        daemon.terminate();
        if (!daemon.waitForFinished(3000))
            daemon.kill();
        daemon.waitForFinished(1000);
    }
};

// The notification service: records every Notify; a silent one never answers.
class FakeNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString app, icon, summary, body;
        uint replaces = 0;
        QVariantMap hints;
        int timeout = 0;
    };
    QList<Call> calls;
    bool silent = false;
    QStringList said() const
    {
        QStringList lines;
        for (const Call& c : calls)
            lines << c.summary + QStringLiteral(" / ") + c.body;
        return lines;
    }

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary, const QString& body,
                const QStringList& /*actions*/, const QVariantMap& hints, int timeout)
    {
        calls.append({app, icon, summary, body, replaces, hints, timeout});
        if (silent)
            setDelayedReply(true);
        return replaces ? replaces : uint(calls.size());
    }
};

struct FakeFocus : WindowFocus {
    bool active = false;
    bool mainWindowActive() const override { return active; }
};

const char kService[] = "org.freedesktop.Notifications";

class Notices : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus.address.startsWith(QLatin1String("unix:"))) << "no dbus-daemon"; }
    void TearDown() override
    {
        notifier.reset();
        notices.reset();
        if (served) {
            service.unregisterService(QLatin1String(kService));
            QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications"));
        }
    }
    // The fake service takes the name on the private bus.
    void serve()
    {
        service = QDBusConnection::connectToBus(bus.address, QStringLiteral("fake-notifications"));
        ASSERT_TRUE(service.isConnected());
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QLatin1String(kService)));
        served = true;
    }
    // The notifier on the bus at `address`, listening to the core of `bed`.
    void listen(CoreTestbed& on, const QString& address, int replyMs = DesktopNotices::kReplyMs)
    {
        notifier.reset();
        notices = std::make_unique<DesktopNotices>(address, [this](const QString& line) { log << line; }, replyMs);
        notifier = std::make_unique<Notifier>(on.c().events(), *notices, focus,
                                              dir.filePath(QLatin1String(Notifier::kFileName)));
    }
    // Game 100001 with one card, won on the sixth call: one to go after 49, 70 changes nothing.
    static void playAWinningGame(CoreTestbed& on)
    {
        on.signIn();
        on.openSales(100);
        on.tick(10);
        on.buyCard(1);
        on.tick(60);
        on.startGame(CoreTestbed::codes({4, 19, 34, 49, 70, 64, 5}), 6, 7);
        on.step(7);
        on.line(Link::GameFeed, "PQZ$0D%0");
        on.line(Link::Request, "PQZ!LOGINOK$125.00%1$2Lucky,Ann%2$3Well done%3");
    }
    // Game 100001 whose sales close with no card of the player's.
    static void missTheSales(CoreTestbed& on)
    {
        on.signIn();
        on.openSales(100);
        on.tick(120);
    }
    // Waits until the service heard n notices (up to ms), and a little more for any beyond.
    bool heard(int n, int ms = 5000)
    {
        const bool arrived = WaitFor([&] { return fake.calls.size() >= n; }, ms);
        WaitFor([] { return false; }, 200);
        return arrived;
    }

    PrivateBus bus;
    QTemporaryDir dir;
    FakeNotifications fake;
    QDBusConnection service{QString()};
    bool served = false;
    FakeFocus focus;
    QStringList log;
    CoreTestbed bed;
    std::vector<std::unique_ptr<CoreTestbed>> beds;   // more games, each with a core of its own
    CoreTestbed& another()
    {
        beds.push_back(std::make_unique<CoreTestbed>());
        beds.back()->create();
        return *beds.back();
    }
    std::unique_ptr<DesktopNotices> notices;
    std::unique_ptr<Notifier> notifier;
};
}   // namespace

// Away from the window the player hears of the start with the player's card, one to go (once,
// though the card stays at one to go for another call), the win with its prize, a mention
// (its markup shown as written), and sales that close with no card; each kind replaces its own.
TEST_F(Notices, EachKindIsToldWhileThePlayerLooksElsewhere)
{
    serve();
    bed.create();
    listen(bed, bus.address);
    playAWinningGame(bed);
    bed.c().events().tell([](PlayListener& l) { l.mentioned(QStringLiteral("Ann                   well done <b>Lucky</b> & co")); });
    bed.c().events().tell([](PlayListener& l) { l.mentioned(QStringLiteral("Bo  hi lucky")); });
    ASSERT_TRUE(heard(5));
    const QStringList expected{
        "The game has started / Game 100001: you play 1 card.",
        "One to go / Card 1 needs one more number.",
        "Bingo! Your card won / Card 1 won game 100001. Prize: $25.00",
        "You were mentioned in the chat room / Ann well done &lt;b&gt;Lucky&lt;/b&gt; &amp; co",
        "You were mentioned in the chat room / Bo hi lucky",
    };
    EXPECT_EQ(fake.said().join('\n').toStdString(), expected.join('\n').toStdString());
    const FakeNotifications::Call& first = fake.calls[0];
    EXPECT_EQ(first.app, "Vexo Bingo");
    EXPECT_EQ(first.hints.value(QStringLiteral("desktop-entry")).toString(), "org.vexobingo.VexoBingo");
    EXPECT_EQ(first.timeout, -1);
    QList<uint> replaces;
    for (const auto& call : fake.calls)
        replaces << call.replaces;
    EXPECT_EQ(replaces, QList<uint>({0, 0, 0, 0, 4}));   // the second mention takes the first's place
    EXPECT_TRUE(log.isEmpty()) << log.join('|').toStdString();

    // The hall's winners asked for again, and a game watched from its start with no card of the
    // player's, tell nothing; the mention after them shows they are through.
    bed.line(Link::Request, "PQZ!LOGINOK$125.00%1$2Lucky,Ann%2$3Well done%3");
    CoreTestbed& watching = another();
    listen(watching, bus.address);
    watching.signIn();
    watching.startGame(CoreTestbed::codes({4, 19, 34, 49, 70, 64, 5}), 6, 7);
    watching.step(7);
    watching.c().events().tell([](PlayListener& l) { l.mentioned(QStringLiteral("Cy  Lucky")); });
    ASSERT_TRUE(heard(6));
    EXPECT_EQ(fake.said().mid(5), QStringList{"You were mentioned in the chat room / Cy Lucky"});

    // Sales that close on a player with no card, told when 30 seconds are left; none when a card
    // is in (above).
    CoreTestbed& missed = another();
    listen(missed, bus.address);
    struct Countdown : PlayListener {
        int left = -1;
        void salesSecond(int secondsLeft, bool) override { left = secondsLeft; }
    } countdown;
    missed.c().events().listen(&countdown);
    missed.signIn();
    missed.openSales(100);
    for (int t = 0; t < 200 && countdown.left != 31; ++t)
        missed.tick();
    missed.c().events().forget(&countdown);
    EXPECT_FALSE(heard(7, 300));
    missed.tick();
    ASSERT_TRUE(heard(7));
    EXPECT_EQ(fake.said().mid(6), QStringList{"Sales close in 30 seconds / You have no card for the next game."});
}

// Nothing while the main window is active; nothing of a kind switched off, a choice kept in the
// player's folder for the next run. The last notice of each case shows that the earlier ones
// were not merely late: the bus keeps a sender's calls in order.
TEST_F(Notices, NoneWhileTheWindowIsActiveNorOfAKindSwitchedOff)
{
    serve();
    bed.create();
    listen(bed, bus.address);
    focus.active = true;
    playAWinningGame(bed);
    bed.c().events().tell([](PlayListener& l) { l.mentioned(QStringLiteral("Ann  Lucky?")); });
    focus.active = false;
    bed.c().events().tell([](PlayListener& l) { l.mentioned(QStringLiteral("Ann  Lucky!")); });
    ASSERT_TRUE(heard(1));
    EXPECT_EQ(fake.said(), QStringList{"You were mentioned in the chat room / Ann Lucky!"});

    EXPECT_TRUE(notifier->setEnabled(NoticeKind::OneToGo, false));
    EXPECT_TRUE(notifier->setEnabled(NoticeKind::Won, false));
    EXPECT_TRUE(notifier->setEnabled(NoticeKind::Mentioned, false));
    EXPECT_TRUE(notifier->setEnabled(NoticeKind::Mentioned, true));
    EXPECT_TRUE(notifier->setEnabled(NoticeKind::SalesClosing, false));
    QFile kept(dir.filePath(QLatin1String(Notifier::kFileName)));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll().split('\n').mid(1).join('|'),
              "sales-closing=off|game-started=on|one-to-go=off|won=off|mentioned=on|");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{Notifier::kFileName});

    CoreTestbed& next = another();
    listen(next, bus.address);   // reads the switches again
    playAWinningGame(next);
    next.c().events().tell([](PlayListener& l) { l.mentioned(QStringLiteral("Ann  Lucky!!")); });
    ASSERT_TRUE(heard(3));
    EXPECT_EQ(fake.said().mid(1).join('\n').toStdString(),
              "The game has started / Game 100001: you play 1 card.\n"
              "You were mentioned in the chat room / Ann Lucky!!");
    CoreTestbed& missed = another();
    listen(missed, bus.address);
    missTheSales(missed);
    missed.c().events().tell([](PlayListener& l) { l.mentioned(QStringLiteral("Ann  bye")); });
    ASSERT_TRUE(heard(4));
    EXPECT_EQ(fake.said().mid(3), QStringList{"You were mentioned in the chat room / Ann bye"});
}

// No bus, a bus without the service, a service that never answers: the game is played through
// at once (no notice waits for an answer) and the diagnostic log says so once.
TEST_F(Notices, WithoutAServiceTheGameGoesOnAndOneLineIsLogged)
{
    const QString noBus = QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("no-such-bus"));
    for (const QString& address : {noBus, bus.address}) {
        SCOPED_TRACE(address.toStdString());
        log.clear();
        CoreTestbed& game = another();
        listen(game, address);
        QElapsedTimer took;
        took.start();
        playAWinningGame(game);
        game.c().events().tell([](PlayListener& l) { l.mentioned(QStringLiteral("Ann  Lucky")); });
        EXPECT_LT(took.elapsed(), 2000);
        EXPECT_TRUE(WaitFor([&] { return notices->waiting() == 0; }));
        EXPECT_EQ(log.size(), 1) << log.join('|').toStdString();
        EXPECT_EQ(game.screen.winners.last.payout, "25.00");   // the game was played to its winners
    }
    EXPECT_TRUE(log[0].contains(QLatin1String("ServiceUnknown"))) << log[0].toStdString();

    serve();
    fake.silent = true;
    log.clear();
    CoreTestbed& game = another();
    listen(game, bus.address, 300);
    QElapsedTimer took;
    took.start();
    playAWinningGame(game);
    EXPECT_LT(took.elapsed(), 300);
    ASSERT_TRUE(WaitFor([&] { return fake.calls.size() == 3; }));
    EXPECT_TRUE(log.isEmpty());
    ASSERT_TRUE(WaitFor([&] { return notices->waiting() == 0; }));
    EXPECT_EQ(log.size(), 1) << log.join('|').toStdString();
}

#include "notify_test.moc"
