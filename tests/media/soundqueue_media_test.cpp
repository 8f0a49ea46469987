// The sound queue on the real media player: two queued voices finish in order with
// one notice each, once on whatever output the machine has (a fake sink when there is
// no sound server) and once through a private PulseAudio null sink.
#include "components/media/mediawaveplayer.h"
#include "coretestbed.h"
#include "scriptedpeer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMediaPlayer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const char* const kVoices[] = {"B12", "B12a"};

QString assetSound(const char* voice)
{
    return QStringLiteral(BINGO_SOURCE_DIR "/assets/program/sounds/") + QLatin1String(voice) + QStringLiteral(".wav");
}

}   // namespace

TEST(SoundQueueMedia, TwoQueuedVoicesFinishInOrderWithOneNoticeEach)
{
    CoreTestbed bed;
    MediaWavePlayer player;
    if (player.mode() == WavePlayer::Mode::NotReady)
        GTEST_SKIP() << "no media backend";
    GameCore core(bed.c().Config, &bed.view, &bed.clock, &player);
    core.Settings.SoundOn = QStringLiteral("TRUE");

    qint64 totalMs = 0;
    for (const char* voice : kVoices) {
        const QString target = bed.filePath(QStringLiteral("sounds/") + QLatin1String(voice) + QStringLiteral(".wav"));
        QDir().mkpath(QFileInfo(target).path());
        ASSERT_TRUE(QFile::copy(assetSound(voice), target)) << voice;
        WaveInfo info;
        ASSERT_TRUE(ReadWaveInfo(target, &info, nullptr));
        totalMs += info.durationMs;
    }

    int notices = 0;
    QObject::connect(&player, &WavePlayer::notify, &player, [&] { ++notices; });

    core.PlayVoice(QLatin1String(kVoices[0]));
    // The media back end exists from the first sound on.
    auto* media = player.findChild<QMediaPlayer*>();
    ASSERT_NE(media, nullptr);
    QStringList started{media->source().fileName()};
    QObject::connect(media, &QMediaPlayer::sourceChanged, media,
                     [&](const QUrl& url) { started << url.fileName(); });
    core.PlayVoice(QLatin1String(kVoices[1]));
    EXPECT_EQ(core.SoundQueue.size(), 1);
    // Each sound ends within its length plus the sink's buffer and the watchdog slack.
    ASSERT_TRUE(WaitFor([&] { return notices == 2; }, int(totalMs) + 2 * MediaWavePlayer::kWatchdogSlackMs + 2000));
    Spin(300);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(started, QStringList({"B12.wav", "B12a.wav"}));
    EXPECT_TRUE(core.SoundQueue.isEmpty());
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);
    EXPECT_TRUE(bed.view.errors.isEmpty()) << bed.view.errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(core.Settings.SoundOn, QStringLiteral("TRUE"));
}

// The same test in a child run of this program whose sound goes to a null sink of a
// PulseAudio server of its own.
TEST(SoundQueueMedia, SameThroughAPulseAudioNullSink)
{
    if (qEnvironmentVariableIsSet("VEXO_PULSE_CHILD"))
        GTEST_SKIP() << "child run";
    const QString pulse = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (pulse.isEmpty())
        GTEST_SKIP() << "pulseaudio is not installed";
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("HOME"), runtime.path());

    QProcess server;
    server.setProcessEnvironment(env);
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(pulse, {QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"), QStringLiteral("-n"),
                         QStringLiteral("--load=module-native-protocol-unix"),
                         QStringLiteral("--load=module-null-sink sink_name=nullsink"),
                         QStringLiteral("--load=module-always-sink")});
    const QString socket = runtime.filePath(QStringLiteral("pulse/native"));
    if (!server.waitForStarted(5000) || !WaitFor([&] { return QFileInfo::exists(socket); }, 5000)) {
        server.kill();
        server.waitForFinished(3000);
        GTEST_SKIP() << "the PulseAudio null sink did not start: " << server.readAll().toStdString();
    }

    QProcess child;
    env.insert(QStringLiteral("VEXO_PULSE_CHILD"), QStringLiteral("1"));
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + socket);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SoundQueueMedia.TwoQueuedVoicesFinishInOrderWithOneNoticeEach")});
    const bool finished = child.waitForFinished(60000);
    const QByteArray output = child.readAll();
    if (!finished) {
        child.kill();
        child.waitForFinished(3000);
    }
    server.terminate();   // SIGTERM to the server we started
    if (!server.waitForFinished(5000)) {
        server.kill();
        server.waitForFinished(3000);
    }
    ASSERT_TRUE(finished) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}
