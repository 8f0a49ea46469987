// The "to go" counts: they reach 0 exactly when the claim accepts a face, follow the calls
// on the bought cards with a badge and one short sound, and page the closest cards first.
#include "coretestbed.h"
#include "scriptedpeer.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(ToGo, EveryKindCountsDownOneCellAtMostPerCallToZeroExactlyWhenTheClaimAcceptsTheFace)
{
    QMap<QByteArray, QList<int>> counts;
    for (const char* descriptor : {"A01000012", "A00000012", "A02000012", "A03000012", "A06000012", "A0<000012",
                                   "B0O444412", "C0O000012", "D04000012", "D06000012", "D09000012", "D0@000012",
                                   "F00000012", "E00000012"}) {
        PatternState pattern;
        BingoCard card;
        card.FaceCount = 4;
        ASSERT_TRUE(pattern.LoadGamePattern(descriptor) && card.LoadNumbers(CoreTestbed::numbers(4), QString()));
        card.Entered = true;
        std::array<int, 4> before = pattern.FacesToGo(card, pattern.PatternKind);
        for (int k = 0; k < 75; ++k) {
            const int n = (k * 32) % 75 + 1;   // every number once, spread over the columns
            card.SetCalled((n - 1) / 15, n - 15 * ((n - 1) / 15), 1);
            const std::array<int, 4> now = pattern.FacesToGo(card, pattern.PatternKind);
            BingoCard claimed = card;   // the claim paints cells red
            int zeros = 0;
            for (size_t f = 0; f < 4; ++f) {
                zeros += now[f] == 0 ? 1 : 0;
                const int fell = before[f] - now[f];
                EXPECT_TRUE(descriptor[0] == 'E' ? now[f] == -1 : fell == 0 || fell == 1)
                    << descriptor << " face " << f + 1 << " call " << n << ": " << before[f] << " -> " << now[f];
            }
            ASSERT_EQ(pattern.CheckBingo(claimed, pattern.PatternKind), zeros) << descriptor << " call " << n;
            counts[descriptor] << now[0] << now[1] << now[2] << now[3];
            before = now;
        }
    }
    EXPECT_EQ(counts["A0<000012"], counts["F00000012"]);   // all twelve lines cover the face
}

TEST(ToGo, BoughtCardsShowTheirCountAndSayOneToGoOnceAndBestCardFirstPagesTheClosestCardFirst)
{
    ScriptedPeer server;
    CoreTestbed bed{1000, server.port()};
    GameCore& core = bed.c();
    const QString language = QStringLiteral("English.txt");
    bed.writeFile(language, bed.readFile(language) + "1800 to go\r\n1801 Bingo!\r\n");
    bed.writeFile(QStringLiteral("defaults.cfg"), "SO:TRUE#\r\n");
    for (const char* f : {"onetogo.wav", "yesbingo.wav", "nobingo.wav"})
        bed.writeFile(QStringLiteral("sounds/") + QLatin1String(f), "RIFF");
    bed.create();
    bed.signIn();
    bed.openSales();
    bed.buyCard(1);   // face 1: column c row r holds 15c + r + 1
    core.table().RightCardClick();
    bed.buyCard(2);   // face 1 the same, face 2 one more
    core.table().LeftCardClick();
    core.table().BestCardFirstClick();   // nothing moves before the game
    EXPECT_TRUE(core.table().toGoBadge(1).isEmpty() && core.rack().shownCard(1) == 1);
    const auto heard = [&](const char* file) {   // how often a sound has begun
        while (bed.player.playing)
            bed.player.finish();
        const QStringList& p = bed.player.played;
        return std::count_if(p.begin(), p.end(), [&](const QString& s) { return s.endsWith(QLatin1String(file)); });
    };
    const auto first = [&] { return bed.screen.table.at(0, 0); };   // the card in the first place
    // One line wins; row 2 of card 2's second face is 4, 19, free, 49, 64; row 3 of card 1 is 4, 19, 34, 49, 64.
    bed.startGame(CoreTestbed::codes({4, 19, 49, 75, 64}), 70, 75);
    EXPECT_TRUE(core.table().toGoBadge(1) == "4 to go" && core.table().toGoBadge(2) == "4 to go");
    core.table().FaceMouseDown(1, 1, 0, 0);   // the order holds while a face is pressed
    bed.step();
    EXPECT_TRUE(core.rack().toGo(1) == 4 && core.rack().toGo(2) == 3 && first() == 1);
    core.table().FaceMouseUp();
    bed.step();   // 19
    EXPECT_TRUE(core.rack().toGo(1) == 3 && core.rack().toGo(2) == 2 && first() == 2);
    EXPECT_EQ(bed.screen.table.cardId, "100001.00002");
    bed.step();   // 49
    core.table().Button4Click();
    EXPECT_TRUE(core.table().toGoBadge(2) == "1 to go" && heard("onetogo.wav") == 1 && heard("nobingo.wav") == 1);
    bed.step();   // 75: still one to go, nothing more is said
    EXPECT_EQ(heard("onetogo.wav"), 1);
    bed.step();   // 64: card 2 wins, card 1 is one to go
    EXPECT_TRUE(core.table().toGoBadge(2) == "Bingo!" && core.rack().toGo(1) == 1 && heard("onetogo.wav") == 2);
    core.table().Button4Click();
    EXPECT_EQ(heard("yesbingo.wav"), 1);
    core.table().BestCardFirstClick();   // off: the normal order at once
    EXPECT_TRUE(first() == 1 && !core.table().bestCardFirst() && !bed.screen.menus.bestFirstChecked);
    core.table().BestCardFirstClick();
    EXPECT_TRUE(first() == 2 && bed.screen.menus.bestFirstChecked);
    bed.step();   // the end of the draw ends the game
    EXPECT_TRUE(!core.round().running() && core.rack().shownCard(1) == 1 && core.rack().toGo(2) == -1);
}

// Each game says one to go afresh: the card that came to one to go in the first game does so
// in the second too, with the sound and the readers' alert, however the first game ended.
TEST(ToGo, EveryGameSaysOneToGoAgainNotOnlyTheFirst)
{
    CoreTestbed bed;
    const QString language = QStringLiteral("English.txt");
    bed.writeFile(language, bed.readFile(language) + "1800 to go\r\n");
    bed.writeFile(QStringLiteral("defaults.cfg"), "SO:TRUE#\r\n");
    bed.writeFile(QStringLiteral("sounds/onetogo.wav"), "RIFF");
    bed.create();
    const auto heard = [&] {   // how often the one-to-go sound has begun
        while (bed.player.playing)
            bed.player.finish();
        const QStringList& p = bed.player.played;
        return std::count_if(p.begin(), p.end(), [](const QString& s) { return s.endsWith("onetogo.wav"); });
    };
    const QStringList& said = bed.screen.status.announced;
    // Row 3 of face 1 is 4, 19, 34, 49, 64: the fourth call leaves the card one to go, and the
    // draw ends there without a bingo.
    const QByteArray draw = CoreTestbed::codes({4, 19, 49, 64});
    for (const QByteArray game : {"100001", "100002"}) {
        SCOPED_TRACE(game.constData());
        bed.signIn();
        bed.openSales(100, game);
        bed.buyCard(1, game);
        bed.startGame(draw, 70, 75, "A01000001", game);
        bed.step(3);
        ASSERT_EQ(bed.c().rack().toGo(1), 2);
        const auto before = heard();
        bed.step();   // 64
        EXPECT_EQ(heard(), before + 1);
        EXPECT_EQ(said.value(said.size() - 1), "O 64. T1808 1: 1 to go");
        EXPECT_EQ(bed.c().table().toGoBadge(1), "1 to go");
        bed.step();   // the end of the draw ends the game, and the pause after it leads to the next
        ASSERT_EQ(bed.c().round().phase(), Phase::Pause);
        bed.clock.advance(30001);
        bed.tick();
        ASSERT_EQ(bed.c().round().phase(), Phase::SignedOut);
    }
}
