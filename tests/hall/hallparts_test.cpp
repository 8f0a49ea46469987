// The hall's pure parts: request texts, money, accounts, the HTTP request parser, static
// file names, catalogues and the judging of a draw against cases worked out by hand.
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

// Cells column by column, top to bottom, each number + 50; the free square is the middle
// of column N (text position 12) and its character is no number of the card.
//
// Card A, one face (free text 38):     Card B, face 2 of two (free text 44):
//        B   I   N   G   O                    B   I   N   G   O
//   r0   7  22  41  50  68               r0   9  24  39  54  69
//   r1   3  18  35  59  61               r1  10  26  40  55  71
//   r2  12  30  --  46  75               r2  11  27  --  56  72
//   r3   1  16  31  53  70               r3  13  28  43  57  73
//   r4  15  25  44  60  64               r4  14  29  45  58  64   (64 on both cards)
// Card B, face 1 (free text 34), none of whose numbers these draws call:
//   B 2 4 5 6 8, I 17 19 20 21 23, N 32 33 -- 36 37, G 47 48 49 51 52, O 62 63 65 66 67.
const QByteArray kCardA = "95>3AHDPBK[UXQ^dm`gnvo}xr";
const QByteArray kCardB = "4678:CEFGIRSTVWabcefpqstu;<=?@JLMNOYZ^]_hijklwyz{r";

// Each draw first builds shapes that must not win, then completes the pattern. No draw calls
// 38, so a win through the centre shows that the free square needs no call.
struct JudgeCase {
    const char* what;
    QByteArray descriptor;
    QList<int> cards;     // 0 = card A, 1 = card B, in the order sold
    QList<int> draw;
    int winningCall;      // 0: nobody within the draw
    QList<int> winners;   // positions in `cards`
};

const JudgeCase kCases[] = {
    {"one line: row 0, column B, diagonal one short each; 64 completes the diagonal through the centre",
     "A01000001", {0}, {7, 22, 41, 50, 3, 12, 1, 18, 53, 64, 68}, 10, {0}},
    {"one line: nobody, the draw ends with lines one short",
     "A01000001", {0}, {7, 22, 41, 50, 3, 12, 1, 18, 53}, 0, {}},
    {"top row: bottom row and column B are lines but not it; 68 completes row 0",
     "B0O000003", {0}, {15, 25, 44, 60, 64, 7, 3, 12, 1, 22, 41, 50, 68}, 13, {0}},
    {"outer line: column N, row 1 and both diagonals are inner; 70 completes column O",
     "C0O000005", {0}, {41, 35, 31, 44, 3, 18, 59, 61, 7, 53, 64, 15, 16, 68, 75, 70}, 16, {0}},
    {"3x3 block: rows 3 and 4 with 12 and 75 of row 2 make none; 46 completes the bottom right one",
     "D09000008", {0}, {1, 16, 31, 53, 70, 15, 25, 44, 60, 64, 12, 75, 46}, 13, {0}},
    {"two lines: row 0 alone is not enough; 64 adds the diagonal",
     "A02000002", {0}, {7, 22, 41, 50, 68, 3, 12, 1, 18, 53, 64}, 11, {0}},
    {"letter X: a plus, then one diagonal, are no X; 68 completes the other diagonal",
     "B0A:4:A04", {0}, {12, 30, 46, 75, 41, 35, 31, 44, 7, 18, 53, 64, 15, 16, 59, 68}, 16, {0}},
    {"2x2 block: a staircase down the diagonal holds none; 60 completes the bottom right one",
     "D04000009", {0}, {7, 18, 53, 64, 22, 35, 46, 70, 60}, 9, {0}},
    {"coverall: all 24 numbers and 2, which is not on the card; 64 last",
     "F00000010", {0}, {7, 22, 41, 50, 68, 3, 18, 35, 59, 61, 12, 30, 46, 75, 1, 16, 31, 53, 70, 15, 25, 44, 60, 2, 64},
     25, {0}},
    {"progressive one line: column B, 2 not on the card", "A11000007", {0}, {7, 3, 12, 1, 2, 15}, 6, {0}},
    {"one line: 64 completes row 4 of card A and of card B's face 2: both win",
     "A01000001", {0, 1}, {14, 29, 45, 58, 15, 25, 44, 60, 64}, 9, {0, 1}},
    {"top row: card B's face 2 wins at call 9; card A, whole a call later, does not",
     "B0O000003", {0, 1}, {7, 22, 41, 50, 9, 24, 39, 54, 69, 68}, 9, {1}},
    {"kind E has no winner", "E00000000", {0}, {7, 22, 41, 50, 68}, 0, {}},
    {"no card sold, no winner", "A01000001", {}, {7, 22, 41, 50, 68}, 0, {}},
};

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

TEST(HallJudge, DrawsWorkedOutByHand)
{
    const SoldCard sold[] = {{"ann", "Annie", kCardA, 1, "100001.00001.00001"},
                             {"bob", "Bobby", kCardB, 2, "100001.00002.00002"}};
    QSet<QByteArray> judged;
    for (const JudgeCase& c : kCases) {
        QList<SoldCard> cards;
        for (int i : c.cards)
            cards.append(sold[i]);
        const Judgement judgement = JudgeDraw(c.descriptor, c.draw, cards);
        EXPECT_EQ(judgement.winningCall, c.winningCall) << c.what;
        EXPECT_EQ(judgement.winners, c.winners) << c.what;
        judged.insert(c.descriptor);
    }
    for (const QByteArray& descriptor : PatternRotation())
        EXPECT_TRUE(judged.contains(descriptor)) << descriptor.constData() << " is played but has no case here";
}

TEST(HallJudge, ProgressivePrizeFollowsTheCallCount)
{
    const QByteArray table = ProgressivePrizeTable();
    EXPECT_EQ(PrizeForCall(table, 30), "100.00");
    EXPECT_EQ(PrizeForCall(table, 10), "50.00");
    EXPECT_EQ(PrizeForCall(table, 60), "25.00");
    EXPECT_EQ(PatternRotation().size(), 9);
}
