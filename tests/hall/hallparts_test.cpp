// The hall's pure parts: request texts, money, accounts, the HTTP request parser, static
// file names, catalogues and the judging of a draw.
#include "accounts.h"
#include "gameserver.h"
#include "hallclient.h"
#include "hallwire.h"
#include "httprequest.h"
#include "webservice.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace hallwire;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

TEST(HallRequests, LoginAndPurchaseLinesSplitAtTheirMarkers)
{
    const auto login = ParseLogin("PQZ!G6demo#!PWbin#go#!ADQZWIN466#!LAEN#");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->user, "demo");
    EXPECT_EQ(login->password, "bin#go");   // values are not escaped
    EXPECT_EQ(login->tag, "QZWIN466");
    EXPECT_EQ(login->language, "EN");
    EXPECT_FALSE(ParseLogin("PQZ!G6demo#!PWbingo#!LAEN#"));
    EXPECT_FALSE(ParseLogin("PQZ!G7demo#!PWx#!ADy#!LAz#"));

    const auto purchase = ParsePurchase("PQZ!B7demo#!PWbingo#!ADQZWIN466#!AT1003#!SKLucky Star#!NC3#!LAEN#");
    ASSERT_TRUE(purchase);
    EXPECT_EQ(purchase->user, "demo");
    EXPECT_EQ(purchase->selection, "1003");
    EXPECT_EQ(purchase->alias, "Lucky Star");
    EXPECT_EQ(purchase->faces, "3");
    EXPECT_EQ(purchase->language, "EN");
    EXPECT_FALSE(ParsePurchase("PQZ!B7demo#!PWbingo#!ADQZWIN466#!AT1003#!NC3#!LAEN#"));

    EXPECT_EQ(ParseWinnersRequest("PQZ!GS100004##").value_or("?"), "100004");
    EXPECT_FALSE(ParseWinnersRequest("PQZ!GS10x004##"));
    EXPECT_FALSE(ParseWinnersRequest("PQZ!GS1000"));
}

TEST(HallRequests, MoneyTextsRoundTripAndRejectJunk)
{
    EXPECT_EQ(FormatMoney(25000), "250.00");
    EXPECT_EQ(FormatMoney(5), "0.05");
    EXPECT_EQ(FormatMoney(0), "0.00");
    EXPECT_EQ(ParseMoney("250").value_or(-1), 25000);
    EXPECT_EQ(ParseMoney("0.5").value_or(-1), 50);
    EXPECT_EQ(ParseMoney("12.34").value_or(-1), 1234);
    for (const char* bad : {"", "-1.00", "1.234", "1.", ".5", "1,00", "12a", "9999999999999"})
        EXPECT_FALSE(ParseMoney(bad)) << bad;
}

TEST(HallAccounts, LinesAndFiles)
{
    const auto plain = ParseAccountLine("ann:pw:Annie:12.50");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->alias, "Annie");
    EXPECT_EQ(plain->balanceCents, 1250);
    EXPECT_TRUE(plain->refusal.isEmpty());
    const auto refused = ParseAccountLine("bob:pw:Bob:0:Sorry Account is closed: see you");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->refusal, "Sorry Account is closed: see you");
    for (const char* bad : {"", "# comment", "a:b:c", ":pw:X:1.00", "a:b::1.00", "a:b:c:lots", "a:b:c%:1.00"})
        EXPECT_FALSE(ParseAccountLine(bad)) << bad;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("accounts.txt"));
    WriteFile(path, "# extra players\nann:pw:Annie:12.50\r\nbroken line\ndemo:other:Demo Two:1.00\n");
    AccountBook book = AccountBook::BuiltIn();
    QString error;
    EXPECT_FALSE(book.loadFile(path, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("line 3")));
    ASSERT_TRUE(book.find("ann"));
    EXPECT_EQ(book.find("demo")->password, "other");   // a file line replaces a built-in account
    EXPECT_FALSE(book.loadFile(dir.filePath(QStringLiteral("missing.txt")), &error));
}

TEST(HallHttp, RequestsParseWholeOrWaitOrFail)
{
    const QByteArray post = "POST /vexobingo/vxplay466.asp?x=1 HTTP/1.1\r\nHost: h\r\ncontent-length: 9\r\n\r\nusername=";
    for (int cut = 0; cut < post.size(); ++cut)
        ASSERT_EQ(ParseHttpRequest(post.left(cut)).status, HttpRequest::Status::Incomplete) << cut;
    const HttpRequest request = ParseHttpRequest(post);
    ASSERT_EQ(request.status, HttpRequest::Status::Complete);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/vexobingo/vxplay466.asp");
    EXPECT_EQ(request.query, "x=1");
    EXPECT_EQ(request.body, "username=");
    EXPECT_EQ(ParseHttpRequest("GET / HTTP/1.0\n\n").status, HttpRequest::Status::Complete);

    EXPECT_EQ(ParseHttpRequest("HELLO\r\n\r\n").status, HttpRequest::Status::Bad);
    EXPECT_EQ(ParseHttpRequest("GET nopath HTTP/1.1\r\n\r\n").status, HttpRequest::Status::Bad);
    EXPECT_EQ(ParseHttpRequest("GET / HTTP/1.1\r\nno colon\r\n\r\n").status, HttpRequest::Status::Bad);
    EXPECT_EQ(ParseHttpRequest("POST / HTTP/1.1\r\nContent-Length: -4\r\n\r\n").status, HttpRequest::Status::Bad);
    EXPECT_EQ(ParseHttpRequest("POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab").status,
              HttpRequest::Status::Bad);
    EXPECT_EQ(ParseHttpRequest("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n").status,
              HttpRequest::Status::Unsupported);
    EXPECT_EQ(ParseHttpRequest("POST / HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n").status,
              HttpRequest::Status::TooLarge);
    EXPECT_EQ(ParseHttpRequest("GET /" + QByteArray(kMaxHttpRequest, 'a')).status, HttpRequest::Status::TooLarge);
}

TEST(HallHttp, StaticNamesStayInsideTheWwwFolder)
{
    QTemporaryDir root;
    const QString www = root.filePath(QStringLiteral("www"));
    WriteFile(root.filePath(QStringLiteral("secret.txt")), "secret");
    WriteFile(www + QStringLiteral("/images/Logo.gif"), "GIF89a");
    WriteFile(www + QStringLiteral("/index.htm"), "<html>");
    WriteFile(www + QStringLiteral("/images/.hidden"), "x");

    EXPECT_EQ(ResolveStaticFile(www, "/images/Logo.gif"), www + QStringLiteral("/images/Logo.gif"));
    EXPECT_EQ(ResolveStaticFile(www, "/IMAGES/logo.GIF"), www + QStringLiteral("/images/Logo.gif"));
    EXPECT_FALSE(ResolveStaticFile(www, "/index.htm").isEmpty());
    for (const char* refused : {"/../secret.txt", "/images/../../secret.txt", "/%2e%2e/secret.txt",
                                "/images/%2e%2e%2f..%2fsecret.txt", "/images\\..\\..\\secret.txt", "/images/.hidden",
                                "/images/sub/Logo.gif", "//secret.txt", "/images/", "/images/missing.gif", "images/Logo.gif"})
        EXPECT_TRUE(ResolveStaticFile(www, refused).isEmpty()) << refused;
}

TEST(HallHttp, CataloguesListTheInstallersPresent)
{
    QTemporaryDir dir;
    for (const char* name : {"cset1.exe", "cset2.exe", "cset4.exe", "bset1.exe", "bset2.exe"})
        WriteFile(dir.filePath(QString::fromLatin1(name)), "#!/bin/sh\n");
    WriteFile(dir.filePath(QStringLiteral("sets.txt")),
              "cset 2 Robo  Rita 150\nbset 2 Party 100% Shouts 4\nbset 1 broken\naset 1 Never Listed 9\n");

    // Sets are numbered without gaps: cset4 without cset3 is not offered.
    EXPECT_EQ(BuildCatalogue(dir.path(), "cset"), "count:2%cset1:Caller 1%cset2:Robo Rita%");
    EXPECT_EQ(BuildCatalogue(dir.path(), "bset"),
              "count:2%bset1:Fun Bingo Set 1%bset1qty:3%bset2:Party 100  Shouts%bset2qty:4%");
    EXPECT_EQ(BuildCatalogue(dir.path(), "aset"), "count:0%");
}

TEST(HallCards, FacesAreSoundAndDrawsArePermutations)
{
    QRandomGenerator rng(42);
    for (int i = 0; i < 200; ++i) {
        const QByteArray cells = MakeCardCells(rng, 4);
        ASSERT_TRUE(hallclient::SoundFaces(cells, 4)) << cells.constData();
    }
    const QList<int> draw = ShuffledDraw(7);
    EXPECT_EQ(draw, ShuffledDraw(7));
    EXPECT_NE(draw, ShuffledDraw(8));
    const QSet<int> numbers(draw.begin(), draw.end());
    EXPECT_EQ(numbers.size(), 75);
    EXPECT_EQ(*std::min_element(draw.begin(), draw.end()), 1);
    EXPECT_EQ(*std::max_element(draw.begin(), draw.end()), 75);
    EXPECT_EQ(CallCodes({1, 75}), "3}");
}

TEST(HallJudge, FirstCardToCompleteThePatternDecidesTheCall)
{
    // Face 1 of each card: column c, row r holds 15c + r + 1 (card A) or 15c + r + 6 (card B).
    QByteArray a, b;
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r) {
            a.append(char(15 * c + r + 1 + 50));
            b.append(char(15 * c + r + 6 + 50));
        }
    const SoldCard cardA{"ann", "Annie", a, 1, "100001.00001.00001"};
    const SoldCard cardB{"bob", "Bobby", b, 1, "100001.00002.00002"};
    // Top rows: A has 1, 16, 31, 46, 61; B has 6, 21, 36, 51, 66.
    QList<int> draw = {2, 6, 21, 36, 1, 16, 31, 51, 66, 46, 61};
    for (int n = 1; n <= 75; ++n)
        if (!draw.contains(n))
            draw.append(n);

    const Judgement top = JudgeDraw("B0O000003", draw, {cardA, cardB});
    EXPECT_EQ(top.winningCall, 9);   // call 9 (66) completes B's top row before A's (61, call 11)
    EXPECT_EQ(top.winners, QList<int>({1}));

    const Judgement line = JudgeDraw("A01000001", draw, {cardA});
    EXPECT_EQ(line.winningCall, 11);

    EXPECT_EQ(JudgeDraw("E00000000", draw, {cardA}).winningCall, 0);
    EXPECT_EQ(JudgeDraw("A01000001", draw, {}).winningCall, 0);
}

TEST(HallJudge, ProgressivePrizeFollowsTheCallCount)
{
    const QByteArray table = ProgressivePrizeTable();
    EXPECT_EQ(PrizeForCall(table, 30), "100.00");
    EXPECT_EQ(PrizeForCall(table, 10), "50.00");
    EXPECT_EQ(PrizeForCall(table, 60), "25.00");
    EXPECT_EQ(PatternRotation().size(), 9);
}
