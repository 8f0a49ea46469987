// The set windows through the core against a one-page web server: the list, the
// player's choice in the settings file, and the download and start of a set's installer.
// The server answers every request with the list, so an installer downloaded holds those bytes.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Answers the questions in turn from a list, then "no".
struct AnsweringView : RecordingView {
    QList<bool> answers;
    bool question(const QString& t) override
    {
        return RecordingView::question(t) && !answers.isEmpty() && answers.takeFirst();
    }
};

struct Sets : ::testing::Test {
    AnsweringView view;   // outlives the core it is given
    MiniHttp http;
    CoreTestbed bed;
    void SetUp() override { start(http.host()); }
    // A started core whose web host (from the settings file) is `webHost`; sets download from the test's server.
    void start(const QString& webHost)
    {
        bed.writeFile(QStringLiteral("defaults.cfg"), "WS:" + webHost.toLatin1() + "#SO:TRUE#\r\n");
        bed.config.downloadSite = http.host();
        bed.remake(&view);
        bed.create();
    }
    SetCatalogue& set(SetKind kind) { return bed.c().catalogue(kind); }
    QStringList items(SetKind kind) { return view.controls.value(set(kind).window() + ".ListBox1").items; }
    // The window's menu item, and its list arriving.
    bool open(SetKind kind, const QByteArray& reply)
    {
        http.body = reply;
        view.controls[set(kind).window() + QStringLiteral(".ListBox1")].items = QStringList{QStringLiteral("?")};
        set(kind).Open();
        return WaitFor([&] { return items(kind) != QStringList{QStringLiteral("?")}; });
    }
    // Opens the window on this list and double-clicks entry `index`, giving these answers to the questions.
    bool choose(SetKind kind, const QByteArray& list, int index, const QList<bool>& answers = {})
    {
        const bool listed = open(kind, list);
        view.answers = answers;
        set(kind).ChooseSet(index);
        return listed;
    }
    bool idle(SetKind kind) { return WaitFor([&] { return set(kind).state() == SetCatalogue::State::Idle; }); }
    bool muted() { return bed.c().sounds().muted(); }
    QByteArray lastRequest() const { return http.requests.value(http.requests.size() - 1).split('\r').value(0); }
    bool saved(const char* text) const { return bed.readFile(QStringLiteral("defaults.cfg")).contains(text); }
    bool exists(const QString& file) const { return QFileInfo::exists(bed.filePath(file)); }
};

}   // namespace

TEST_F(Sets, ListsHoldTheSetsTheReplyNamesUpToTheFirstOneMissing)
{
    const std::tuple<SetKind, QByteArray, QStringList> cases[] = {
        {SetKind::Caller, "count:2%cset1:Joe%cset2:Ann%cset1:Bob%", {"Default Caller", "Joe", "Ann"}},
        {SetKind::Caller, "count:3%cset1:Joe%cset3:Ann%", {"Default Caller", "Joe"}},
        {SetKind::Caller, "count:99999999999%cset1:Joe%", {"Default Caller"}},
        {SetKind::Caller, "count:2%cset1:" + QByteArray(1023, 'x') + "%cset2:" + QByteArray(1024, 'x') + "%",
         {"Default Caller", QString(1023, 'x'), ""}},   // a value ends at its "%" within 1024 characters
        {SetKind::FunBingo, "count:x%bset1:A%", {"Default Bingo"}},
        {SetKind::Announcer, "count:2%aset1:Rosie%aset2:Max%", {"Rosie", "Max"}},
    };
    const char* const script[] = {"clist", "blist", "alist"};   // by kind
    for (const auto& [kind, reply, expected] : cases) {
        ASSERT_TRUE(open(kind, reply));
        EXPECT_EQ(items(kind), expected) << reply.left(40).constData();
        EXPECT_EQ(lastRequest(), QByteArray("GET /VexoBingo/") + script[int(kind)] + ".asp HTTP/1.1");
    }
    // A double-click beyond the list, or with nothing selected.
    set(SetKind::Announcer).ChooseSet(2);
    set(SetKind::Announcer).ChooseSet(-1);
    EXPECT_EQ(view.messages, QStringList(2, QStringLiteral("You must select an item in the list before setting")));
}

TEST_F(Sets, TheCallerWindowMutesTheGameSavesTheChoiceAndReplacesAnInstalledCallerOnlyWhenAsked)
{
    const QByteArray list = "count:2%cset1:Joe%cset2:Ann%";
    ASSERT_TRUE(open(SetKind::Caller, list));
    EXPECT_TRUE(muted() && view.visible("Tgetcset") && view.visible("Tgetcset.Button1"));
    set(SetKind::Caller).ChooseSet(2);   // "no" to the download: the choice is saved all the same
    EXPECT_EQ(view.events.filter("question:"), QStringList({"question:Press YES to begin downloading new Sounds"}));
    EXPECT_TRUE(saved("#V3:cs2#") && !muted() && !view.visible(QStringLiteral("Tgetcset")));

    for (const char* f : {"cs2O75.wav", "cs2B1.wav", "cs2b1a.wav", "cs2G60a.wav", "cs22.wav", "cs1O75.wav"})
        bed.writeFile(QStringLiteral("sounds/") + QLatin1String(f), "RIFF");
    // The earlier installer links to another file: writing over it in place would change that file.
    bed.writeFile(QStringLiteral("kept"), "old installer");
    ASSERT_TRUE(QFile::link(bed.filePath(QStringLiteral("kept")), bed.filePath(QStringLiteral("cset2.exe"))));
    ASSERT_TRUE(choose(SetKind::Caller, list, 2, {true}));   // keep the version installed
    EXPECT_EQ(view.events.filter(QStringLiteral("question:")).last(),
              "question:This Caller is Already Installed. Do you want to keep your current Version");
    ASSERT_TRUE(choose(SetKind::Caller, list, 2, {false, true}));   // replace it, and download
    ASSERT_TRUE(idle(SetKind::Caller));
    EXPECT_TRUE(lastRequest() == "GET /sounds/cset2.exe HTTP/1.1" && http.requests.size() == 4);
    EXPECT_TRUE(bed.readFile("kept") == "old installer" && bed.readFile("cset2.exe") == list);
    for (const char* f : {"cs2O75.wav", "cs2B1.wav", "cs2b1a.wav", "cs2G60a.wav"})
        EXPECT_FALSE(exists(QStringLiteral("sounds/") + QLatin1String(f))) << f;
    EXPECT_TRUE(exists(QStringLiteral("sounds/cs22.wav")) && exists(QStringLiteral("sounds/cs1O75.wav")));
    ASSERT_TRUE(choose(SetKind::Caller, list, 0));   // the default caller
    EXPECT_TRUE(saved("#V3:#"));
}

TEST_F(Sets, AFunBingoChoiceSavesTheSetAndItsNumberOfShouts)
{
    const QByteArray list = "count:3%bset1:Party%bset1qty:3%bset2:Cheer%bset2qty:4%bset3:Odd%bset3qty:x%";
    ASSERT_TRUE(choose(SetKind::FunBingo, list, 2));
    EXPECT_TRUE(saved("#V1:bset2#V2:1#") && saved("#V4:4#"));
    ASSERT_TRUE(choose(SetKind::FunBingo, list, 3));   // a number of shouts that is no number: one shout
    EXPECT_TRUE(saved("#V1:bset3#V2:1#") && saved("#V4:1#"));

    bed.writeFile(QStringLiteral("sounds/bset21.wav"), "RIFF");
    ASSERT_TRUE(choose(SetKind::FunBingo, list, 2, {true}));   // installed already: keep it, download nothing
    EXPECT_TRUE(view.events.contains("question:Bingo Set Already Installed. Do you want to keep your current Version"));
    ASSERT_TRUE(choose(SetKind::FunBingo, list, 0));
    EXPECT_TRUE(saved("#V1:#V2:0#") && saved("#V4:1#"));
    Spin(50);
    EXPECT_EQ(http.requests.size(), 4);

    // Reopened while a download runs, the window shows it and keeps Close; its end gives the list back.
    ASSERT_TRUE(choose(SetKind::FunBingo, list, 1, {true}));
    set(SetKind::FunBingo).Open();
    const auto c = [&](const char* control) { return view.controls.value(QStringLiteral("Tgetbings.") + control); };
    EXPECT_TRUE(c("Label1").text == "Downloading. Please Wait..." && !c("ListBox1").enabled && c("Button1").visible);
    ASSERT_TRUE(idle(SetKind::FunBingo));
    EXPECT_TRUE(c("ListBox1").enabled && c("Button1").visible);
}

TEST_F(Sets, AnAnnouncerDownloadReplacesTheGreetingsAndStartsTheInstaller)
{
    for (const char* f : {"welcome.wav", "Starting.wav", "B12.wav"})
        bed.writeFile(QStringLiteral("sounds/") + QLatin1String(f), "RIFF");
    const QByteArray list = "count:2%aset1:Rosie%aset2:Max%";
    ASSERT_TRUE(choose(SetKind::Announcer, list, 0, {true}));
    // The window stays open while it downloads.
    EXPECT_TRUE(muted() && !view.visible(QStringLiteral("Tgetaset.Button1"))
                && view.text(QStringLiteral("Tgetaset.Label1")) == "Downloading. Please Wait...");
    ASSERT_TRUE(idle(SetKind::Announcer));

    // The installer is the file the server sent (its name on the server is the caller test's).
    const QString installer = bed.filePath(QStringLiteral("aset1.exe"));
    EXPECT_EQ(view.events.filter("start:"), QStringList({"start:" + installer + ' '}));
    EXPECT_EQ(bed.readFile(QStringLiteral("aset1.exe")), list);
    const auto rwx = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    EXPECT_EQ(QFile::permissions(installer) & (rwx | QFileDevice::ReadGroup | QFileDevice::ExeOther), rwx);
    EXPECT_TRUE(!exists("sounds/welcome.wav") && !exists("sounds/Starting.wav") && exists("sounds/B12.wav"));
    EXPECT_TRUE(!view.visible("Tgetaset") && !muted() && view.visible("Tgetaset.Button1"));
}

TEST_F(Sets, TransferFailuresAreReportedAndCloseTheWindowSaveTheFunBingosOne)
{
    const std::tuple<QString, int, QString> cases[] = {
        {QStringLiteral("127.0.0.1:1"), 200, QStringLiteral("Error: Connection Failed")},   // nobody listens
        {QStringLiteral("bad host"), 200, QStringLiteral("Error: Invalid Host")},
        {http.host(), 500, QStringLiteral("Connection Failure")},
    };
    for (const auto& [host, status, message] : cases) {
        start(host);
        http.status = status;
        for (SetKind kind : {SetKind::Caller, SetKind::Announcer, SetKind::FunBingo}) {
            SCOPED_TRACE((message + QLatin1Char(' ') + set(kind).window()).toStdString());
            view.messages.clear();
            set(kind).Open();
            ASSERT_TRUE(idle(kind));
            const bool funBingo = kind == SetKind::FunBingo;   // says nothing and stays open, muted
            EXPECT_EQ(view.messages, funBingo ? QStringList() : QStringList({message}));
            EXPECT_TRUE(muted() == funBingo && view.visible(set(kind).window()) == funBingo);
            set(kind).CloseClick();
            EXPECT_FALSE(muted() || view.visible(set(kind).window()));
        }
    }
    // A download the server refuses (the list as if it had come): no installer is left or started.
    set(SetKind::Announcer).FillCatalogue("count:1%aset1:Rosie%");
    view.answers = {true};
    set(SetKind::Announcer).ChooseSet(0);
    ASSERT_TRUE(idle(SetKind::Announcer));
    EXPECT_TRUE(view.events.filter(QStringLiteral("start:")).isEmpty() && !exists(QStringLiteral("aset1.exe")));
    EXPECT_EQ(view.messages.last(), "Connection Failure");
}
