// Program updates: the client's update commands, the real updater in a program folder of its own
// against packages served on loopback, its window, its install stopped half-way, and the keys
// and signatures of vexo-sign.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"
#include "shell/directory.h"
#include "shell/language.h"
#include "shell/programupdate.h"

#include "components/net/installjournal.h"
#include "install.h"
#include "readonlyfolder.h"
#include "updaterun.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QVersionNumber>
#include <gtest/gtest.h>
#include <sodium.h>
#include <sys/stat.h>

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
void Write(const QString& folder, const QMap<QString, QByteArray>& files)
{
    for (auto file = files.begin(); file != files.end(); ++file) {
        const QString path = folder + '/' + file.key();
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(file.value()) == file.value().size());
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file below the folder with its contents (a large one with its size), but the note of the
// client's start.
QMap<QString, QByteArray> Files(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
         it.hasNext();)
        if (const QString path = it.next(); !path.endsWith("/restarted"))
            files.insert(QDir(folder).relativeFilePath(path),
                         QFileInfo(path).size() > (1 << 20) ? QByteArray::number(QFileInfo(path).size()) : Read(path));
    return files;
}

// Every folder below the folder.
QStringList Folders(const QString& folder)
{
    QStringList folders;
    for (QDirIterator it(folder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
         it.hasNext();)
        folders << QDir(folder).relativeFilePath(it.next());
    folders.sort();
    return folders;
}

// A package of these files, as tar lays them out, and its signature with the demo key (empty
// when not signed).
struct Signed {
    QByteArray package, signature;
};
Signed Pack(const QMap<QString, QByteArray>& files, bool sign = true)
{
    QTemporaryDir staging;
    Write(staging.path() + "/p", files);
    QStringList top;
    for (const QString& name : files.keys())
        if (const QString first = name.section('/', 0, 0); !top.contains(first))
            top << first;
    const QString packed = staging.filePath("p.tgz");
    EXPECT_EQ(QProcess::execute("tar", QStringList{"czf", packed, "-C", staging.filePath("p")} + top), 0);
    if (sign) {
        QProcess signer;
        signer.start(VEXO_SIGN_EXE, {"sign", VEXO_DEMO_SECRET_KEY, packed});
        EXPECT_TRUE(signer.waitForFinished() && signer.exitCode() == 0) << signer.readAllStandardError().data();
    }
    return {Read(packed), Read(packed + ".sig")};
}

// A signature with the demo key made here, for packages vexo-sign refuses to sign: those signed
// before packages held their version.
QByteArray SignHere(const QByteArray& package)
{
    const QByteArray hex = Read(VEXO_DEMO_SECRET_KEY).trimmed();
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    size_t length = 0;
    if (sodium_init() < 0 || sodium_hex2bin(sk, sizeof sk, hex.constData(), size_t(hex.size()), nullptr, &length,
                                            nullptr) != 0 || length != sizeof sk)
        return {};
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(package.constData()), quint64(package.size()), sk);
    return signature;
}

// A client that notes in "restarted" which version it is and how it was started.
QByteArray Client(const QByteArray& version)
{
    return "#!/bin/sh\necho " + version + " \"$@\" >\"${0%/*}/restarted\"\n";
}

// Runs the updater of a folder as the client starts it; its exit status and what the client it
// started again noted.
QString RunUpdater(const QString& folder, const QStringList& parameters)
{
    const QString restarted = folder + "/restarted";
    QFile::remove(restarted);
    QProcess updater;
    updater.start(folder + "/qzupdate.exe", parameters);
    EXPECT_TRUE(WaitFor([&] { return QFileInfo(restarted).size() > 0; }, 20000)) << parameters.join(' ').toStdString();
    updater.waitForFinished();
    return QString::number(updater.exitCode()) + ' ' + Read(restarted);
}

// A server that sends the head of a large body and then one byte every tenth of a second, never
// silent for long and never done.
struct TrickleServer : QTcpServer {
    QTimer tick;
    QList<QTcpSocket*> sockets;
    TrickleServer()
    {
        listen(QHostAddress::LocalHost);
        QObject::connect(this, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = nextPendingConnection();
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n");
            sockets << s;
        });
        QObject::connect(&tick, &QTimer::timeout, [this] {
            for (QTcpSocket* s : sockets)
                s->write("x");
        });
        tick.start(100);
    }
    QString address() const { return "http://127.0.0.1:" + QString::number(serverPort()) + "/p.tgz"; }
};

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
    // An updater that cannot be started leaves the client running and says why.
    bed.screen.system.startsPrograms = false;
    update.UPDATE1Click();
    update.ForcedUpdate();
    const QString cannot = "|message:The update cannot start: the updater, qzupdate.exe, could not be run. "
                           "Please install Vexo Bingo again.";
    EXPECT_EQ(events(), "question:T1520|" + start + "http://h/u/qzwin32.exe qzwin32.exe qzwin32.exe" + cannot
                  + "|question:Update now?|" + start + "http://h/u/new.pkg vexotmp.exe vexotmp.exe" + cannot);
    bed.screen.system.startsPrograms = true;
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

TEST(Updater, InstallsOnlyAWholeSignedPackageNoOlderThanTheProgramAndRestartsTheClientSayingWhatHappened)
{
    if (!VEXO_DEMO_KEY_BUILT_IN)
        GTEST_SKIP() << "the updater holds the operator's key, not the demo key";
    QTemporaryDir dir;
    const QString folder = dir.path();
    ASSERT_TRUE(QFile::copy(QZUPDATE_EXE, folder + "/qzupdate.exe"));
    Write(folder, {{"vexobingo", Client("old")}, {"sounds/a.wav", "old"}});
    const QMap<QString, QByteArray> before = Files(folder);
    const QMap<QString, QByteArray> added{
        {"VERSION", "4.70\n"}, {"vexobingo", Client("new")}, {"sounds/a.wav", "new"}, {"skins/b", "new"}};
    const Signed fresh = Pack(added);
    // Genuine packages that bind no version, or one older than the updater's own program.
    QMap<QString, QByteArray> unversioned = added, outdated = added;
    unversioned.remove("VERSION");
    outdated["VERSION"] = "4.60";
    const Signed old = Pack(outdated);
    Signed bare = Pack(unversioned, false);
    bare.signature = SignHere(bare.package);
    const QByteArray forged = fresh.signature.left(63) + char(~fresh.signature[63]);
    MiniHttp web;
    web.status = 404;
    web.routes = {{"/p.tgz", {200, fresh.package}}, {"/p.tgz.sig", {200, fresh.signature}},
                  {"/forged.tgz", {200, fresh.package}}, {"/forged.tgz.sig", {200, forged}},
                  {"/unsigned.tgz", {200, fresh.package}}, {"/bare.tgz", {200, bare.package}},
                  {"/bare.tgz.sig", {200, bare.signature}}, {"/old.tgz", {200, old.package}},
                  {"/old.tgz.sig", {200, old.signature}}};
    // A server that breaks off after the head of the package.
    QTcpServer cut;
    ASSERT_TRUE(cut.listen(QHostAddress::LocalHost));
    QObject::connect(&cut, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = cut.nextPendingConnection();
        s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(fresh.package.size()) + "\r\n\r\n"
                 + fresh.package.left(99));
        s->disconnectFromHost();
    });
    const auto run = [&](const QString& path) {
        return RunUpdater(folder, {"http://" + web.host() + path, "qzwin32.exe", "qzwin32.exe"});
    };
    const QString failed = "1 old --update-result The update was not installed: the ";
    EXPECT_EQ(run("/forged.tgz"), failed + "signature does not match.\n");
    EXPECT_EQ(run("/unsigned.tgz"), failed + "signature is missing.\n");
    EXPECT_EQ(RunUpdater(folder, {"http://127.0.0.1:" + QString::number(cut.serverPort()) + "/p.tgz", "qzwin32.exe",
                                  "qzwin32.exe"}),
              failed + "download was incomplete.\n");
    EXPECT_EQ(run("/bare.tgz"), failed + "package does not say its version.\n");
    // Without a VERSION file the folder holds the updater's own version, and never an older one.
    const QString older = failed + "package holds version 4.60, older than the installed "
        + QVersionNumber::fromString(VEXO_PROJECT_VERSION).toString() + ".\n";
    EXPECT_EQ(run("/old.tgz"), older);
    Write(folder, {{"VERSION", "1.0"}});
    EXPECT_EQ(run("/old.tgz"), older);
    QFile::remove(folder + "/VERSION");
    EXPECT_EQ(Files(folder), before);
    // The new client, executable as packed, is the one started.
    EXPECT_EQ(run("/p.tgz"), "0 new --update-result Vexo Bingo has been updated.\n");
    QMap<QString, QByteArray> after = before;
    after.insert(added);
    after.insert(QMap<QString, QByteArray>{
        {".previous/vexobingo", Client("old")}, {".previous/sounds/a.wav", "old"}, {".qzupdate-lock", ""}});
    EXPECT_EQ(Files(folder), after);

    // A second update that fails part-way (its sounds folder cannot be written, after VERSION and
    // skins are in place) puts everything back, the first update's .previous/ too.
    const QMap<QString, QByteArray> second{{"VERSION", "4.71"}, {"vexobingo", Client("newer")},
                                           {"sounds/a.wav", "newer"}, {"skins/b", "newer"}, {"skins/c/d", "newer"}};
    const Signed next = Pack(second);
    web.routes["/next.tgz"] = {200, next.package};
    web.routes["/next.tgz.sig"] = {200, next.signature};
    {
        ReadOnlyFolder sounds(folder + "/sounds");
        if (!sounds.holds())
            GTEST_SKIP() << "this system lets the test write in a read-only folder";
        const QStringList folders = Folders(folder);
        EXPECT_EQ(run("/next.tgz"), "1 new --update-result The update was not installed: sounds/a.wav cannot be "
                                    "replaced.\n");
        EXPECT_EQ(Files(folder), after);
        EXPECT_EQ(Folders(folder), folders);
    }
    // Then it installs, and the first update's new files are the ones kept.
    EXPECT_EQ(run("/next.tgz"), "0 newer --update-result Vexo Bingo has been updated.\n");
    QMap<QString, QByteArray> afterSecond = second;
    afterSecond.insert(QMap<QString, QByteArray>{{"qzupdate.exe", after["qzupdate.exe"]}, {".qzupdate-lock", ""},
                                                 {".previous/VERSION", "4.70\n"},
                                                 {".previous/vexobingo", Client("new")},
                                                 {".previous/sounds/a.wav", "new"}, {".previous/skins/b", "new"}});
    EXPECT_EQ(Files(folder), afterSecond);
    // The first update, signed as genuinely as ever, is now older than the program: refused. The
    // same version again is taken (a repair).
    EXPECT_EQ(run("/p.tgz"), "1 newer --update-result The update was not installed: the package holds version "
                             "4.70, older than the installed 4.71.\n");
    EXPECT_EQ(Files(folder), afterSecond);
    EXPECT_EQ(run("/next.tgz"), "0 newer --update-result Vexo Bingo has been updated.\n");
}

TEST(Install, StoppedHalfWayIsUndoneOrCompletedAtTheNextStartOfTheUpdaterOrTheClient)
{
    const QMap<QString, QByteArray> old{{"vexobingo", Client("old")}, {"a", "old"}, {"b/c", "old"},
                                        {".previous/a", "older"}};
    const QMap<QString, QByteArray> fresh{{"a", "new"}, {"b/c", "new"}, {"d", "new"}, {"e/f/g", "new"}};
    QList<PackageEntry> entries;
    for (auto file = fresh.begin(); file != fresh.end(); ++file)
        entries.append({file.key(), file.value(), false});
    QMap<QString, QByteArray> installed = old;
    installed.insert(fresh);
    installed.remove(".previous/a");
    installed.insert(QMap<QString, QByteArray>{{".previous/a", "old"}, {".previous/b/c", "old"}});
    // Stopped after each number of renames, the folder holds a mix until the next start puts it
    // right: all old with the last .previous/ before the commit, all new once committed.
    for (int renames = 0; renames <= int(entries.size()); ++renames) {
        SCOPED_TRACE(renames);
        QTemporaryDir dir;
        Write(dir.path(), old);
        const QMap<QString, QByteArray> before = Files(dir.path());
        const QStringList folders = Folders(dir.path());
        QString reason;
        EXPECT_FALSE(InstallFiles(dir.path(), entries, &reason, renames));
        QMap<QString, QByteArray> stopped = Files(dir.path());
        EXPECT_TRUE(stopped.contains(".qzupdate-journal"));
        EXPECT_EQ(stopped.value("d") == "new", renames > 2);
        EXPECT_EQ(stopped.value("a"), renames > 0 ? "new" : "old");
        const QString said = RecoverInterruptedInstall(dir.path());
        QMap<QString, QByteArray> after = Files(dir.path());
        after.remove(".qzupdate-lock");
        if (renames < int(entries.size())) {
            EXPECT_EQ(said, "An update was stopped before it ended: the former files have been put back.");
            EXPECT_EQ(after, before);
            EXPECT_EQ(Folders(dir.path()), folders);
        } else {
            EXPECT_EQ(said, "An update that was stopped just before its end has been completed.");
            EXPECT_EQ(after, installed);
        }
        EXPECT_EQ(RecoverInterruptedInstall(dir.path()), "");   // once put right, nothing to do
    }

    // A journal someone else wrote moves nothing outside the folder, nor anything it did not stage.
    {
        QTemporaryDir outer;
        Write(outer.path(), {{"victim", "keep"}, {"in/a", "keep"}});
        Write(outer.path() + "/in",
              {{".qzupdate-journal", "vexo-install 1\nstep ..%2Fvictim .qzupdate-new/0 -\nend\n"}});
        EXPECT_EQ(RecoverInterruptedInstall(outer.filePath("in")),
                  "An update was stopped before it ended and its notes cannot be read: if Vexo Bingo does not work, "
                  "please install it again.");
        Write(outer.path() + "/in",
              {{".qzupdate-journal", "vexo-install 1\nstep a .qzupdate-new/0 ..%2Fvictim\nend\n"}});
        RecoverInterruptedInstall(outer.filePath("in"));
        EXPECT_EQ(Files(outer.path()), (QMap<QString, QByteArray>{{"victim", "keep"}, {"in/a", "keep"},
                                                                  {"in/.qzupdate-lock", ""}}));
    }

    // The updater puts the folder right when it starts, whatever else it is asked.
    QTemporaryDir dir;
    const QString folder = dir.path();
    Write(folder, old);
    ASSERT_TRUE(QFile::copy(QZUPDATE_EXE, folder + "/qzupdate.exe"));
    QMap<QString, QByteArray> before = Files(folder);
    QString reason;
    ASSERT_FALSE(InstallFiles(folder, entries, &reason, 2));
    EXPECT_EQ(RunUpdater(folder, {"too", "few"}),
              "1 old --update-result The update was not installed: the updater needs three parameters: download "
              "address, save-as name, program to run.\n");
    before.insert(".qzupdate-lock", "");
    EXPECT_EQ(Files(folder), before);

    // And so does the client.
    const QString client = QStringLiteral(BINGO_APP_DIR) + "/vexobingo";
    if (!QFileInfo(client).isExecutable())
        GTEST_SKIP() << "this build has no client";
    QFile::remove(folder + "/vexobingo");
    ASSERT_TRUE(QFile::copy(client, folder + "/vexobingo"));
    before = Files(folder);
    ASSERT_FALSE(InstallFiles(folder, entries, &reason, 3));
    ASSERT_NE(Files(folder), before);
    QTemporaryDir home;
    QProcess running;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", home.path());
    environment.insert("XDG_CONFIG_HOME", home.path());
    running.setProcessEnvironment(environment);
    running.start(folder + "/vexobingo", {"--no-sound"});
    EXPECT_TRUE(WaitFor([&] { return Files(folder) == before; }, 20000));
    running.kill();
    running.waitForFinished();
}

TEST(UpdaterWindow, SaysWhatItDoesAndCancelOrTheDeadlineEndsADownloadThatNeverEnds)
{
#ifndef BINGO_TEST_WIDGETS
    GTEST_SKIP() << "this build has no windows";
#endif
    QTemporaryDir dir;
    TrickleServer server;
    QElapsedTimer clock;
    clock.start();
    {
        UpdateRun run(dir.path(), server.address(), 1);
        // Were the deadline not kept, Cancel would end the run, with another reason.
        QTimer::singleShot(15000, &run, [&run] { run.reject(); });
        EXPECT_EQ(run.run(), "the download took too long");
        EXPECT_LT(clock.elapsed(), 10000);
        EXPECT_FALSE(run.isVisible());
    }
    UpdateRun run(dir.path(), server.address());
    // Were Cancel not heard, the server would break off, with another reason.
    QTimer::singleShot(15000, &server, [&server] {
        for (QTcpSocket* s : server.sockets)
            s->abort();
        server.sockets.clear();
    });
    QStringList seen;
    QTimer::singleShot(500, &run, [&] {
        for (const char* name : {"StatusLabel", "ProgressBar", "CancelButton"}) {
            const QWidget* widget = run.findChild<QWidget*>(name);
            seen << (widget && widget->isVisible() ? widget->accessibleName() : QString());
        }
        seen << run.findChild<QLabel*>("StatusLabel")->text();
        run.findChild<QPushButton*>("CancelButton")->click();
    });
    clock.restart();
    EXPECT_EQ(run.run(), "the update was cancelled");
    EXPECT_LT(clock.elapsed(), 5000);   // at once, not when the server gives up
    EXPECT_EQ(seen, QStringList({"What the update does", "Download progress", "Cancel the update",
                                 "Downloading the update from 127.0.0.1 ..."}));
    EXPECT_EQ(Files(dir.path()), (QMap<QString, QByteArray>{}));
}

TEST(Signing, KeysAreMadePrivateAndNeverThroughALinkAndOnlyAVersionedPackageIsSigned)
{
    QTemporaryDir dir;
    const auto keygen = [&](const QString& pub, const QString& secret) {
        // With no umask the modes are the ones the files are made with.
        return QProcess::execute("sh", {"-c", "umask 0; exec \"$0\" keygen \"$1\" \"$2\"", VEXO_SIGN_EXE,
                                        dir.filePath(pub), dir.filePath(secret)});
    };
    const auto mode = [&](const QString& name) {
        struct stat info {};
        return ::lstat(QFile::encodeName(dir.filePath(name)).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
    };
    Write(dir.path(), {{"victim", "keep"}});
    // A link at a key's name, to a file or to none, refuses the pair; the file linked to stays as
    // it was (or unmade), and no key of the pair is left.
    for (const char* link : {"s", "p"}) {
        for (const char* to : {"victim", "nowhere"}) {
            SCOPED_TRACE(std::string(link) + " -> " + to);
            ASSERT_TRUE(QFile::link(dir.filePath(to), dir.filePath(link)));
            EXPECT_NE(keygen("p", "s"), 0);
            EXPECT_EQ(Read(dir.filePath("victim")), "keep");
            EXPECT_FALSE(QFileInfo::exists(dir.filePath("nowhere")));
            ASSERT_TRUE(QFile::remove(dir.filePath(link)));
            EXPECT_EQ(mode("s"), -1);
            EXPECT_EQ(mode("p"), -1);
        }
    }
    // Links at the names beside the keys are not written through either; the secret key is
    // private (made so, as the umask takes nothing away here), the public one readable.
    ASSERT_TRUE(QFile::link(dir.filePath("victim"), dir.filePath("s.tmp")));
    ASSERT_TRUE(QFile::link(dir.filePath("victim"), dir.filePath("p.tmp")));
    EXPECT_EQ(keygen("p", "s"), 0);
    EXPECT_EQ(Read(dir.filePath("victim")), "keep");
    EXPECT_EQ(mode("s"), 0600);
    EXPECT_EQ(mode("p"), 0644);
    EXPECT_EQ(Read(dir.filePath("s")).size(), 129);
    EXPECT_EQ(Read(dir.filePath("p")).size(), 65);
    // A key pair is never made again over an existing key.
    const QByteArray secret = Read(dir.filePath("s"));
    EXPECT_NE(keygen("p2", "s"), 0);
    EXPECT_NE(keygen("p", "s2"), 0);
    EXPECT_EQ(Read(dir.filePath("s")), secret);
    EXPECT_EQ(mode("s2"), -1);
    EXPECT_EQ(mode("p2"), -1);

    // A package without its VERSION entry is not signed.
    Write(dir.path(), {{"staging/vexobingo", "client"}});
    const QString packed = dir.filePath("p.tgz");
    ASSERT_EQ(QProcess::execute("tar", {"czf", packed, "-C", dir.filePath("staging"), "vexobingo"}), 0);
    EXPECT_NE(QProcess::execute(VEXO_SIGN_EXE, {"sign", dir.filePath("s"), packed}), 0);
    EXPECT_FALSE(QFileInfo::exists(packed + ".sig"));
    Write(dir.path(), {{"staging/VERSION", "4.7.1\n"}});
    ASSERT_EQ(QProcess::execute("tar", {"czf", packed, "-C", dir.filePath("staging"), "VERSION", "vexobingo"}), 0);
    EXPECT_EQ(QProcess::execute(VEXO_SIGN_EXE, {"sign", dir.filePath("s"), packed}), 0);
    EXPECT_EQ(Read(packed + ".sig").size(), 64);
}
