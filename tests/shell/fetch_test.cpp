// The fetcher against a loopback web server: what it asks for, where the file lands, what
// shows or plays it, and the names and failures it turns away.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct Fetch : ::testing::Test {
    MiniHttp web;      // the file host
    MiniHttp images;   // the image host, for the ad spaces
    CoreTestbed bed;
    RecordingScreen& screen = bed.screen;
    QString shown(Picture place) const { return bed.screen.pictures.shown.value(place); }

    void SetUp() override
    {
        bed.writeFile(QStringLiteral("defaults.cfg"), "UN:p#SO:TRUE#V6:TRUE#\r\n");
        bed.remake();
        bed.create();
        web.body = "files:" + web.host().toLatin1() + "%imageurl:" + images.host().toLatin1() + "%";
        bed.c().signIn().LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), web.host(), false);
        ASSERT_TRUE(WaitFor([&] { return bed.c().signIn().directoryRead(); }));
        web.requests.clear();
        web.body = images.body = "GIF89a picture";
    }
    // The request line of the last request to the image host, once the fetch is over.
    QByteArray fetchedImage()
    {
        WaitFor([&] { return !bed.c().fetcher().busy(); });
        return images.requests.isEmpty() ? QByteArray() : images.requests.last().left(images.requests.last().indexOf('\r'));
    }
    // The request line of the last request, once the fetch is over.
    QByteArray fetched()
    {
        WaitFor([&] { return !bed.c().fetcher().busy(); });
        return web.requests.isEmpty() ? QByteArray() : web.requests.last().left(web.requests.last().indexOf('\r'));
    }
    QStringList leftovers() const
    {
        return QDir(bed.dir.path()).entryList({"*.tmp", ".tmp"}, QDir::Files | QDir::Hidden)
               + QDir(bed.filePath("sounds")).entryList({"*.tmp"}, QDir::Files);
    }
};

}   // namespace

TEST_F(Fetch, EachKindComesFromItsHostIntoItsPlaceAndIsShownOrPlayed)
{
    ScreenPictures& pictures = bed.c().pictures();
    pictures.ShowPatternPicture(QStringLiteral("pat99.gif"));
    EXPECT_EQ(fetched(), "GET /images/pat99.gif HTTP/1.1");
    EXPECT_TRUE(shown(Picture::Pattern).endsWith("pat99.gif"));
    EXPECT_EQ(bed.readFile("pat99.gif"), "GIF89a picture");

    pictures.ShowAdSpace1(QStringLiteral("Ad.JPG"));   // the ad spaces come from the image host
    EXPECT_EQ(fetchedImage(), "GET /images/Ad.JPG HTTP/1.1");
    EXPECT_EQ(web.requests.size(), 1);
    EXPECT_TRUE(shown(Picture::Logo).endsWith("Ad.JPG"));
    pictures.ShowWinnersBackdrop(QStringLiteral("box.gif"));   // the winners window's own picture
    EXPECT_EQ(fetched(), "GET /images/box.gif HTTP/1.1");
    EXPECT_TRUE(shown(Picture::WinnersBackdrop).endsWith("box.gif"));

    pictures.FetchFile(QStringLiteral("ding.wav"), FetchKind::Sound);
    EXPECT_EQ(fetched(), "GET /sounds/ding.wav HTTP/1.1");
    EXPECT_TRUE(WaitFor([&] { return bed.player.played.value(0).endsWith("sounds/ding.wav"); }));
    EXPECT_EQ(bed.readFile("sounds/ding.wav"), "GIF89a picture");

    // A name without a dot is judged by its first three letters and goes through ".tmp".
    pictures.FetchFile(QStringLiteral("gifts"), FetchKind::Picture, Picture::BingoBanner);
    EXPECT_EQ(fetched(), "GET /images/gifts HTTP/1.1");
    EXPECT_TRUE(QFile::exists(bed.filePath("gifts")) && leftovers().isEmpty() && !screen.dialogs.downloadShown);
    EXPECT_TRUE(screen.dialogs.downloadName == "gifts" && screen.dialogs.downloadProgress == 100);

    // Requests that come while a fetch runs wait their turn, each once; every one ends under its own name.
    pictures.FetchFile(QStringLiteral("one.gif"), FetchKind::Picture, Picture::BingoBanner);
    pictures.FetchFile(QStringLiteral("two.gif"), FetchKind::AdSpace2, Picture::Advert);
    pictures.FetchFile(QStringLiteral("one.gif"), FetchKind::Picture, Picture::BingoBanner);
    EXPECT_EQ(fetchedImage(), "GET /images/two.gif HTTP/1.1");
    EXPECT_TRUE(web.requests.size() == 5 && images.requests.size() == 2);
    EXPECT_TRUE(shown(Picture::BingoBanner).endsWith("one.gif") && shown(Picture::Advert).endsWith("two.gif"));

    // Sixteen wait while one runs; more are not taken.
    for (int k = 0; k < 18; ++k)
        pictures.FetchFile(QStringLiteral("q%1.gif").arg(k), FetchKind::Picture);
    fetched();
    EXPECT_EQ(web.requests.size(), 5 + 1 + Fetcher::kMaxWaiting);
    EXPECT_EQ(Fetcher::kMaxWaiting, 16);
}

TEST_F(Fetch, NamesItDoesNotTakeAndFailuresPerKind)
{
    ScreenPictures& pictures = bed.c().pictures();
    const int before = web.requests.size();
    for (const char* name : {"a.jpeg", "a.b.gif", "a.gif/../../x.gif", "../x.gif", ".hidden.gif", "C:x.gif"})
        pictures.FetchFile(QString::fromLatin1(name), FetchKind::Picture, Picture::BingoBanner);
    bed.c().sounds().TurnSoundOff();
    pictures.FetchFile(QStringLiteral("quiet.wav"), FetchKind::Sound);
    Spin(100);
    EXPECT_EQ(web.requests.size(), before);
    EXPECT_FALSE(screen.dialogs.downloadShown || QFile::exists(bed.filePath("../x.gif")));

    web.status = 404;
    pictures.ShowPatternPicture(QStringLiteral("pat77.gif"));
    fetched();
    EXPECT_TRUE(shown(Picture::Pattern).endsWith("NAgrid.gif"));
    images.status = 404;
    pictures.ShowAdSpace2(QStringLiteral("ad2.gif"));   // the second ad space fails quietly
    fetchedImage();
    pictures.ShowAdSpace1(QStringLiteral("ad1.gif"));
    fetchedImage();
    EXPECT_EQ(screen.player.messages, QStringList{"Unable to Receive Image File: ad1.gif"});
    EXPECT_TRUE(leftovers().isEmpty() && !QFile::exists(bed.filePath("ad1.gif")));
}

// The temporary files of fetches a killed client left in the writable folder and its sounds
// are gone once a core is made there; other files ending in ".tmp" stay.
TEST_F(Fetch, TheTemporaryFilesOfAKilledClientAreRemovedWhenTheCoreStarts)
{
    for (const char* stale : {"grid.tmp", ".tmp", "sounds/ding.tmp"})
        bed.writeFile(QString::fromLatin1(stale), "half a file");
    bed.writeFile(QStringLiteral("notes.old.tmp"), "the player's");
    ASSERT_EQ(leftovers().size(), 4);
    bed.remake();
    EXPECT_EQ(leftovers(), QStringList{"notes.old.tmp"});
    EXPECT_EQ(bed.readFile("notes.old.tmp"), "the player's");
}

// A fetched file takes the old copy's place, in the same or another letter case, and no
// temporary file stays. When the new file cannot be put in place (here its temporary file
// is gone, as when another copy of the client starts in the same folder) the old copy stays.
TEST_F(Fetch, AFetchReplacesTheOldCopyInOneStepAndAFailedOneLosesNothing)
{
    ScreenPictures& pictures = bed.c().pictures();
    const auto copies = [&](const char* name) { return QDir(bed.dir.path()).entryList({name}, QDir::Files); };
    const std::pair<const char*, const char*> replaced[] = {{"pat1.gif", "pat1.gif"}, {"PAT2.GIF", "pat2.gif"}};
    for (const auto& [old, name] : replaced) {
        bed.writeFile(old, "old picture");
        pictures.FetchFile(name, FetchKind::Picture, Picture::BingoBanner);
        EXPECT_EQ(fetched(), "GET /images/" + QByteArray(name) + " HTTP/1.1");
        EXPECT_EQ(copies(name), QStringList{name});
        EXPECT_EQ(bed.readFile(name), "GIF89a picture") << name;
        EXPECT_TRUE(leftovers().isEmpty()) << name;
    }
    screen.dialogs.onHideDownload = [&] {
        for (const char* temporary : {"pat3.tmp", "pat4.tmp"})
            QFile::remove(bed.filePath(temporary));
    };
    const std::pair<const char*, const char*> kept[] = {{"pat3.gif", "pat3.gif"}, {"PAT4.GIF", "pat4.gif"}};
    for (const auto& [old, name] : kept) {
        bed.writeFile(old, "old picture");
        pictures.FetchFile(name, FetchKind::Picture, Picture::BingoBanner);
        fetched();
        EXPECT_EQ(copies(name), QStringList{old});
        EXPECT_EQ(bed.readFile(old), "old picture") << name;
        EXPECT_EQ(screen.player.messages.value(0), "Unable to Receive Image File: " + QString::fromLatin1(name));
        screen.player.messages.clear();
    }
}
