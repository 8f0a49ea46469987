// A caller set from the demo hall's catalogue, end to end: list, choice, download, the
// hall's real package unpacked, and the next call voiced from the new files.
#include "coretestbed.h"
#include "hallprocess.h"
#include "scriptedpeer.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(InstallEndToEnd, CallerSetFromTheHallVoicesTheNextCall)
{
    HallProcess hall;
    ASSERT_TRUE(hall.isReady()) << hall.error().toStdString();
    if (!QFileInfo::exists(QFileInfo(QStringLiteral(BINGO_HALL_EXE)).path() + QStringLiteral("/www/sounds/cset2.exe")))
        GTEST_SKIP() << "the hall has no caller sets (assets/make_sets.sh did not run)";

    CoreTestbed bed;
    bed.writeFile(QStringLiteral("defaults.cfg"), "WS:" + hall.webHost().toLatin1() + "#SO:TRUE#\r\n");
    bed.config.downloadSite = hall.webHost();
    bed.remake();
    bed.create();
    SetCatalogue& callers = bed.c().catalogue(SetKind::Caller);
    callers.Open();
    const auto listed = [&] { return bed.screen.sets[SetKind::Caller].items.size() >= 3; };
    ASSERT_TRUE(WaitFor(listed, 10000));
    callers.ChooseSet(2);   // "yes" to the download
    ASSERT_TRUE(WaitFor([&] { return callers.state() == SetCatalogue::State::Idle; }, 30000));
    const QStringList& messages = bed.screen.player.messages;
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(bed.screen.system.started.isEmpty());
    EXPECT_EQ(QDir(bed.filePath(QStringLiteral("sounds"))).entryList({QStringLiteral("cs2*.wav")}).size(), 150);

    bed.startGame(CoreTestbed::codes({12}), 70, 75);
    bed.step();
    bed.player.finish();
    EXPECT_EQ(bed.player.played.mid(bed.player.played.size() - 2),
              QStringList({bed.filePath(QStringLiteral("sounds/cs2B12.wav")),
                           bed.filePath(QStringLiteral("sounds/cs2B12a.wav"))}));
}
