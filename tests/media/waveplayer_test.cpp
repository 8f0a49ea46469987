// The wave players: header checks and exactly one completion notice per sound.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include "components/media/mediawaveplayer.h"

namespace {

// 16-bit mono PCM silence of the given length.
QByteArray makeWave(int ms, int rate = 8000)
{
    const quint32 dataBytes = quint32(rate / 1000 * ms * 2);
    QByteArray w(44, '\0');
    char* d = w.data();
    memcpy(d, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataBytes, d + 4);
    memcpy(d + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, d + 16);
    qToLittleEndian<quint16>(1, d + 20);               // PCM
    qToLittleEndian<quint16>(1, d + 22);               // mono
    qToLittleEndian<quint32>(quint32(rate), d + 24);
    qToLittleEndian<quint32>(quint32(rate * 2), d + 28);
    qToLittleEndian<quint16>(2, d + 32);
    qToLittleEndian<quint16>(16, d + 34);
    memcpy(d + 36, "data", 4);
    qToLittleEndian<quint32>(dataBytes, d + 40);
    w.append(QByteArray(int(dataBytes), '\0'));
    return w;
}

class WavePlayerTest : public ::testing::Test {
protected:
    QString file(const char* name, const QByteArray& content)
    {
        const QString p = dir.filePath(QString::fromLatin1(name));
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return p;
    }
    QTemporaryDir dir;
};

TEST_F(WavePlayerTest, WaveHeaderCheck)
{
    WaveInfo info;
    QString error;
    ASSERT_TRUE(ReadWaveInfo(file("a.wav", makeWave(500)), &info, &error)) << error.toStdString();
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 8000);
    EXPECT_EQ(info.durationMs, 500);

    // An extra chunk before the data, and a data size that claims more than the file holds.
    QByteArray odd = makeWave(1000);
    odd.insert(36, QByteArray("LIST\x03\x00\x00\x00" "abc\x00", 12));
    qToLittleEndian<quint32>(0xfffffff0u, odd.data() + 48 + 4);
    ASSERT_TRUE(ReadWaveInfo(file("odd.wav", odd), &info, &error)) << error.toStdString();
    EXPECT_EQ(info.durationMs, 1000);

    QByteArray noFormat = makeWave(100);
    noFormat.replace(12, 4, "junk");
    for (const auto& [name, bytes] : std::initializer_list<std::pair<const char*, QByteArray>>{
             {"text.wav", QByteArray("just some text, not a sound at all")},
             {"short.wav", makeWave(100).left(20)},
             {"noformat.wav", noFormat},
             {"empty.wav", QByteArray()}}) {
        error.clear();
        EXPECT_FALSE(ReadWaveInfo(file(name, bytes), &info, &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
    EXPECT_FALSE(ReadWaveInfo(dir.filePath("missing.wav"), &info, &error));
}

TEST_F(WavePlayerTest, MediaPlayerGivesOneNoticePerSound)
{
    MediaWavePlayer player;
    if (player.mode() == WavePlayer::Mode::NotReady)
        GTEST_SKIP() << "no multimedia backend on this machine";
    const QString first = file("first.wav", makeWave(300));
    const QString second = file("second.wav", makeWave(200));

    // Refused files: nothing starts and no notice follows.
    QSignalSpy notices(&player, &WavePlayer::notify);
    QString error;
    EXPECT_FALSE(player.play(file("fake.wav", "MZ not a wave"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(player.play(dir.filePath("absent.wav"), &error));
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);

    // Two sounds chained from the notice, as the sound queue does.
    QList<WavePlayer::Mode> modeAtNotice;
    int started = 1;
    QObject::connect(&player, &WavePlayer::notify, &player, [&] {
        modeAtNotice << player.mode();
        if (started == 1) {
            ++started;
            QString e;
            EXPECT_TRUE(player.play(second, &e)) << e.toStdString();
        }
    });
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(player.play(first, &error)) << error.toStdString();
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Playing);
    EXPECT_FALSE(player.play(second, &error));  // one at a time
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.count() >= 2; }, 12000));
    QTest::qWait(500);
    EXPECT_EQ(notices.count(), 2);
    EXPECT_EQ(modeAtNotice, (QList<WavePlayer::Mode>{WavePlayer::Mode::Stopped, WavePlayer::Mode::Stopped}));
    EXPECT_GE(clock.elapsed(), 400);  // the sounds take about real time

    // Stopping a long sound: its single notice follows soon.
    const QString longer = file("long.wav", makeWave(5000));
    notices.clear();
    ASSERT_TRUE(player.play(longer, &error)) << error.toStdString();
    QTest::qWait(100);
    player.stop();
    player.stop();
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.count() >= 1; }, 2000));
    QTest::qWait(500);
    EXPECT_EQ(notices.count(), 1);
}

TEST_F(WavePlayerTest, NullPlayerFinishesOnTheNextTurn)
{
    NullWavePlayer player;
    QSignalSpy notices(&player, &WavePlayer::notify);
    QString error;
    EXPECT_FALSE(player.play(dir.filePath("absent.wav"), &error));
    ASSERT_TRUE(player.play(file("a.wav", makeWave(1000)), &error));
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Playing);
    EXPECT_EQ(notices.count(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.count() == 1; }, 1000));
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);
    QTest::qWait(50);
    EXPECT_EQ(notices.count(), 1);
}

}  // namespace
