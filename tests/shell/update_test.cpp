// Program updates: the client's update commands, and the real updater in a program folder
// of its own against packages served on loopback.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"
#include "shell/directory.h"
#include "shell/language.h"
#include "shell/programupdate.h"

#include <QDirIterator>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

struct Commands : ::testing::Test {
    CoreTestbed bed;
    ServiceDirectory directory;
    LanguageTable language;
    ProgramUpdate update{&bed.screen.player, &bed.screen.system, directory, bed.c().folder(), language,
                         [this] { return bed.c().rack().bought(); }};
    void SetUp() override
    {
        language.load(bed.filePath("English.txt"));
        directory.Download = "http://h/u/";
        directory.DownFile = "new.pkg";
        directory.InstructionMessage = "Update now?";
        bed.writeFile("qzupdate.exe", "#!");
        bed.create();
        bed.screen.events.clear();
    }
    QString events() { return std::exchange(bed.screen.events, {}).join('|'); }
};

// Writes executable files below a folder (and the folders on their way).
void Write(const QTemporaryDir& dir, const QMap<QString, QByteArray>& files)
{
    for (auto file = files.begin(); file != files.end(); ++file) {
        QDir().mkpath(QFileInfo(dir.filePath(file.key())).path());
        QFile f(dir.filePath(file.key()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(file.value()) == file.value().size());
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file below the folder with its contents, but the note of the client's start.
QMap<QString, QByteArray> Files(const QTemporaryDir& dir)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        if (const QString path = it.next(); !path.endsWith("/restarted"))
            files.insert(QDir(dir.path()).relativeFilePath(path), Read(path));
    return files;
}

}   // namespace

TEST_F(Commands, RefuseOrAskThenStartTheUpdaterWithItsThreeParametersAndQuitOrSayWhatStopsThem)
{
    const QString start = "start:" + bed.filePath("qzupdate.exe") + ' ';
    // The Help menu's two commands, and the forced update when `forced`; what they said.
    const auto click = [&](bool forced) {
        update.UPDATE1Click();
        update.UpdateAllFiles1Click();
        if (forced)
            update.ForcedUpdate();
        return events();
    };
    bed.screen.player.questionAnswer = false;
    EXPECT_EQ(click(true), "question:T1520|question:T1521|question:Update now?");
    bed.screen.player.questionAnswer = true;
    EXPECT_EQ(click(true), "question:T1520|" + start + "http://h/u/qzwin32.exe qzwin32.exe qzwin32.exe|quit|"
                  + "question:T1521|" + start + "http://h/u/qzdemo.exe qzdemo.exe qzdemo.exe|quit|"
                  + "question:Update now?|" + start + "http://h/u/new.pkg vexotmp.exe vexotmp.exe|quit");
    // A parameter line of 256 characters is refused, not cut; a missing updater is said.
    directory.Download = "http://h/" + QString(212, 'u');
    update.UPDATE1Click();
    EXPECT_EQ(events(), "question:T1520|message:The update cannot start: its download address is too long.");
    QFile::remove(bed.filePath("qzupdate.exe"));
    update.UPDATE1Click();
    update.ForcedUpdate();
    const QString said = events();   // the forced update asks nothing
    EXPECT_TRUE(said.startsWith("question:T1520|message:") && said.count("|message:") == 2
                && said.count("qzupdate") == 2);
    // Without a source, and with cards bought whatever the source, nothing is asked.
    directory.Download = "h/u/";
    EXPECT_EQ(click(false), "message:T1519|message:T1519");
    bed.signIn();
    bed.openSales();
    bed.buyCard(1);
    ASSERT_TRUE(bed.c().rack().bought());
    events();
    EXPECT_EQ(click(false), "message:T1518|message:T1518");
}

TEST(Updater, InstallsOnlyAWholeSignedPackageKeepingTheOldFilesAndRestartsTheClientSayingWhatHappened)
{
    if (!VEXO_DEMO_KEY_BUILT_IN)
        GTEST_SKIP() << "the updater holds the operator's key, not the demo key";
    QTemporaryDir folder, staging;
    // A client that notes in "restarted" which version it is and how it was started.
    const auto client = [](const QByteArray& v) { return "#!/bin/sh\necho " + v + " \"$@\" >\"${0%/*}/restarted\"\n"; };
    ASSERT_TRUE(QFile::copy(QZUPDATE_EXE, folder.filePath("qzupdate.exe")));
    Write(folder, {{"vexobingo", client("old")}, {"sounds/a.wav", "old"}});
    const QMap<QString, QByteArray> before = Files(folder);
    const QMap<QString, QByteArray> added{{"vexobingo", client("new")}, {"sounds/a.wav", "new"}, {"skins/b", "new"}};
    Write(staging, added);
    const QString packed = staging.filePath("p.tgz");
    ASSERT_EQ(QProcess::execute("tar", {"czf", packed, "-C", staging.path(), "vexobingo", "sounds", "skins"}), 0);
    ASSERT_EQ(QProcess::execute(VEXO_SIGN_EXE, {"sign", VEXO_DEMO_SECRET_KEY, packed}), 0);
    const QByteArray package = Read(packed), signature = Read(packed + ".sig");
    const QByteArray forged = signature.left(63) + char(~signature[63]);
    MiniHttp web;
    web.status = 404;
    web.routes = {{"/p.tgz", {200, package}}, {"/p.tgz.sig", {200, signature}}, {"/forged.tgz", {200, package}},
                  {"/forged.tgz.sig", {200, forged}}, {"/unsigned.tgz", {200, package}}};
    // A server that breaks off after the head of the package.
    QTcpServer cut;
    ASSERT_TRUE(cut.listen(QHostAddress::LocalHost));
    QObject::connect(&cut, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = cut.nextPendingConnection();
        s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(package.size()) + "\r\n\r\n"
                 + package.left(99));
        s->disconnectFromHost();
    });
    const auto run = [&](const QString& address) {
        const QString restarted = folder.filePath("restarted");
        QFile::remove(restarted);
        QProcess updater;
        updater.start(folder.filePath("qzupdate.exe"), {address, "qzwin32.exe", "qzwin32.exe"});
        EXPECT_TRUE(WaitFor([&] { return QFileInfo(restarted).size() > 0; }, 20000)) << address.toStdString();
        updater.waitForFinished();
        return QString::number(updater.exitCode()) + ' ' + Read(restarted);
    };
    const QString failed = "1 old --update-result The update was not installed: the ";
    EXPECT_EQ(run("http://" + web.host() + "/forged.tgz"), failed + "signature does not match.\n");
    EXPECT_EQ(run("http://" + web.host() + "/unsigned.tgz"), failed + "signature is missing.\n");
    EXPECT_EQ(run("http://127.0.0.1:" + QString::number(cut.serverPort()) + "/p.tgz"),
              failed + "download was incomplete.\n");
    EXPECT_EQ(Files(folder), before);
    // The new client, executable as packed, is the one started.
    EXPECT_EQ(run("http://" + web.host() + "/p.tgz"), "0 new --update-result Vexo Bingo has been updated.\n");
    QMap<QString, QByteArray> after = before;
    after.insert(added);
    after.insert(QMap<QString, QByteArray>{{".previous/vexobingo", client("old")}, {".previous/sounds/a.wav", "old"}});
    EXPECT_EQ(Files(folder), after);
}
