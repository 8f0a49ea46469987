// Delay from the end of the ball animation (FinishBallAnimation) to the media player
// reporting that the ball's voice is playing (QMediaPlayer in PlayingState, or its
// position past 0), over several calls; prints every figure and the median.
// Runs the real GameCore and MediaWavePlayer on the voices of assets/program/sounds.
#include "components/media/mediawaveplayer.h"
#include "game/coreparts.h"
#include "game/gamecore.h"
#include "views/nullviews.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCalls = 10;
const int kBalls[kCalls] = {3, 12, 17, 29, 33, 41, 50, 58, 64, 75};

const char* Letter(int n) { return n <= 15 ? "B" : n <= 30 ? "I" : n <= 45 ? "N" : n <= 60 ? "G" : "O"; }

// Turns the event loop until done() or the time passes.
bool Wait(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

}   // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir folder;
    QDir().mkpath(folder.filePath(QStringLiteral("sounds")));
    // The voices: the folder given as the first argument, or the checked-in ones.
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../assets/program/sounds"));
    for (int n : kBalls)
        for (const char* suffix : {"", "a"}) {
            const QString name = QLatin1String(Letter(n)) + QString::number(n) + QLatin1String(suffix) + QStringLiteral(".wav");
            if (!QFile::copy(source + QLatin1Char('/') + name, folder.filePath(QStringLiteral("sounds/") + name))) {
                std::fprintf(stderr, "voice_bench: missing %s in %s\n", qPrintable(name), qPrintable(source));
                return 1;
            }
        }

    NullViews views;
    GameClock clock;
    MediaWavePlayer player;
    if (player.mode() == WavePlayer::Mode::NotReady) {
        std::fprintf(stderr, "voice_bench: no media backend\n");
        return 1;
    }
    CoreConfig config;
    config.folder = folder.path();
    config.defaultWebHost = QStringLiteral("127.0.0.1:1");
    config.ports = LinkPorts{1, 1, 1};
    QFile settings(folder.filePath(QStringLiteral("defaults.cfg")));
    settings.open(QIODevice::WriteOnly);
    settings.write("UN:#WS:#AL:#DM:FALSE#SO:TRUE#V0:#V1:#V2:0#V3:#V4:0#V5:#V6:FALSE#V7:#V8:#V9:#\r\n");
    settings.close();
    GameCore core(config, views.views(), &clock, &player);
    core.FormCreate();
    // A game whose draw calls the benchmark's balls in turn.
    QByteArray draw;
    for (int n : kBalls)
        draw += char(n + 50);
    core.ServerLineReceived(Link::GameFeed, "PQZ$0B%0$8000000%8$A" + draw + "%A$7A01000001%7$575%5$676%6");
    // The media player is made with the first sound: its signals are joined then.
    QElapsedTimer since;
    qint64 startedNs = -1;
    QMediaPlayer* media = nullptr;
    const auto watch = [&] {
        if (media || !(media = player.findChild<QMediaPlayer*>()))
            return;
        QObject::connect(media, &QMediaPlayer::playbackStateChanged, media, [&](QMediaPlayer::PlaybackState s) {
            if (s == QMediaPlayer::PlayingState && startedNs < 0)
                startedNs = since.nsecsElapsed();
        });
        QObject::connect(media, &QMediaPlayer::positionChanged, media, [&](qint64 position) {
            if (position > 0 && startedNs < 0)
                startedNs = since.nsecsElapsed();
        });
    };

    std::vector<double> delays;
    for (int n : kBalls) {
        // Let the previous call's voices play out.
        Wait([&] { return player.mode() == WavePlayer::Mode::Stopped; }, 15000);
        Wait([] { return false; }, 100);
        for (int tick = 0; tick < 12 && !core.board().ballRolling(); ++tick)
            core.Timer1Timer();
        if (!core.board().ballRolling())
            continue;
        startedNs = -1;
        since.start();
        core.FinishBallAnimation();
        watch();
        if (!Wait([&] { return startedNs >= 0; }, 5000)) {
            std::printf("ball %2d: no playing state within 5 s\n", n);
            continue;
        }
        delays.push_back(double(startedNs) / 1e6);
        std::printf("ball %s%-2d  %7.2f ms\n", Letter(n), n, delays.back());
    }
    Wait([&] { return player.mode() == WavePlayer::Mode::Stopped; }, 15000);
    if (delays.empty())
        return 1;
    std::sort(delays.begin(), delays.end());
    const double median = delays.size() % 2 ? delays[delays.size() / 2]
                                             : (delays[delays.size() / 2 - 1] + delays[delays.size() / 2]) / 2;
    std::printf("voice start after the ball animation: median %.2f ms, best %.2f ms, worst %.2f ms over %zu calls (goal < 50 ms)\n",
                median, delays.front(), delays.back(), delays.size());
    return 0;
}
