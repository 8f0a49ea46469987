// The content-set catalogue windows against a one-page HTTP server.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QByteArray kWave = QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16);

struct CatalogueBed : CoreTestbed {
    MiniHttp http;
    CatalogueBed()
    {
        c().Settings.SoundOn = QStringLiteral("TRUE");
        c().Settings.WebHost = http.host();
        c().Config.downloadSite = http.host();
    }
    QStringList items(const char* window) const
    {
        return view.controls.value(QLatin1String(window) + QStringLiteral(".ListBox1")).items;
    }
    // Opens a window through its menu command and waits for its list.
    bool open(int kind, const QByteArray& reply)
    {
        http.body = reply;
        const qsizetype before = http.requests.size();
        if (kind == 0)
            c().GetNewSounds1Click();
        else if (kind == 1)
            c().GetFunBingos1Click();
        else
            c().Get1Click();
        return WaitFor([&] { return http.requests.size() > before && !c().Catalogues[size_t(kind)].Http->isBusy(); });
    }
    bool transferDone(int kind) { return WaitFor([&] { return !c().Catalogues[size_t(kind)].Http->isBusy(); }); }
    QByteArray lastRequestLine() const { return http.requests.isEmpty() ? QByteArray() : http.requests.last().split('\r').first(); }
    QByteArray settingsLine() const { return readFile(QStringLiteral("defaults.cfg")); }
    QStringList starts() const { return view.events.filter(QStringLiteral("start:")); }
};

}   // namespace

TEST(CatalogueValueText, FindsFirstOccurrenceUpToPercentWithinBound)
{
    EXPECT_EQ(CatalogueValue("count:", "count:2%cset1:Joe%"), QByteArray("2"));
    EXPECT_EQ(CatalogueValue("cset1:", "count:2%cset1:Joe%cset1:Bob%"), QByteArray("Joe"));
    EXPECT_EQ(CatalogueValue("cset3:", "count:2%cset1:Joe%"), QByteArray());
    EXPECT_EQ(CatalogueValue("cset1:", "cset1:Joe"), QByteArray());   // no terminator
    EXPECT_EQ(CatalogueValue("k:", "k:" + QByteArray(1023, 'x') + "%"), QByteArray(1023, 'x'));
    EXPECT_EQ(CatalogueValue("k:", "k:" + QByteArray(1024, 'x') + "%"), QByteArray());
}

TEST(Catalogue, CallerListChoiceMutesAndStoresTheSet)
{
    CatalogueBed b;
    b.writeFile(QStringLiteral("sounds/null.wav"), kWave);
    ASSERT_TRUE(b.open(0, "count:2%cset1:Joe%cset2:Ann%"));
    EXPECT_TRUE(b.c().SoundMuted);
    ASSERT_EQ(b.player.played.size(), 1);
    EXPECT_TRUE(b.player.played.first().endsWith(QStringLiteral("sounds/null.wav")));
    EXPECT_TRUE(b.view.shownWindows.contains(QStringLiteral("Tgetcset")));
    EXPECT_EQ(b.lastRequestLine(), QByteArray("GET /VexoBingo/clist.asp HTTP/1.1"));
    EXPECT_EQ(b.items("Tgetcset"), QStringList({"Default Caller", "Joe", "Ann"}));
    EXPECT_TRUE(b.view.visible(QStringLiteral("Tgetcset.Button1")));
    EXPECT_EQ(b.view.controls.value(QStringLiteral("Tgetcset.ProgressBar1")).progress, 100);

    // Declining the download still stores the choice.
    b.view.questionAnswer = false;
    b.c().ChooseSet(0, 2);
    EXPECT_EQ(b.c().Settings.CallerSet, QStringLiteral("cs2"));
    EXPECT_TRUE(b.settingsLine().contains("#V3:cs2#"));
    EXPECT_FALSE(b.c().SoundMuted);
    EXPECT_FALSE(b.view.visible(QStringLiteral("Tgetcset")));
    EXPECT_TRUE(b.view.events.contains(QStringLiteral("question:Press YES to begin downloading new Sounds")));
    Spin(50);
    EXPECT_EQ(b.http.requests.size(), 1);

    // The default entry clears the choice.
    ASSERT_TRUE(b.open(0, "count:2%cset1:Joe%cset2:Ann%"));
    b.c().ChooseSet(0, 0);
    EXPECT_EQ(b.c().Settings.CallerSet, QString());
    EXPECT_TRUE(b.settingsLine().contains("#V3:#"));
}

TEST(Catalogue, EmptyOrDamagedRepliesGiveOnlyWhatCanBeRead)
{
    CatalogueBed b;
    ASSERT_TRUE(b.open(0, "count:0%"));
    EXPECT_EQ(b.items("Tgetcset"), QStringList({"Default Caller"}));
    ASSERT_TRUE(b.open(2, "count:0%"));
    EXPECT_EQ(b.items("Tgetaset"), QStringList());
    EXPECT_EQ(b.lastRequestLine(), QByteArray("GET /VexoBingo/alist.asp HTTP/1.1"));
    ASSERT_TRUE(b.open(1, "count:x%bset1:A%"));
    EXPECT_EQ(b.items("Tgetbings"), QStringList({"Default Bingo"}));
    ASSERT_TRUE(b.open(0, "count:3%cset1:Joe%cset3:Ann%"));   // set 2 missing: the list stops
    EXPECT_EQ(b.items("Tgetcset"), QStringList({"Default Caller", "Joe"}));
    ASSERT_TRUE(b.open(0, "count:99999999999%cset1:Joe%"));
    EXPECT_EQ(b.items("Tgetcset"), QStringList({"Default Caller"}));

    // A double-click beyond the list or with nothing selected.
    b.c().ChooseSet(0, 5);
    b.c().ChooseSet(0, -1);
    EXPECT_EQ(b.view.beeps, 2);
    EXPECT_EQ(b.view.messages, QStringList(2, QStringLiteral("You must select an item in the list before setting")));
}

TEST(Catalogue, FunBingoChoiceStoresQuantityAndShoutsRotate)
{
    CatalogueBed b;
    ASSERT_TRUE(b.open(1, "count:2%bset1:Party%bset1qty:3%bset2:Cheer%bset2qty:4%"));
    EXPECT_EQ(b.lastRequestLine(), QByteArray("GET /VexoBingo/blist.asp HTTP/1.1"));
    EXPECT_EQ(b.items("Tgetbings"), QStringList({"Default Bingo", "Party", "Cheer"}));
    b.view.questionAnswer = false;
    b.c().ChooseSet(1, 2);
    EXPECT_EQ(b.c().Settings.FunBingoSet, QStringLiteral("bset2"));
    EXPECT_EQ(b.c().Settings.FunBingoIndex, 1);
    EXPECT_EQ(b.c().Settings.FunBingoCount, 4);
    EXPECT_TRUE(b.settingsLine().contains("#V1:bset2#V2:1#"));
    EXPECT_TRUE(b.settingsLine().contains("#V4:4#"));
    EXPECT_FALSE(b.c().SoundMuted);

    for (int k = 1; k <= 4; ++k)
        b.writeFile(QStringLiteral("sounds/bset2%1.wav").arg(k), kWave);
    QStringList shouts;
    for (int i = 0; i < 4; ++i) {
        b.c().PlayBingoShout();
        shouts << QFileInfo(b.player.played.last()).fileName();
        b.player.finish();
    }
    EXPECT_EQ(shouts, QStringList({"bset22.wav", "bset23.wav", "bset24.wav", "bset21.wav"}));

    // An installed set asks first; keeping it downloads nothing.
    ASSERT_TRUE(b.open(1, "count:2%bset1:Party%bset1qty:3%bset2:Cheer%bset2qty:4%"));
    b.view.questionAnswer = true;
    const qsizetype requests = b.http.requests.size();
    b.c().ChooseSet(1, 2);
    EXPECT_TRUE(b.view.events.contains(
        QStringLiteral("question:Bingo Set Already Installed. Do you want to keep your current Version")));
    Spin(50);
    EXPECT_EQ(b.http.requests.size(), requests);

    // The default entry.
    ASSERT_TRUE(b.open(1, "count:0%"));
    b.c().ChooseSet(1, 0);
    EXPECT_EQ(b.c().Settings.FunBingoIndex, 0);
    EXPECT_EQ(b.c().Settings.FunBingoCount, 1);
}

TEST(Catalogue, AnnouncerDownloadReplacesTheFilesAndStartsTheInstaller)
{
    CatalogueBed b;
    b.writeFile(QStringLiteral("sounds/welcome.wav"), kWave);
    b.writeFile(QStringLiteral("sounds/Starting.wav"), kWave);
    b.writeFile(QStringLiteral("sounds/B12.wav"), kWave);
    ASSERT_TRUE(b.open(2, "count:2%aset1:Rosie%aset2:Max%"));
    EXPECT_EQ(b.items("Tgetaset"), QStringList({"Rosie", "Max"}));
    b.http.body = "#!/bin/sh\nexit 0\n";
    b.c().ChooseSet(2, 0);
    EXPECT_TRUE(b.c().SoundMuted);   // the announcer window stays open while it downloads
    EXPECT_EQ(b.view.text(QStringLiteral("Tgetaset.Label1")), QStringLiteral("Downloading. Please Wait..."));
    EXPECT_FALSE(b.view.visible(QStringLiteral("Tgetaset.Button1")));
    ASSERT_TRUE(WaitFor([&] { return !b.starts().isEmpty(); }));
    EXPECT_EQ(b.lastRequestLine(), QByteArray("GET /sounds/aset1.exe HTTP/1.1"));

    const QString installer = b.filePath(QStringLiteral("aset1.exe"));
    EXPECT_EQ(b.starts(), QStringList({QStringLiteral("start:") + installer + QLatin1Char(' ')}));
    EXPECT_EQ(b.readFile(QStringLiteral("aset1.exe")), b.http.body);
    EXPECT_EQ(QFile::permissions(installer) & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                               | QFileDevice::ReadGroup | QFileDevice::ExeOther),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(QFileInfo::exists(b.filePath(QStringLiteral("sounds/welcome.wav"))));
    EXPECT_FALSE(QFileInfo::exists(b.filePath(QStringLiteral("sounds/Starting.wav"))));
    EXPECT_TRUE(QFileInfo::exists(b.filePath(QStringLiteral("sounds/B12.wav"))));
    EXPECT_FALSE(b.view.visible(QStringLiteral("Tgetaset")));
    EXPECT_TRUE(b.view.visible(QStringLiteral("Tgetaset.Button1")));
    EXPECT_FALSE(b.c().SoundMuted);
}

TEST(Catalogue, SecondDownloadDeletesTheEarlierInstallerFirst)
{
    CatalogueBed b;
    // The earlier installer shares its contents with a second name: writing over it in
    // place would change both.
    b.writeFile(QStringLiteral("cset2.exe"), "old installer");
    ASSERT_EQ(::link(QFile::encodeName(b.filePath(QStringLiteral("cset2.exe"))).constData(),
                     QFile::encodeName(b.filePath(QStringLiteral("kept"))).constData()),
              0);
    ASSERT_TRUE(b.open(0, "count:2%cset1:Joe%cset2:Ann%"));
    b.http.body = "#!/bin/sh\nexit 0\n";
    b.c().ChooseSet(0, 2);
    ASSERT_TRUE(WaitFor([&] { return !b.starts().isEmpty(); }));
    EXPECT_EQ(b.lastRequestLine(), QByteArray("GET /sounds/cset2.exe HTTP/1.1"));
    EXPECT_EQ(b.readFile(QStringLiteral("kept")), QByteArray("old installer"));
    EXPECT_EQ(b.readFile(QStringLiteral("cset2.exe")), b.http.body);
    EXPECT_EQ(b.c().Settings.CallerSet, QStringLiteral("cs2"));
}

namespace {
// Answers the questions in turn from a list.
struct AnsweringView : RecordingView {
    QList<bool> answers;
    bool question(const QString& t) override
    {
        RecordingView::question(t);
        return answers.isEmpty() ? false : answers.takeFirst();
    }
};
}   // namespace

TEST(Catalogue, InstalledCallerSetIsKeptOrReplaced)
{
    CatalogueBed b;
    AnsweringView view;
    GameCore core(b.c().Config, &view, &b.clock, &b.player);
    QObject::disconnect(&b.player, nullptr, b.core.get(), nullptr);
    core.Settings = b.c().Settings;
    b.http.body = "count:2%cset1:Joe%cset2:Ann%";
    core.GetNewSounds1Click();
    ASSERT_TRUE(WaitFor([&] { return core.Catalogues[0].Entries == 3; }));
    for (const char* f : {"cs2O75.wav", "cs2B1.wav", "cs2b1a.wav", "cs2G60a.wav", "cs22.wav", "cs1O75.wav"})
        b.writeFile(QStringLiteral("sounds/") + QLatin1String(f), kWave);
    b.http.body = "#!/bin/sh\nexit 0\n";

    view.answers = {true};   // keep the current version: no download
    core.ChooseSet(0, 2);
    EXPECT_EQ(view.events.filter(QStringLiteral("question:")),
              QStringList({"question:This Caller is Already Installed. Do you want to keep your current Version"}));
    EXPECT_EQ(core.Settings.CallerSet, QStringLiteral("cs2"));
    Spin(50);
    EXPECT_EQ(b.http.requests.size(), 1);

    view.events.clear();
    view.answers = {false, true};   // replace it, and download
    core.ChooseSet(0, 2);
    ASSERT_TRUE(WaitFor([&] { return !view.events.filter(QStringLiteral("start:")).isEmpty(); }));
    EXPECT_EQ(view.events.filter(QStringLiteral("question:")).size(), 2);
    for (const char* f : {"cs2O75.wav", "cs2B1.wav", "cs2b1a.wav", "cs2G60a.wav"})
        EXPECT_FALSE(QFileInfo::exists(b.filePath(QStringLiteral("sounds/") + QLatin1String(f)))) << f;
    EXPECT_TRUE(QFileInfo::exists(b.filePath(QStringLiteral("sounds/cs22.wav"))));
    EXPECT_TRUE(QFileInfo::exists(b.filePath(QStringLiteral("sounds/cs1O75.wav"))));
}

TEST(Catalogue, TransferFailuresReportCloseAndUnmute)
{
    struct Case {
        QString host;
        int status;
        QString message;
    };
    CatalogueBed b;
    const QList<Case> cases = {
        {QStringLiteral("127.0.0.1:1"), 200, QStringLiteral("Error: Connection Failed")},
        {QString(), 200, QStringLiteral("Error: Invalid Host")},
        {b.http.host(), 500, QStringLiteral("Connection Failure")},
    };
    int expectedBeeps = 0;
    for (const Case& k : cases) {
        for (int kind : {0, 2}) {
            SCOPED_TRACE(k.message.toStdString() + " kind " + std::to_string(kind));
            b.c().Settings.WebHost = k.host;
            b.http.status = k.status;
            b.view.messages.clear();
            if (kind == 0)
                b.c().GetNewSounds1Click();
            else
                b.c().Get1Click();
            ASSERT_TRUE(b.transferDone(kind));
            EXPECT_EQ(b.view.messages, QStringList({k.message}));
            EXPECT_EQ(b.view.beeps, ++expectedBeeps);
            EXPECT_FALSE(b.c().SoundMuted);
            EXPECT_FALSE(b.view.visible(QLatin1String(kind == 0 ? "Tgetcset" : "Tgetaset")));
        }
    }
    // The fun-bingo window says nothing and stays open, still muted.
    b.view.messages.clear();
    b.c().GetFunBingos1Click();
    ASSERT_TRUE(b.transferDone(1));
    EXPECT_TRUE(b.view.messages.isEmpty());
    EXPECT_TRUE(b.c().SoundMuted);
    EXPECT_TRUE(b.view.visible(QStringLiteral("Tgetbings")));
    b.c().CatalogueCloseClick(1);
    EXPECT_FALSE(b.c().SoundMuted);
    EXPECT_FALSE(b.view.visible(QStringLiteral("Tgetbings")));

    // A download the server refuses: the installer is not started.
    b.c().Settings.WebHost = b.http.host();
    b.http.status = 200;
    ASSERT_TRUE(b.open(2, "count:1%aset1:Rosie%"));
    b.http.status = 404;
    b.c().ChooseSet(2, 0);
    ASSERT_TRUE(b.transferDone(2));
    EXPECT_TRUE(b.starts().isEmpty());
    EXPECT_EQ(b.view.messages.last(), QStringLiteral("Connection Failure"));
    EXPECT_FALSE(QFileInfo::exists(b.filePath(QStringLiteral("aset1.exe"))));
}
