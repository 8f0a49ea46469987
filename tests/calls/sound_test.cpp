// Every sound through the core: the player's setting, the queue while the player plays,
// failures, the bingo shouts in turn and the mute of the set windows.
#include "coretestbed.h"

#include <gtest/gtest.h>

namespace {

// A core started with this settings line and these files in the sounds folder.
struct Sounds {
    CoreTestbed bed;
    explicit Sounds(std::initializer_list<const char*> files, const QByteArray& settings = "SO:TRUE#V3:cs3#")
    {
        bed.writeFile(QStringLiteral("defaults.cfg"), settings + "\r\n");
        for (const char* f : files)
            bed.writeFile(QStringLiteral("sounds/") + QLatin1String(f), "RIFF");
        bed.create();
    }
    // The names of the sounds played, in order.
    QStringList played() const
    {
        return QStringList(bed.player.played).replaceInStrings(bed.filePath(QStringLiteral("sounds/")), QString());
    }
    QStringList playAll()
    {
        while (bed.player.playing)
            bed.player.finish();
        return played();
    }
    bool saved(const char* text) const { return bed.readFile(QStringLiteral("defaults.cfg")).contains(text); }
};

}   // namespace

TEST(SoundQueue, PlaysAtOnceThenWaitsForThePlayerAndGoesOnAtEachNotice)
{
    Sounds s({"welcome.wav", "starting.wav", "cs3B12.wav", "cs3B12a.wav", "cs3O61.wav", "cs3O61a.wav"});
    s.bed.startGame(CoreTestbed::codes({12, 61}), 70, 75);
    s.bed.step();   // the caller's two files for B12
    s.bed.player.finish();
    EXPECT_EQ(s.played().last(), "starting.wav");
    emit s.bed.player.notify();   // a notice while the player still plays: it is stopped, the next follows
    EXPECT_EQ(s.played().last(), "cs3B12.wav");
    s.bed.c().sounds().TurnSoundOff();   // what is queued still plays; nothing new is voiced
    s.bed.step();
    EXPECT_EQ(s.playAll(), QStringList({"welcome.wav", "starting.wav", "cs3B12.wav", "cs3B12a.wav"}));
}

TEST(SoundQueue, TheSettingSwitchesSoundSavesItAndPacesTheCallsAndASetWindowMutesItUntilItCloses)
{
    Sounds s({"welcome.wav", "null.wav", "click.wav", "cs3B12.wav"}, "SO:FALSE#V3:cs3#");
    s.bed.signIn();   // no greeting, and no beep for it either
    EXPECT_EQ(s.bed.screen.player.beeps, 0);
    SetCatalogue& window = s.bed.c().catalogue(SetKind::Caller);
    window.Open();   // muted, and turning sound on ends that too
    s.bed.c().sounds().TurnSoundOn();
    EXPECT_EQ(s.played(), QStringList({"welcome.wav"}));   // "Welcome", whatever the letter case
    EXPECT_TRUE(s.saved("#SO:TRUE#") && s.bed.c().round().callSpacing() == 9);
    window.Open();   // the window's sound and the call's voices are null.wav; a click is silent, without a beep
    s.bed.c().table().RightCardClick();
    s.bed.startGame(CoreTestbed::codes({12}), 70, 75);   // no starting.wav: a beep
    s.bed.step();
    window.CloseClick();
    s.bed.c().table().RightCardClick();
    EXPECT_EQ(s.playAll(), QStringList({"welcome.wav", "null.wav", "null.wav", "null.wav", "click.wav"}));
    s.bed.c().sounds().TurnSoundOff();
    EXPECT_TRUE(s.bed.screen.player.beeps == 2 && s.saved("#SO:FALSE#") && s.bed.c().round().callSpacing() == 10);
}

TEST(SoundQueue, APlayerFailureIsShownAndTurnsSoundOff)
{
    for (bool queued : {false, true}) {
        SCOPED_TRACE(queued ? "a queued sound" : "a sound played at once");
        Sounds s({"welcome.wav", "starting.wav"});
        if (!queued)
            s.bed.player.finish();
        s.bed.player.failNext = true;
        s.bed.startGame(CoreTestbed::codes({12}), 70, 75);
        s.bed.player.finish();
        EXPECT_EQ(s.bed.screen.player.errors, QStringList({"ErrorCode: 0\ndevice busy"}));
        EXPECT_TRUE(s.saved("#SO:FALSE#") && s.bed.c().round().callSpacing() == 10);
        EXPECT_TRUE(s.playAll() == QStringList({"welcome.wav"}) && s.bed.screen.player.beeps == 0);
    }
}

TEST(SoundQueue, BingoShoutsTakeTheFunBingoSetInTurnOncePerGame)
{
    const std::tuple<QByteArray, QStringList, int, const char*> cases[] = {
        {"SO:TRUE#V1:bset3#V2:3#V4:3#", {"bset31.wav", "bset32.wav"}, 2, "#V2:2#"},   // the last wraps to the first
        {"SO:TRUE#V1:bset3#V2:0#V4:3#", {"bingo.wav", "bingo.wav"}, 2, "#V2:0#"},     // no set: the standard shout
        {"SO:TRUE#V1:bset9#V2:1#V4:3#", {}, 4, "#V2:3#"},                             // a set not installed: beeps
    };
    for (const auto& [settings, shouts, beeps, saved] : cases) {
        SCOPED_TRACE(settings.constData());
        Sounds s({"bset31.wav", "bset32.wav", "bset33.wav", "bingo.wav"}, settings);   // no starting.wav: a beep
        for (int game = 0; game < 2; ++game) {
            s.bed.startGame(CoreTestbed::codes({5, 6, 7}), 2, 75);
            for (int i = 0; i < 3; ++i)
                s.bed.step();
            s.bed.line(Link::GameFeed, "PQZ$0E%0");   // the server's bingo notice: no second shout
        }
        EXPECT_EQ(s.playAll(), shouts);
        EXPECT_TRUE(s.saved(saved) && s.bed.screen.player.beeps == beeps);
    }
}
