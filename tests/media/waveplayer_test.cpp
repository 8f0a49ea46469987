// The wave players: header checks and exactly one completion notice per sound.
#include "components/media/mediawaveplayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

#include <tuple>

namespace {

// 16-bit mono PCM silence of the given length at 8000 samples a second.
QByteArray makeWave(int ms)
{
    const quint32 dataBytes = quint32(8 * ms * 2);
    QByteArray w("RIFF....WAVEfmt ", 16);
    const quint32 fields[] = {16, 1 | (1 << 16), 8000, 16000, 2 | (16 << 16)};   // PCM, mono, 16 bits
    for (quint32 f : fields) {
        w.append(4, '\0');
        qToLittleEndian<quint32>(f, w.data() + w.size() - 4);
    }
    w.append("data....", 8).append(QByteArray(int(dataBytes), '\0'));
    qToLittleEndian<quint32>(36 + dataBytes, w.data() + 4);
    qToLittleEndian<quint32>(dataBytes, w.data() + 40);
    return w;
}

class WavePlayerTest : public ::testing::Test {
protected:
    QString file(const char* name, const QByteArray& content)
    {
        const QString p = dir.filePath(QString::fromLatin1(name));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        return p;
    }
    QTemporaryDir dir;
};

TEST_F(WavePlayerTest, WaveHeadersAreCheckedAndOnlyWaveFilesAccepted)
{
    WaveInfo info;
    QString error;
    ASSERT_TRUE(ReadWaveInfo(file("a.wav", makeWave(500)), &info, &error)) << error.toStdString();
    EXPECT_EQ(std::make_tuple(info.channels, info.sampleRate, info.durationMs), std::make_tuple(1, 8000, qint64(500)));

    // An extra chunk before the data, and a data size that claims more than the file holds.
    QByteArray odd = makeWave(1000);
    odd.insert(36, QByteArray("LIST\x03\x00\x00\x00" "abc\x00", 12));
    qToLittleEndian<quint32>(0xfffffff0u, odd.data() + 48 + 4);
    ASSERT_TRUE(ReadWaveInfo(file("odd.wav", odd), &info, &error)) << error.toStdString();
    EXPECT_EQ(info.durationMs, 1000);

    const QByteArray noFormat = makeWave(100).replace(12, 4, "junk");
    const std::pair<const char*, QByteArray> bad[] = {
        {"text.wav", "just some text, not a sound at all"}, {"short.wav", makeWave(100).left(20)},
        {"noformat.wav", noFormat}, {"empty.wav", ""}, {"missing.wav", {}}};
    for (const auto& [name, bytes] : bad) {
        error.clear();
        EXPECT_FALSE(ReadWaveInfo(bytes.isNull() ? dir.filePath(name) : file(name, bytes), &info, &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
}

TEST_F(WavePlayerTest, MediaPlayerGivesOneNoticePerSoundHoweverItEnds)
{
    MediaWavePlayer player;
    if (player.mode() == WavePlayer::Mode::NotReady)
        GTEST_SKIP() << "no multimedia backend on this machine";
    const QString first = file("first.wav", makeWave(300));
    const QString second = file("second.wav", makeWave(200));
    QSignalSpy notices(&player, &WavePlayer::notify);
    QString error;
    // Refused files: nothing starts and no notice follows.
    EXPECT_FALSE(player.play(file("fake.wav", "MZ not a wave"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(player.play(dir.filePath("absent.wav"), &error));
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);

    // Two sounds chained from the notice, as the sound queue does.
    QList<WavePlayer::Mode> modeAtNotice;
    QObject::connect(&player, &WavePlayer::notify, &player, [&] {
        modeAtNotice << player.mode();
        EXPECT_TRUE(modeAtNotice.size() > 1 || player.play(second, nullptr));
    });
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(player.play(first, &error)) << error.toStdString();
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Playing);
    EXPECT_FALSE(player.play(second, &error));   // one at a time
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.count() >= 2; }, 12000));
    QTest::qWait(500);
    EXPECT_EQ(modeAtNotice, QList<WavePlayer::Mode>(2, WavePlayer::Mode::Stopped));
    EXPECT_GE(clock.elapsed(), 400);   // the sounds take about real time

    // Stopped early, twice: its single notice follows soon.
    notices.clear();
    ASSERT_TRUE(player.play(file("long.wav", makeWave(5000)), &error)) << error.toStdString();
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
    EXPECT_FALSE(player.play(dir.filePath("absent.wav"), nullptr));
    ASSERT_TRUE(player.play(file("a.wav", makeWave(1000)), nullptr));
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Playing);
    EXPECT_EQ(notices.count(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.count() == 1; }, 1000));
    EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);
    QTest::qWait(50);
    EXPECT_EQ(notices.count(), 1);
}

}   // namespace
