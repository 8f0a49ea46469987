// bingo-hall: the demo bingo operator on loopback. Prints one ready line with the ports
// it listens on and runs until SIGINT or SIGTERM.
#include "hall.h"
#include "hallwire.h"
#include "webservice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QVariant>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <sys/resource.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool InstallSignalPipe()
{
    if (::pipe(signalPipe) != 0)
        return false;
    for (int fd : signalPipe)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

// Every player holds a descriptor or two: take all the system allows this process.
rlim_t RaiseOpenFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            return raised.rlim_cur;
    }
    return limit.rlim_cur;
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "bingo-hall: %s\n", qPrintable(message));
    return 2;
}

bool ReadInt(const QCommandLineParser& parser, const QString& name, int low, int high, int& out, QString& error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high) {
        error = QStringLiteral("--%1 expects a whole number from %2 to %3").arg(name).arg(low).arg(high);
        return false;
    }
    out = value;
    return true;
}

bool ReadPort(const QCommandLineParser& parser, const QString& name, quint16& out, QString& error)
{
    int value = out;
    if (!ReadInt(parser, name, 0, 65535, value, error))
        return false;
    out = quint16(value);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bingo-hall"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.66"));   // the client's version

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Demo bingo hall: web service, game server and chat rooms."));
    parser.addHelpOption();
    parser.addVersionOption();
    const auto add = [&parser](const char* name, const char* help, const char* valueName) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                            QString::fromLatin1(valueName)));
    };
    add("address", "Address to listen on (default 127.0.0.1).", "address");
    add("web-port", "Web service port (default 48080, 0 = any free port).", "port");
    add("request-port", "Request port (default 41000).", "port");
    add("sales-port", "Sales feed port (default 49990).", "port");
    add("game-port", "Game feed port (default 46000).", "port");
    // Rooms 1 to 3 are always open; a port option for a later room opens the rooms up to it.
    const int defaultRooms = int(HallConfig().chatPorts.size());
    for (int i = 0; i < int(std::size(kRoomNames)); ++i) {
        const QString help = i == 0 ? QStringLiteral("Port of the chat room \"%1\" (default %2; 0 = any free port, "
                                                     "and then any free port for every room whose port is not given).")
            : i < defaultRooms      ? QStringLiteral("Port of the chat room \"%1\" (default %2).")
                                    : QStringLiteral("Opens the chat room \"%1\" and those before it (default %2).");
        parser.addOption(QCommandLineOption(QStringLiteral("chat-port%1").arg(i + 1),
                                            help.arg(QLatin1String(kRoomNames[i])).arg(47001 + i),
                                            QStringLiteral("port")));
    }
    add("tick-ms", "Milliseconds per game second (default 1000).", "ms");
    add("sales-seconds", "Length of the sales period in game seconds (default 120).", "seconds");
    add("wait-seconds", "Waiting before the first sales period (default 10).", "seconds");
    add("spacing", "The client's call spacing in seconds (default 9).", "seconds");
    add("seed", "Seed of the draws and cards (default: random).", "number");
    add("accounts", "Extra accounts, lines user:password:alias:balance[:refusal].", "file");
    add("www", "Folder of the web files (default: www beside the program).", "folder");
    add("max-cards", "Cards per player and game (default 6).", "count");
    add("price", "Price of one card face (default 0.50).", "amount");
    add("game-number-start", "Number of the first game (default 100001).", "number");
    add("db", "The hall's own file of accounts, balances, cards and results (default: hall.db beside the www "
              "folder, or in the user's data folder when that one cannot be written).", "file");
    add("max-per-address", "Open request connections one address may hold (default 16, 0 = no limit).", "count");
    const QCommandLineOption exemptLoopback(
        QStringLiteral("exempt-loopback"),
        QStringLiteral("Do not limit connections from this machine's own addresses (load tests, where every "
                       "player is 127.0.0.1)."));
    parser.addOption(exemptLoopback);
    const QCommandLineOption forceUpdate(QStringLiteral("force-update"),
                                         QStringLiteral("Tell every player to update the program before playing."));
    parser.addOption(forceUpdate);
    parser.process(app);

    HallConfig config;
    QString error;
    if (parser.isSet(QStringLiteral("address")) && !config.address.setAddress(parser.value(QStringLiteral("address"))))
        return Fail(QStringLiteral("--address expects a numeric address"));
    GameConfig& game = config.game;
    if (!ReadPort(parser, QStringLiteral("web-port"), config.webPort, error)
        || !ReadPort(parser, QStringLiteral("request-port"), config.requestPort, error)
        || !ReadPort(parser, QStringLiteral("sales-port"), config.salesPort, error)
        || !ReadPort(parser, QStringLiteral("game-port"), config.gamePort, error)
        || !ReadInt(parser, QStringLiteral("tick-ms"), 1, 60000, game.tickMs, error)
        || !ReadInt(parser, QStringLiteral("sales-seconds"), 6, 86400, game.salesSeconds, error)
        || !ReadInt(parser, QStringLiteral("wait-seconds"), 0, 86400, game.waitSeconds, error)
        || !ReadInt(parser, QStringLiteral("spacing"), 1, 600, game.spacing, error)
        || !ReadInt(parser, QStringLiteral("max-cards"), 1, 1000, game.maxCards, error)
        || !ReadInt(parser, QStringLiteral("game-number-start"), 1, 999000, game.gameNumberStart, error)
        || !ReadInt(parser, QStringLiteral("max-per-address"), 0, 1000000, game.ports.perAddress, error))
        return Fail(error);
    int rooms = defaultRooms;
    for (int i = 0; i < int(std::size(kRoomNames)); ++i)
        if (parser.isSet(QStringLiteral("chat-port%1").arg(i + 1)))
            rooms = std::max(rooms, i + 1);
    // Port 0 for the first room asks for free ports everywhere, so that halls started side by
    // side (the tests) never meet on a default port of a room they did not name.
    QList<quint16> chatPorts;
    for (int i = 0; i < rooms; ++i) {
        quint16 port = i > 0 && chatPorts.first() == 0 ? 0 : quint16(47001 + i);
        if (!ReadPort(parser, QStringLiteral("chat-port%1").arg(i + 1), port, error))
            return Fail(error);
        chatPorts.append(port);
    }
    config.chatPorts = chatPorts;
    if (parser.isSet(QStringLiteral("price"))) {
        const auto price = hallwire::ParseMoney(parser.value(QStringLiteral("price")).toLatin1());
        if (!price || *price > 100000000)
            return Fail(QStringLiteral("--price expects an amount like 0.50"));
        game.priceCents = *price;
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        bool ok = false;
        game.seed = parser.value(QStringLiteral("seed")).toULongLong(&ok);
        if (!ok)
            return Fail(QStringLiteral("--seed expects a whole number"));
    } else {
        game.seed = QRandomGenerator::global()->generate64();
    }
    config.accountsFile = parser.value(QStringLiteral("accounts"));
    config.wwwDir = parser.value(QStringLiteral("www"));
    config.dbPath = parser.value(QStringLiteral("db"));
    game.ports.exemptLoopback = parser.isSet(exemptLoopback);
    config.forceUpdate = parser.isSet(forceUpdate);

    if (!InstallSignalPipe())
        return Fail(QStringLiteral("cannot install the signal handlers"));
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) > 0) {
        }
        QCoreApplication::quit();
    });

    const rlim_t openFiles = RaiseOpenFileLimit();
    Hall hall(config);
    if (!hall.start(&error))
        return Fail(error);
    std::printf("%s\n", qPrintable(hall.readyLine()));
    std::fflush(stdout);
    std::fprintf(stderr, "bingo-hall: up to %llu open files; accounts and games in %s\n",
                 static_cast<unsigned long long>(openFiles), qPrintable(hall.dbPath()));
    const int status = app.exec();
    // What the ports had to turn away, for whoever watches a busy hall.
    const GamePorts::Counts counts = hall.game()->ports()->counts();
    std::fprintf(stderr,
                 "bingo-hall: %lld busy refusals, %lld request connections silent past their deadline, "
                 "%lld feed listeners dropped, %d pauses out of descriptors; longest fan-out %.1f ms to %d listeners\n",
                 counts.busyRefusals, counts.lateRequests, counts.droppedListeners, counts.acceptPauses,
                 double(counts.longestFanOutUs) / 1000, counts.longestFanOutListeners);
    return status;
}
