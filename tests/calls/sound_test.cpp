// The sound queue and the play operations, against the recording player.
#include "coretestbed.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QByteArray kWave = QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16);

struct SoundBed : CoreTestbed {
    SoundBed()
    {
        c().Settings.SoundOn = QStringLiteral("TRUE");
        c().Settings.WebHost = QStringLiteral("127.0.0.1:1");
    }
    void sound(const QString& file) { writeFile(QStringLiteral("sounds/") + file, kWave); }
    QString soundPath(const QString& file) const { return QDir(dir.path()).filePath(QStringLiteral("sounds/") + file); }
    QStringList played() const
    {
        QStringList names;
        for (const QString& p : player.played)
            names << QFileInfo(p).fileName();
        return names;
    }
    QByteArray settingsLine() const { return readFile(QStringLiteral("defaults.cfg")); }
};

}   // namespace

TEST(SoundQueue, PlaysAtOnceThenQueuesAndChainsOnEachNotice)
{
    SoundBed b;
    for (const char* f : {"B12.wav", "B12a.wav", "starting.wav"})
        b.sound(QString::fromLatin1(f));
    b.c().PlayVoice(QStringLiteral("B12"));
    b.c().PlayVoice(QStringLiteral("B12a"));
    b.c().PlayFile(QStringLiteral("starting.wav"));
    EXPECT_EQ(b.played(), QStringList({"B12.wav"}));
    ASSERT_EQ(b.c().SoundQueue.size(), 2);
    EXPECT_EQ(b.c().SoundQueue.first(), b.soundPath(QStringLiteral("B12a.wav")));

    b.player.finish();
    EXPECT_EQ(b.played(), QStringList({"B12.wav", "B12a.wav"}));
    EXPECT_EQ(b.c().SoundQueue.size(), 1);
    b.player.finish();
    b.player.finish();
    EXPECT_EQ(b.played(), QStringList({"B12.wav", "B12a.wav", "starting.wav"}));
    EXPECT_TRUE(b.c().SoundQueue.isEmpty());
    EXPECT_FALSE(b.player.playing);
    EXPECT_EQ(b.view.beeps, 0);
}

TEST(SoundQueue, NoticeWhileStillPlayingStopsThePlayerThenContinues)
{
    SoundBed b;
    b.sound(QStringLiteral("B1.wav"));
    b.sound(QStringLiteral("B1a.wav"));
    b.c().PlayVoice(QStringLiteral("B1"));
    b.c().PlayVoice(QStringLiteral("B1a"));
    // A notice that arrives while the player still reports playing.
    emit b.player.notify();
    EXPECT_EQ(b.played(), QStringList({"B1.wav", "B1a.wav"}));
    EXPECT_TRUE(b.c().SoundQueue.isEmpty());
}

TEST(SoundQueue, EntryShorterThanTwoCharactersHaltsTheChainAndStays)
{
    SoundBed b;
    b.sound(QStringLiteral("B1.wav"));
    b.sound(QStringLiteral("B2.wav"));
    b.c().PlayVoice(QStringLiteral("B1"));
    b.c().SoundQueue << QStringLiteral("x");
    b.c().PlayVoice(QStringLiteral("B2"));
    b.player.finish();
    EXPECT_EQ(b.played(), QStringList({"B1.wav"}));
    EXPECT_EQ(b.c().SoundQueue.size(), 2);
    EXPECT_EQ(b.c().SoundQueue.first(), QStringLiteral("x"));
}

TEST(SoundQueue, MissingFilesAreSkippedSilentlyExceptPlayIfPresentBeeps)
{
    SoundBed b;
    b.c().PlayVoice(QStringLiteral("B5"));
    b.c().PlayFile(QStringLiteral("click.wav"));
    EXPECT_TRUE(b.player.played.isEmpty());
    EXPECT_TRUE(b.c().SoundQueue.isEmpty());
    EXPECT_EQ(b.view.beeps, 0);
    b.c().PlayIfPresent(QStringLiteral("saleson.wav"));
    EXPECT_EQ(b.view.beeps, 1);
    EXPECT_TRUE(b.player.played.isEmpty());
}

TEST(SoundQueue, MutedVoicesPlayTheSilentFileAndFilesNothing)
{
    SoundBed b;
    for (const char* f : {"null.wav", "B12.wav", "starting.wav", "Bingo.wav"})
        b.sound(QString::fromLatin1(f));
    b.c().SoundMuted = true;
    b.c().PlayVoice(QStringLiteral("B12"));
    b.c().PlayVoice(QStringLiteral("welcome"));   // missing, but muted it is "null"
    b.c().PlayFile(QStringLiteral("starting.wav"));
    b.c().PlayIfPresent(QStringLiteral("starting.wav"));
    b.c().PlayBingoShout();
    EXPECT_EQ(b.played(), QStringList({"null.wav"}));
    EXPECT_EQ(b.c().SoundQueue, QStringList({b.soundPath(QStringLiteral("null.wav"))}));
    EXPECT_EQ(b.view.beeps, 0);
}

TEST(SoundQueue, SoundOffOpensQueuesAndBeepsForNothingButItsOwnBeep)
{
    SoundBed b;
    for (const char* f : {"B12.wav", "B12a.wav", "Bingo.wav"})
        b.sound(QString::fromLatin1(f));
    b.c().PlayVoice(QStringLiteral("B12"));
    b.c().PlayVoice(QStringLiteral("B12a"));
    b.c().TurnSoundOff();
    EXPECT_EQ(b.view.beeps, 1);
    EXPECT_EQ(b.c().CallSpacing, 10);
    EXPECT_TRUE(b.settingsLine().contains("#SO:FALSE#"));

    b.c().PlayVoice(QStringLiteral("B12"));
    b.c().PlayFile(QStringLiteral("Bingo.wav"));
    b.c().PlayIfPresent(QStringLiteral("missing.wav"));
    b.c().PlayBingoShout();
    EXPECT_EQ(b.view.beeps, 1);
    EXPECT_EQ(b.c().SoundQueue.size(), 1);   // only what was queued before
    // The sound playing is not stopped and the queued one still follows.
    b.player.finish();
    EXPECT_EQ(b.played(), QStringList({"B12.wav", "B12a.wav"}));
}

TEST(SoundQueue, NamesMatchFilesWithoutRegardToLetterCase)
{
    SoundBed b;
    b.sound(QStringLiteral("welcome.wav"));
    b.sound(QStringLiteral("bingo.wav"));   // an announcer set's spelling
    b.c().PlayVoice(QStringLiteral("Welcome"));
    b.c().PlayBingoShout();                 // "Bingo.wav"
    b.player.finish();
    EXPECT_EQ(b.played(), QStringList({"welcome.wav", "bingo.wav"}));
    EXPECT_EQ(b.view.beeps, 0);
}

TEST(SoundQueue, FunBingoShoutsRotateAndTheIndexIsSaved)
{
    SoundBed b;
    for (const char* f : {"bset31.wav", "bset32.wav", "bset33.wav", "Bingo.wav"})
        b.sound(QString::fromLatin1(f));
    b.c().Settings.FunBingoSet = QStringLiteral("bset3");
    b.c().Settings.FunBingoCount = 3;
    b.c().Settings.FunBingoIndex = 3;
    b.c().PlayBingoShout();
    EXPECT_EQ(b.played(), QStringList({"bset31.wav"}));
    EXPECT_EQ(b.c().Settings.FunBingoIndex, 1);
    EXPECT_TRUE(b.settingsLine().contains("#V2:1#"));
    b.player.finish();
    b.c().PlayBingoShout();
    EXPECT_EQ(b.played().last(), QStringLiteral("bset32.wav"));
    b.player.finish();

    // Index 0 means no set is chosen, whatever the prefix says.
    b.c().Settings.FunBingoIndex = 0;
    b.c().PlayBingoShout();
    EXPECT_EQ(b.played().last(), QStringLiteral("Bingo.wav"));
    EXPECT_EQ(b.c().Settings.FunBingoIndex, 0);

    // A shout of the set that is not installed yet beeps.
    b.player.finish();
    b.c().Settings.FunBingoSet = QStringLiteral("bset9");
    b.c().Settings.FunBingoIndex = 1;
    b.c().PlayBingoShout();
    EXPECT_EQ(b.view.beeps, 1);
}

TEST(SoundQueue, PlayerFailureShowsTheErrorAndTurnsSoundOff)
{
    SoundBed b;
    b.sound(QStringLiteral("B12.wav"));
    b.player.failNext = true;
    b.c().PlayVoice(QStringLiteral("B12"));
    ASSERT_EQ(b.view.errors.size(), 1);
    EXPECT_EQ(b.view.errors.first(), QStringLiteral("ErrorCode: 0\ndevice busy"));
    EXPECT_EQ(b.c().Settings.SoundOn, QStringLiteral("FALSE"));
    EXPECT_EQ(b.c().CallSpacing, 10);
    EXPECT_TRUE(b.settingsLine().contains("#SO:FALSE#"));
    EXPECT_TRUE(b.c().SoundQueue.isEmpty());
    EXPECT_EQ(b.view.beeps, 0);
}

TEST(SoundQueue, TurnSoundOnUnmutesSavesAndWelcomes)
{
    SoundBed b;
    b.sound(QStringLiteral("welcome.wav"));
    b.c().Settings.SoundOn = QStringLiteral("FALSE");
    b.c().SoundMuted = true;
    b.c().CallSpacing = 10;
    b.c().TurnSoundOn();
    EXPECT_FALSE(b.c().SoundMuted);
    EXPECT_EQ(b.c().CallSpacing, 9);
    EXPECT_TRUE(b.settingsLine().contains("#SO:TRUE#"));
    EXPECT_EQ(b.played(), QStringList({"welcome.wav"}));
}

TEST(SoundQueue, EachCallIsVoicedFromTheCallerSetsTwoFiles)
{
    SoundBed b;
    b.sound(QStringLiteral("cs3O61.wav"));
    b.sound(QStringLiteral("cs3O61a.wav"));
    b.c().Settings.CallerSet = QStringLiteral("cs3");
    ASSERT_TRUE(b.c().StartBallAnimation(61));
    b.c().FinishBallAnimation();
    b.player.finish();
    EXPECT_EQ(b.played(), QStringList({"cs3O61.wav", "cs3O61a.wav"}));
}
