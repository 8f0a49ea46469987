// Plays one game against a running hall with the headless core and a player that
// writes one line per sound it is handed: the game time in milliseconds, the file's
// length in milliseconds and its path. Each sound "plays" for its real length in game
// time, so the queue chains exactly as it would with a real player.
//
// listen-driver --web HOST:PORT --request N --sales N --game N --app APPDIR
//               [--folder DIR] [--ms-per-second 20] [--out log.txt] [--timeout-s 120]
#include "game/coreparts.h"
#include "game/gamecore.h"
#include "views/nullviews.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QtEndian>
#include <cstdio>

namespace {

// Length of a PCM wave file from its header; 0 when it cannot be read.
qint64 WaveLengthMs(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return 0;
    qint64 byteRate = 0;
    for (int chunks = 0; chunks < 64; ++chunks) {
        const QByteArray ch = f.read(8);
        if (ch.size() < 8)
            return 0;
        const qint64 size = qFromLittleEndian<quint32>(ch.constData() + 4);
        if (ch.startsWith("fmt ")) {
            const QByteArray fmt = f.read(size + (size & 1));
            if (fmt.size() < 16)
                return 0;
            byteRate = qFromLittleEndian<quint32>(fmt.constData() + 8);
        } else if (ch.startsWith("data")) {
            return byteRate > 0 ? size * 1000 / byteRate : 0;
        } else if (!f.seek(f.pos() + size + (size & 1))) {
            return 0;
        }
    }
    return 0;
}

class LoggingPlayer : public WavePlayer {
public:
    LoggingPlayer(const GameClock& clock, QTextStream& out) : clock_(clock), out_(out)
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            playing_ = false;
            emit notify();
        });
    }
    Mode mode() const override { return playing_ ? Mode::Playing : Mode::Stopped; }
    bool play(const QString& path, QString* error) override
    {
        const qint64 length = WaveLengthMs(path);
        if (length <= 0) {
            if (error)
                *error = QStringLiteral("Not a wave file: ") + path;
            return false;
        }
        out_ << clock_.now() << ' ' << length << ' ' << path << '\n';
        out_.flush();
        ++count;
        playing_ = true;
        timer_.start(clock_.realMs(int(length)));
        return true;
    }
    void stop() override
    {
        if (!playing_)
            return;
        timer_.stop();
        playing_ = false;
        emit notify();
    }
    int count = 0;

private:
    const GameClock& clock_;
    QTextStream& out_;
    QTimer timer_;
    bool playing_ = false;
};

}   // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    for (const char* name : {"web", "request", "sales", "game", "app", "folder", "ms-per-second", "out", "timeout-s"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    parser.process(app);
    const int msPerSecond = parser.isSet(QStringLiteral("ms-per-second")) ? parser.value(QStringLiteral("ms-per-second")).toInt() : 20;
    const int timeoutS = parser.isSet(QStringLiteral("timeout-s")) ? parser.value(QStringLiteral("timeout-s")).toInt() : 120;

    QFile logFile;
    if (parser.isSet(QStringLiteral("out"))) {
        logFile.setFileName(parser.value(QStringLiteral("out")));
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "listen-driver: cannot write %s\n", qPrintable(logFile.fileName()));
            return 2;
        }
    } else {
        logFile.open(stdout, QIODevice::WriteOnly);
    }
    QTextStream out(&logFile);

    // A program folder of our own with the client's sounds and language file.
    // --folder keeps it (the logged paths point into it); otherwise a temporary one.
    QTemporaryDir temporary;
    const QDir folder(parser.isSet(QStringLiteral("folder")) ? parser.value(QStringLiteral("folder")) : temporary.path());
    QDir().mkpath(folder.path());
    const QDir appDir(parser.value(QStringLiteral("app")));
    QDir().mkpath(folder.filePath(QStringLiteral("sounds")));
    const QDir sounds(appDir.filePath(QStringLiteral("sounds")));
    for (const QString& name : sounds.entryList(QDir::Files))
        QFile::copy(sounds.filePath(name), folder.filePath(QStringLiteral("sounds/") + name));
    for (const QString& name : appDir.entryList(QDir::Files))
        QFile::copy(appDir.filePath(name), folder.filePath(name));

    CoreConfig config;
    config.folder = folder.path();
    config.languageFolder = appDir.path();
    config.defaultWebHost = parser.value(QStringLiteral("web"));
    config.downloadSite = config.defaultWebHost;
    config.ports.request = quint16(parser.value(QStringLiteral("request")).toUInt());
    config.ports.salesFeed = quint16(parser.value(QStringLiteral("sales")).toUInt());
    config.ports.gameFeed = quint16(parser.value(QStringLiteral("game")).toUInt());

    struct MessagePlayer : nullviews::NullPlayer {
        QStringList messages;
        void message(const QString& text) override { messages << text; }
    } messages;
    NullViews nullViews;
    Views views = nullViews.views();
    views.player = &messages;
    GameClock clock(msPerSecond);
    LoggingPlayer player(clock, out);
    GameCore core(config, views, &clock, &player);
    QFile settings(folder.filePath(QStringLiteral("defaults.cfg")));
    settings.open(QIODevice::WriteOnly | QIODevice::Truncate);
    settings.write("UN:#WS:#AL:#DM:FALSE#SO:TRUE#V0:#V1:#V2:0#V3:#V4:0#V5:#V6:FALSE#V7:#V8:#V9:#\r\n");
    settings.close();
    core.FormCreate();
    core.signIn().LoginButton1Click(QStringLiteral("demo"), QStringLiteral("bingo"), config.defaultWebHost, false);

    // Buys one card as soon as card sales allow it; ends once the game is over and the
    // last sound has played.
    bool sawGame = false;
    int buyTries = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (core.round().running())
            sawGame = true;
        if (!sawGame && !core.rack().bought() && core.round().selectionOpen() && !core.links().busy() && buyTries < 20) {
            ++buyTries;
            if (core.rack().card(core.rack().currentCard()).Loaded)
                core.shop().Button3Click();
            else
                core.shop().chooseFaces(1);
        }
        if (sawGame && !core.round().running() && player.mode() == WavePlayer::Mode::Stopped)
            app.exit(0);
    });
    poll.start(qMax(5, msPerSecond / 2));
    QTimer::singleShot(timeoutS * 1000, &app, [&] { app.exit(3); });
    const int rc = app.exec();
    std::fprintf(stderr, "listen-driver: %d sounds, game %s, cards entered %d, end %s\n", player.count,
                 qPrintable(core.round().gameNumber()), core.rack().bought() ? 1 : 0,
                 rc == 0 ? "after the game" : "by time-out");
    for (const QString& e : messages.messages)
        std::fprintf(stderr, "  message: %s\n", qPrintable(e));
    return rc;
}
