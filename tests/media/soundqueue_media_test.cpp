// The sound queue on the real media player: two queued voices finish with one notice
// each and the queue drains, a sound stopped early gives one notice, and bad files or a
// second sound are refused; once on whatever output the machine has (a fake sink when
// there is no sound server) and once through a private PulseAudio null sink.
#include "calls/soundqueue.h"
#include "components/media/mediawaveplayer.h"
#include "recordingscreen.h"
#include "scriptedpeer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SoundQueueMedia, VoicesAndAStoppedSoundGiveOneNoticeEach)
{
    MediaWavePlayer player;
    if (player.mode() == WavePlayer::Mode::NotReady)
        GTEST_SKIP() << "no media backend";
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    RecordingScreen screen;
    PlayerRecord& view = screen.player;
    SettingsStore settings(folder, &view);
    settings.setSoundOn(true);
    SoundQueue sounds(folder, settings, &player, &view);
    int notices = 0;
    QObject::connect(&player, &WavePlayer::notify, &player, [&] { ++notices; });
    // Refused files: nothing starts and no notice follows.
    QString error;
    EXPECT_FALSE(player.play(dir.filePath(QStringLiteral("absent.wav")), &error));
    EXPECT_FALSE(player.play(QStringLiteral(BINGO_SOURCE_DIR "/CMakeLists.txt"), &error) || error.isEmpty());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("sounds")));
    qint64 totalMs = 0;
    for (const QString& voice : {QStringLiteral("B12"), QStringLiteral("B12a")}) {
        const QString target = dir.filePath(QStringLiteral("sounds/") + voice + QStringLiteral(".wav"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(BINGO_SOURCE_DIR "/assets/program/sounds/") + voice + ".wav", target));
        WaveInfo info;
        ASSERT_TRUE(ReadWaveInfo(target, &info, nullptr));
        totalMs += info.durationMs;
        sounds.PlayVoice(voice);
    }
    EXPECT_EQ(sounds.queued(), 1);
    const QString b12 = dir.filePath(QStringLiteral("sounds/B12.wav"));
    EXPECT_FALSE(player.play(b12, &error));   // one at a time
    QElapsedTimer clock;
    clock.start();
    // Each sound ends within its length plus the sink's buffer and the watchdog slack.
    ASSERT_TRUE(WaitFor([&] { return notices == 2; }, int(totalMs) + 2 * MediaWavePlayer::kWatchdogSlackMs + 2000));
    Spin(300);
    EXPECT_GE(clock.elapsed(), totalMs / 2);   // the voices take about real time
    EXPECT_TRUE(notices == 2 && sounds.queued() == 0 && player.mode() == WavePlayer::Mode::Stopped);
    EXPECT_TRUE(view.errors.isEmpty()) << view.errors.join(QLatin1Char('|')).toStdString();

    // Stopped early, twice: its single notice follows soon.
    ASSERT_TRUE(player.play(b12, &error)) << error.toStdString();
    Spin(100);
    player.stop();
    player.stop();
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);
    ASSERT_TRUE(WaitFor([&] { return notices == 3; }, 2000));
    Spin(500);
    EXPECT_EQ(notices, 3);
}

// The same in a child run of this program whose sound goes to a null sink of a
// PulseAudio server of its own.
TEST(SoundQueueMedia, SameThroughAPulseAudioNullSink)
{
    const QString pulse = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (qEnvironmentVariableIsSet("VEXO_PULSE_CHILD") || pulse.isEmpty())
        GTEST_SKIP() << "a child run, or pulseaudio is not installed";
    QTemporaryDir runtime;   // made for the owner alone, as PulseAudio wants its runtime folder
    const QString socket = runtime.filePath(QStringLiteral("pulse/native"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [key, value] : {std::pair{"XDG_RUNTIME_DIR", runtime.path()}, {"HOME", runtime.path()},
                                      {"PULSE_SERVER", "unix:" + socket}, {"VEXO_PULSE_CHILD", QStringLiteral("1")}})
        env.insert(QLatin1String(key), value);
    QProcess server, child;
    for (QProcess* p : {&server, &child}) {
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
    }
    const auto stop = [](QProcess& p) {   // SIGTERM, then SIGKILL, to a process this test started
        p.terminate();
        if (!p.waitForFinished(5000))
            p.kill();
    };
    server.start(pulse, QStringLiteral("--exit-idle-time=-1|--disallow-exit|-n|--load=module-native-protocol-unix|"
                                       "--load=module-null-sink sink_name=nullsink|--load=module-always-sink")
                            .split('|'));
    if (!server.waitForStarted(5000) || !WaitFor([&] { return QFileInfo::exists(socket); }, 5000)) {
        stop(server);
        GTEST_SKIP() << "the PulseAudio null sink did not start: " << server.readAll().toStdString();
    }
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SoundQueueMedia.VoicesAndAStoppedSoundGiveOneNoticeEach")});
    const bool finished = child.waitForFinished(60000);
    const std::string output = child.readAll().toStdString();
    stop(child);
    stop(server);
    ASSERT_TRUE(finished) << output;
    EXPECT_TRUE(child.exitCode() == 0 && output.find("[  PASSED  ] 1 test") != std::string::npos) << output;
}
