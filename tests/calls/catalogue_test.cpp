// The set windows through the core against a one-page web server: the list, the
// player's choice in the settings file, and the download and unpacking of a set's package.
// The server answers every request with one body: the list, then the package once the list is in.
#include "calls/setcatalogue.h"
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

namespace {

// A gzip tar of these files; a size beyond a file's data is filled with zeros.
struct TarFile {
    const char* name;
    QByteArray data;
    qint64 size = -1;
};
QByteArray Tar(const QList<TarFile>& files)
{
    QByteArray out;
    archive* a = archive_write_new();
    archive_write_set_format_ustar(a);
    archive_write_add_filter_gzip(a);
    archive_write_open(a, &out, nullptr, [](archive*, void* o, const void* b, size_t n) {
        static_cast<QByteArray*>(o)->append(static_cast<const char*>(b), qsizetype(n));
        return la_ssize_t(n);
    }, nullptr);
    for (const TarFile& f : files) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, f.name);
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_size(e, f.size < 0 ? f.data.size() : f.size);
        archive_write_header(a, e);
        archive_write_data(a, f.data.constData(), size_t(f.data.size()));
        archive_entry_free(e);
    }
    archive_write_free(a);
    return out;
}

// A tar block made by hand, for headers the writer above will not make: the ustar
// fields in octal and the checksum over the block; and bytes padded to whole blocks.
QByteArray Block(const QByteArray& name, char type, qint64 size)
{
    QByteArray h(512, '\0');
    const auto put = [&h](int at, const QByteArray& field) { h.replace(at, field.size(), field); };
    put(0, name);
    put(100, "0000644");
    put(108, "0000000");
    put(116, "0000000");
    put(124, QByteArray::number(size, 8).rightJustified(11, '0'));
    put(136, "00000000000");
    h[156] = type;
    put(257, QByteArray("ustar\0" "00", 8));
    put(148, "        ");
    int sum = 0;
    for (char c : h)
        sum += static_cast<unsigned char>(c);
    put(148, QByteArray::number(sum, 8).rightJustified(6, '0') + '\0');
    return h;
}
QByteArray Padded(QByteArray data)
{
    data.append(QByteArray((512 - data.size() % 512) % 512, '\0'));
    return data;
}
// Folder headers d1/ ... dn/.
QByteArray Folders(int n)
{
    QByteArray t;
    for (int i = 1; i <= n; ++i)
        t += Block("d" + QByteArray::number(i) + '/', '5', 0);
    return t;
}
// A pax extended header holding one comment of n bytes, for the entry after it.
QByteArray PaxComment(int n)
{
    const QByteArray body = " comment=" + QByteArray(n, 'c') + '\n';
    int length = int(body.size());
    while (QByteArray::number(length).size() + body.size() != length)
        length = int(QByteArray::number(length).size() + body.size());
    return Block("pax", 'x', length) + Padded(QByteArray::number(length) + body);
}
// These tar blocks, ended and gzip-compressed.
QByteArray Gzip(const QByteArray& tar)
{
    const QByteArray whole = tar + QByteArray(1024, '\0');
    QByteArray out;
    archive* a = archive_write_new();
    archive_write_set_format_raw(a);
    archive_write_add_filter_gzip(a);
    archive_write_open(a, &out, nullptr, [](archive*, void* o, const void* b, size_t n) {
        static_cast<QByteArray*>(o)->append(static_cast<const char*>(b), qsizetype(n));
        return la_ssize_t(n);
    }, nullptr);
    archive_entry* e = archive_entry_new();
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_size(e, whole.size());
    archive_write_header(a, e);
    archive_write_data(a, whole.constData(), size_t(whole.size()));
    archive_entry_free(e);
    archive_write_free(a);
    return out;
}

const char* const kWindows[] = {"callers", "fun bingos", "announcers"};   // by kind

struct Sets : ::testing::Test {
    MiniHttp http;
    CoreTestbed bed;
    RecordingScreen& screen = bed.screen;
    PlayerRecord& player = screen.player;
    void SetUp() override
    {
        player.questionAnswer = false;   // the questions get the answers each step gives, then "no"
        start(http.host());
    }
    // A started core whose web host (from the settings file) is `webHost`; sets download from the test's server.
    void start(const QString& webHost)
    {
        bed.writeFile(QStringLiteral("defaults.cfg"), "WS:" + webHost.toLatin1() + "#SO:TRUE#\r\n");
        bed.config.downloadSite = http.host();
        bed.remake();
        bed.create();
    }
    SetCatalogue& set(SetKind kind) { return bed.c().catalogue(kind); }
    SetsRecord::Window& window(SetKind kind) { return screen.sets[kind]; }
    QStringList items(SetKind kind) { return window(kind).items; }
    // The window's menu item, and its list arriving.
    bool open(SetKind kind, const QByteArray& reply)
    {
        http.body = reply;
        window(kind).items = QStringList{QStringLiteral("?")};
        set(kind).Open();
        return WaitFor([&] { return items(kind) != QStringList{QStringLiteral("?")}; });
    }
    // Opens the window on this list and double-clicks entry `index`, giving these answers to the questions;
    // a download then gets `package` (or the list again).
    bool choose(SetKind kind, const QByteArray& list, int index, const QList<bool>& answers = {},
                const QByteArray& package = {})
    {
        const bool listed = open(kind, list);
        if (!package.isEmpty())
            http.body = package;
        player.answers = answers;
        set(kind).ChooseSet(index);
        return listed;
    }
    bool idle(SetKind kind) { return WaitFor([&] { return set(kind).state() == SetCatalogue::State::Idle; }); }
    bool muted() { return bed.c().sounds().muted(); }
    QByteArray lastRequest() const { return http.requests.value(http.requests.size() - 1).split('\r').value(0); }
    bool saved(const char* text) const { return bed.readFile(QStringLiteral("defaults.cfg")).contains(text); }
    bool exists(const QString& file) const { return QFileInfo::exists(bed.filePath(file)); }
    QStringList sounds() const { return QDir(bed.filePath(QStringLiteral("sounds"))).entryList(QDir::Files); }
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
    EXPECT_EQ(player.messages, QStringList(2, QStringLiteral("You must select an item in the list before setting")));
}

TEST_F(Sets, TheCallerWindowMutesTheGameSavesTheChoiceAndReplacesAnInstalledCallerOnlyWhenAsked)
{
    const QByteArray list = "count:2%cset1:Joe%cset2:Ann%";
    ASSERT_TRUE(open(SetKind::Caller, list));
    EXPECT_TRUE(muted() && window(SetKind::Caller).shown && window(SetKind::Caller).closeShown);
    set(SetKind::Caller).ChooseSet(2);   // "no" to the download: the choice is saved all the same
    EXPECT_EQ(screen.events.filter("question:"), QStringList({"question:Press YES to begin downloading new Sounds"}));
    EXPECT_TRUE(saved("#V3:cs2#") && !muted() && !window(SetKind::Caller).shown);

    for (const char* f : {"cs2O75.wav", "cs2B1.wav", "cs2b1a.wav", "cs2G60a.wav", "cs22.wav", "cs1O75.wav"})
        bed.writeFile(QStringLiteral("sounds/") + QLatin1String(f), "RIFF");
    bed.writeFile(QStringLiteral("cset2.exe"), "an installer of an earlier version");
    ASSERT_TRUE(choose(SetKind::Caller, list, 2, {true}));   // keep the version installed
    EXPECT_EQ(screen.events.filter(QStringLiteral("question:")).last(),
              "question:This Caller is Already Installed. Do you want to keep your current Version");
    // Replace it, and download: the old set's voices go, the new ones come, other sets stay.
    ASSERT_TRUE(choose(SetKind::Caller, list, 2, {false, true}, Tar({{"cs2B1.wav", "new B1"}, {"cs2O75.wav", "O"}})));
    ASSERT_TRUE(idle(SetKind::Caller));
    EXPECT_TRUE(lastRequest() == "GET /sounds/cset2.exe HTTP/1.1" && http.requests.size() == 4);
    EXPECT_EQ(window(SetKind::Caller).progress, 100);
    EXPECT_EQ(sounds(), QStringList({"cs1O75.wav", "cs22.wav", "cs2B1.wav", "cs2O75.wav"}));
    EXPECT_TRUE(bed.readFile("sounds/cs2B1.wav") == "new B1" && !exists("cset2.exe") && player.messages.isEmpty());
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
    EXPECT_TRUE(
        screen.events.contains("question:Bingo Set Already Installed. Do you want to keep your current Version"));
    ASSERT_TRUE(choose(SetKind::FunBingo, list, 0));
    EXPECT_TRUE(saved("#V1:#V2:0#") && saved("#V4:1#"));
    Spin(50);
    EXPECT_EQ(http.requests.size(), 4);

    // Reopened while a download runs, the window shows it and keeps Close; its end gives the list back.
    ASSERT_TRUE(choose(SetKind::FunBingo, list, 1, {true}));
    set(SetKind::FunBingo).Open();
    const SetsRecord::Window& w = window(SetKind::FunBingo);
    EXPECT_TRUE(w.message == "Downloading. Please Wait..." && !w.listEnabled && w.closeShown);
    ASSERT_TRUE(idle(SetKind::FunBingo));
    EXPECT_TRUE(w.listEnabled && w.closeShown);
}

// A whole package replaces the greetings in the sounds folder and runs nothing; a refused one
// leaves every sound as it was, and the player is told why.
TEST_F(Sets, AnAnnouncerPackageReplacesTheGreetingsOnlyWhenItIsWholeAndRunsNothing)
{
    const QStringList before{"B12.wav", "Starting.wav", "welcome.wav"};
    const std::pair<QByteArray, const char*> cases[] = {   // why it is refused; "" for the whole one, last
        {Tar({{"welcome.wav", "hello"}, {"../x.wav", "RIFF"}}), "a file it may not: ../x.wav"},
        {Tar({{"welcome.wav", "hello"}, {"huge.wav", {}, 100 * 1024 * 1024}}), "a file that is too large: huge.wav"},
        {Tar({}), "no sounds"},
        {"#!/bin/sh\nrm -rf ~\n", "not a readable archive"},
        // One name twice, or in two letter cases: the folder would hold one file for both.
        {Tar({{"welcome.wav", "hello"}, {"welcome.wav", "again"}}), "names a file twice: welcome.wav"},
        {Tar({{"welcome.wav", "hello"}, {"WELCOME.wav", "again"}}), "names a file twice: WELCOME.wav"},
        // "b12.wav" is a name already there in another letter case: it takes that file's place.
        {Tar({{"welcome.wav", "hello"}, {"b12.wav", "twelve"}, {"saleson.wav", "s"}}), ""},
    };
    for (const QString& f : before)
        bed.writeFile("sounds/" + f, "RIFF");
    for (const auto& [package, why] : cases) {
        player.messages.clear();
        ASSERT_TRUE(choose(SetKind::Announcer, "count:2%aset1:Rosie%aset2:Max%", 0, {true}, package));
        // The window stays open while it downloads.
        const SetsRecord::Window& w = window(SetKind::Announcer);
        EXPECT_TRUE(muted() && !w.closeShown && w.message == "Downloading. Please Wait...") << why;
        ASSERT_TRUE(idle(SetKind::Announcer));
        EXPECT_EQ(lastRequest(), "GET /sounds/aset1.exe HTTP/1.1");
        EXPECT_EQ(sounds(), *why ? before : QStringList({"b12.wav", "saleson.wav", "welcome.wav"})) << why;
        EXPECT_EQ(bed.readFile("sounds/welcome.wav"), *why ? "RIFF" : "hello") << why;
        EXPECT_TRUE(!w.shown && !muted() && w.closeShown) << why;
        EXPECT_EQ(player.messages.size(), *why ? 1 : 0) << why;
        const QString told = player.messages.value(0);
        EXPECT_TRUE(!*why || (told.startsWith("The sound set could not be installed: the package ")
                              && told.endsWith(QLatin1String(why)))) << told.toStdString();
    }
    EXPECT_EQ(bed.readFile("sounds/b12.wav"), "twelve");   // from the last package, the whole one
    EXPECT_TRUE(screen.system.started.isEmpty() && !exists("aset1.exe"));
}

// A package is read only so far: every header counts against the entries allowed, folders
// too, and the unpacked archive is capped, extended headers and all. A flood of folder
// headers, a few hundred bytes of gzip, is refused at the first header past the limit.
TEST(Packages, EveryHeaderCountsAndTheUnpackedArchiveIsCapped)
{
    PackageLimits limits;
    limits.maxEntries = 4;
    limits.maxEntryBytes = limits.maxTotalBytes = 1024;
    limits.suffix = QStringLiteral(".wav");
    const QByteArray file = Block("a.wav", '0', 5) + Padded("hello");
    const std::pair<QByteArray, const char*> cases[] = {   // why it is refused; "" when taken
        {Folders(3) + file, ""},
        {Folders(4) + file, "holds too many entries"},
        {PaxComment(16 * 1024) + file, ""},
        {PaxComment(int(UnpackedCap(limits))) + file, "is too large unpacked"},
    };
    for (const auto& [tar, why] : cases) {
        const Package package = ReadPackage(Gzip(tar), limits);
        EXPECT_EQ(package.error, *why ? QStringLiteral("the package ") + why : QString()) << why;
        EXPECT_EQ(package.entries.size(), *why ? 0 : 1) << why;
        EXPECT_EQ(package.entries.value(0).data, *why ? "" : "hello") << why;
    }
    const PackageLimits set = SetPackageLimits();
    EXPECT_EQ(ReadPackage(Gzip(Folders(set.maxEntries + 1)), set).error, "the package holds too many entries");
    // A set package holds up to 256 sounds: the 257th refuses it.
    QByteArray sounds;
    for (int i = 1; i <= 256; ++i)
        sounds += Block("s" + QByteArray::number(i) + ".wav", '0', 1) + Padded("x");
    const Package full = ReadPackage(Gzip(sounds), set);
    EXPECT_TRUE(full.ok && full.entries.size() == 256) << full.error.toStdString();
    const Package over = ReadPackage(Gzip(sounds + Block("s257.wav", '0', 1) + Padded("x")), set);
    EXPECT_TRUE(!over.ok && over.error == "the package holds too many entries" && over.entries.isEmpty());
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
            SCOPED_TRACE(message.toStdString() + ' ' + kWindows[int(kind)]);
            player.messages.clear();
            set(kind).Open();
            ASSERT_TRUE(idle(kind));
            const bool funBingo = kind == SetKind::FunBingo;   // says nothing and stays open, muted
            EXPECT_EQ(player.messages, funBingo ? QStringList() : QStringList({message}));
            EXPECT_TRUE(muted() == funBingo && window(kind).shown == funBingo);
            set(kind).CloseClick();
            EXPECT_FALSE(muted() || window(kind).shown);
        }
    }
    // A download the server refuses (the list as if it had come): nothing is written.
    set(SetKind::Announcer).FillCatalogue("count:1%aset1:Rosie%");
    player.answers = {true};
    set(SetKind::Announcer).ChooseSet(0);
    ASSERT_TRUE(idle(SetKind::Announcer));
    EXPECT_TRUE(sounds().isEmpty() && !exists(QStringLiteral("aset1.exe")));
    EXPECT_EQ(player.messages.last(), "Connection Failure");
}
