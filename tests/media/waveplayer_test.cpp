// The wave players: header checks, the null player's notice, the sound library loaded at the
// first sound, and the runtime folder the sound libraries are given. The media player is tested
// under the sound queue (soundqueue_media_test).
#include "components/media/loadedwaveplayer.h"
#include "components/media/mediawaveplayer.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace {

// 16-bit mono PCM silence of the given length at 8000 samples a second.
QByteArray makeWave(int ms)
{
    const quint32 bytes = quint32(16 * ms);
    // The chunks' tags and sizes, and the format: PCM, mono, samples and bytes a second, 16 bits.
    const std::pair<const char*, quint32> fields[] = {{"RIFF", 36 + bytes}, {"WAVEfmt ", 16}, {"", 1 | (1 << 16)},
                                                      {"", 8000}, {"", 16000}, {"", 2 | (16 << 16)}, {"data", bytes}};
    QByteArray w;
    for (const auto& [tag, value] : fields) {
        const quint32 le = qToLittleEndian(value);
        w.append(tag).append(reinterpret_cast<const char*>(&le), 4);
    }
    return w.append(QByteArray(int(bytes), '\0'));
}

struct WavePlayerTest : ::testing::Test {
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
    // An extra chunk before the data, and a data size that claims more than the file holds.
    QByteArray odd = makeWave(1000);
    odd.insert(36, QByteArray("LIST\x03\x00\x00\x00" "abc\x00", 12));
    qToLittleEndian<quint32>(0xfffffff0u, odd.data() + 48 + 4);
    const std::tuple<const char*, QByteArray, qint64> cases[] = {   // the length, -1 for no wave file
        {"a.wav", makeWave(500), 500}, {"odd.wav", odd, 1000}, {"text.wav", "just some text, not a sound at all", -1},
        {"short.wav", makeWave(100).left(20), -1}, {"noformat.wav", makeWave(100).replace(12, 4, "junk"), -1},
        {"empty.wav", "", -1}, {"missing.wav", {}, -1}};
    for (const auto& [name, bytes, ms] : cases) {
        WaveInfo info;
        QString error;
        const bool ok = ReadWaveInfo(bytes.isNull() ? dir.filePath(name) : file(name, bytes), &info, &error);
        EXPECT_EQ(ok ? info.durationMs : -1, ms) << name;
        EXPECT_EQ(error.isEmpty(), ok) << name;
        EXPECT_TRUE(!ok || (info.channels == 1 && info.sampleRate == 8000)) << name;
    }
}

TEST_F(WavePlayerTest, NullPlayerFinishesOnTheNextTurn)
{
    NullWavePlayer player;
    QSignalSpy notices(&player, &WavePlayer::notify);
    EXPECT_FALSE(player.play(dir.filePath("absent.wav"), nullptr));
    ASSERT_TRUE(player.play(file("a.wav", makeWave(1000)), nullptr));
    EXPECT_TRUE(player.mode() == WavePlayer::Mode::Playing && notices.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.count() == 1; }, 1000));
    QTest::qWait(50);
    EXPECT_TRUE(notices.count() == 1 && player.mode() == WavePlayer::Mode::Stopped);
}

// The sound library is loaded at the first sound, not before, and plays it with one notice; where
// it is missing, every sound is refused with the reason and nothing else happens.
TEST_F(WavePlayerTest, TheSoundLibraryIsLoadedAtTheFirstSoundAndItsAbsenceIsSaid)
{
    const QString wave = file("a.wav", makeWave(200));
    {
        LoadedWavePlayer player(QStringLiteral(BINGO_APP_DIR "/lib"));
        QSignalSpy notices(&player, &WavePlayer::notify);
        EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);
        QString error;
        const bool played = player.play(wave, &error);
        // Without a sound backend on this machine the library loads and its player refuses.
        EXPECT_FALSE(error.contains(QLatin1String(LoadedWavePlayer::kModule))) << error.toStdString();
        if (played) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return notices.count() == 1; }, 5000 + MediaWavePlayer::kWatchdogSlackMs));
        }
        EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);
    }
    LoadedWavePlayer player(dir.path());
    QSignalSpy notices(&player, &WavePlayer::notify);
    for (int attempt = 0; attempt < 2; ++attempt) {
        QString error;
        EXPECT_FALSE(player.play(wave, &error));
        EXPECT_TRUE(error.startsWith(QLatin1String("The sound library cannot be loaded"))
                    && error.contains(QLatin1String(LoadedWavePlayer::kModule))) << error.toStdString();
        EXPECT_EQ(player.mode(), WavePlayer::Mode::Stopped);
    }
    player.stop();
    QTest::qWait(20);
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(WavePlayerTest, WithoutARuntimeFolderTheFixedOneIsUsedOnlyWhenOursAndClosedToOthers)
{
    const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    // A temporary folder of this test's own, so that nothing another user left in /tmp counts.
    QTemporaryDir tmp;
    const QByteArray tmpBefore = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    const QByteArray fixed = QFile::encodeName(QDir::tempPath()) + "/vexobingo-runtime-" + QByteArray::number(getuid());
    ASSERT_TRUE(fixed.startsWith(QFile::encodeName(tmp.path())));
    for (const int mode : {0777, -1, 0700}) {   // -1: a link to a folder of ours
        std::filesystem::remove(fixed.constData());
        ASSERT_TRUE(mode < 0 ? symlink(QFile::encodeName(dir.path()), fixed) == 0
                             : mkdir(fixed, 0) == 0 && chmod(fixed, mode) == 0);
        qunsetenv("XDG_RUNTIME_DIR");
        EnsureRuntimeFolder();
        const QByteArray chosen = qgetenv("XDG_RUNTIME_DIR");
        struct stat info {};
        EXPECT_TRUE(lstat(chosen, &info) == 0 && info.st_mode == (S_IFDIR | 0700) && info.st_uid == getuid()) << mode;
        EXPECT_EQ(chosen == fixed, mode == 0700) << mode;
        std::filesystem::remove(chosen.constData());
    }
    before.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", before);
    tmpBefore.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpBefore);
}

}   // namespace
