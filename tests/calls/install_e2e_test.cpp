// A caller set from the demo hall's catalogue, end to end: list, choice, download,
// the real installer run, and the next call voiced from the new files.
#include "coretestbed.h"
#include "hallprocess.h"
#include "scriptedpeer.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// Runs the programs the core starts, and waits for them.
struct RunningView : RecordingView {
    int exitCode = -1;
    bool startProgram(const QString& program, const QStringList& arguments) override
    {
        RecordingView::startProgram(program, arguments);
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(60000))
            return false;
        exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return true;
    }
};

}   // namespace

TEST(InstallEndToEnd, CallerSetFromTheHallVoicesTheNextCall)
{
    HallProcess hall;
    ASSERT_TRUE(hall.isReady()) << hall.error().toStdString();
    if (!QFileInfo::exists(QFileInfo(QStringLiteral(BINGO_HALL_EXE)).path() + QStringLiteral("/www/sounds/cset2.exe")))
        GTEST_SKIP() << "the hall has no caller sets (assets/make_sets.sh did not run)";

    CoreTestbed bed;
    RunningView view;
    GameCore core(bed.c().Config, &view, &bed.clock, &bed.player);
    QObject::disconnect(&bed.player, nullptr, bed.core.get(), nullptr);
    core.Settings.SoundOn = QStringLiteral("TRUE");
    core.Settings.WebHost = hall.webHost();
    core.Config.downloadSite = hall.webHost();

    core.GetNewSounds1Click();
    ASSERT_TRUE(WaitFor([&] { return core.Catalogues[0].Entries >= 3; }, 10000));
    const QStringList items = view.controls.value(QStringLiteral("Tgetcset.ListBox1")).items;
    EXPECT_EQ(items.first(), QStringLiteral("Default Caller"));

    view.questionAnswer = true;
    core.ChooseSet(0, 2);
    ASSERT_TRUE(WaitFor([&] { return !view.events.filter(QStringLiteral("start:")).isEmpty(); }, 30000));
    EXPECT_EQ(view.exitCode, 0);
    EXPECT_TRUE(view.messages.isEmpty()) << view.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(QFileInfo::exists(bed.filePath(QStringLiteral("sounds/cs2B12.wav"))));
    EXPECT_TRUE(QFileInfo::exists(bed.filePath(QStringLiteral("sounds/cs2O75a.wav"))));
    EXPECT_TRUE(bed.readFile(QStringLiteral("defaults.cfg")).contains("#V3:cs2#"));

    ASSERT_TRUE(core.StartBallAnimation(12));
    core.FinishBallAnimation();
    bed.player.finish();
    ASSERT_EQ(bed.player.played.size(), 2);
    EXPECT_EQ(bed.player.played[0], bed.filePath(QStringLiteral("sounds/cs2B12.wav")));
    EXPECT_EQ(bed.player.played[1], bed.filePath(QStringLiteral("sounds/cs2B12a.wav")));
}
