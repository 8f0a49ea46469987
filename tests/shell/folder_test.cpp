// The program folders: a copy that can write beside its executable uses that folder alone; an
// installed one reads its files where they were installed, and every file it writes lands in the
// player's own folder.
#include "coretestbed.h"
#include "minihttp.h"
#include "readonlyfolder.h"
#include "scriptedpeer.h"

#include <QDirIterator>
#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Every file below folder with its size and time, to see that nothing changed there.
QStringList Snapshot(const QString& folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo info(it.next());
        files << info.filePath() + QLatin1Char(' ') + QString::number(info.size()) + QLatin1Char(' ')
                     + QString::number(info.lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files;
}

}   // namespace

TEST(InstalledCopy, ReadsWhereItWasInstalledAndWritesOnlyInThePlayersFolder)
{
    MiniHttp web;
    CoreTestbed bed;   // its folder plays the installed one
    QTemporaryDir own;
    // Files that come with the installation, which the copy reads and never changes.
    bed.writeFile(QStringLiteral("defaults.cfg"), "UN:shipped#SO:TRUE#\r\n");
    bed.writeFile(QStringLiteral("Default.rtf"), "old news");
    bed.writeFile(QStringLiteral("qzupdate.exe"), "updater");
    QFile(own.filePath(QStringLiteral("bingo.gif"))).open(QIODevice::WriteOnly);   // the player's own copy wins
    bed.config.installedFolder = bed.dir.path();
    bed.config.folder = own.path();
    bed.remake();
    const QStringList installed = Snapshot(bed.dir.path());
    bed.create();
    GameCore& core = bed.c();
    const QMap<Picture, QString>& shown = bed.screen.pictures.shown;
    EXPECT_TRUE(shown.value(Picture::Logo).startsWith(bed.dir.path()));   // read where installed
    core.pictures().LoadBingoPicture(QStringLiteral("bingo.gif"));
    EXPECT_TRUE(shown.value(Picture::BingoBanner).startsWith(own.path()));

    // Settings, a fetched picture, the news: all in the player's folder.
    web.body = "files:" + web.host().toLatin1() + "%newsurl:/news.rtf%";
    core.signIn().LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), web.host(), true);
    ASSERT_TRUE(WaitFor([&] { return core.signIn().directoryRead(); }));
    core.pictures().ShowPatternPicture(QStringLiteral("pat42.gif"));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(own.filePath(QStringLiteral("pat42.gif"))); }));
    core.signIn().ShowNewsWindow();
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(own.filePath(QStringLiteral("Default.rtf"))); }));
    core.sounds().TurnSoundOff();
    EXPECT_TRUE(QFile::exists(own.filePath(QStringLiteral("defaults.cfg"))));

    // The updater of an installed copy is the system's package manager.
    core.update().UPDATE1Click();
    EXPECT_TRUE(bed.screen.player.messages.last().contains(QLatin1String("system's software manager")));
    EXPECT_EQ(bed.screen.system.quits, 0);
    EXPECT_EQ(Snapshot(bed.dir.path()), installed);
}

// The real client, started from a folder of its own with the saved account of a settings file
// there: a writable folder is its only one, and a read-only one makes it work in the player's folder
// below XDG_DATA_HOME over the installed one. The folder it works in is its current one; that it
// read its settings shows in the sign-in it makes at start.
TEST(ProgramFolders, AWritableFolderAloneOrThePlayersFolderOverAReadOnlyOne)
{
    const QString built = QStringLiteral(BINGO_APP_DIR "/vexobingo");
    if (!QFileInfo(built).isExecutable())
        GTEST_SKIP() << "this build has no client";
    MiniHttp web;
    web.status = 404;
    QTemporaryDir exe, home;
    const QString client = exe.filePath(QStringLiteral("vexobingo"));
    if (::link(QFile::encodeName(built).constData(), QFile::encodeName(client).constData()) != 0) {
        ASSERT_TRUE(QFile::copy(built, client));
    }
    QFile settings(exe.filePath(QStringLiteral("defaults.cfg")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("UN:ann#WS:" + web.host().toLatin1() + "#V6:FALSE#V7:pw#\r\n");
    settings.close();
    const QString players = home.filePath(QStringLiteral("vexobingo"));
    // The folder the client started from `exe` works in, once it has signed in with the settings.
    const auto workingFolder = [&] {
        web.requests.clear();
        QProcess running;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        running.setProcessEnvironment(environment);
        running.setWorkingDirectory(home.path());
        running.start(client, {QStringLiteral("--no-sound"), QStringLiteral("--connect")});
        const bool signedIn = WaitFor([&] { return !web.requests.isEmpty(); }, 20000);
        const QString folder = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(running.processId())).symLinkTarget();
        running.kill();
        running.waitForFinished();
        return signedIn && web.requests.first().contains("ann") ? folder : QStringLiteral("no sign-in");
    };
    EXPECT_EQ(workingFolder(), exe.path());
    EXPECT_FALSE(QFileInfo::exists(players));
    ReadOnlyFolder installed(exe.path());
    if (!installed.holds())
        GTEST_SKIP() << "this system lets the test write in a read-only folder";
    EXPECT_EQ(workingFolder(), players);
}
