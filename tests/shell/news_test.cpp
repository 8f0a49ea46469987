// The news: the reader of the operator's RTF files, and the news window fetching them
// from a web server on loopback once per news address.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"
#include "shell/newswindow.h"
#include "shell/rtf.h"

#include <QFile>
#include <gtest/gtest.h>

// "<b,i,u,#rrggbb,points>text" per run (the brackets only when formatted), "[c]" or "[r]"
// before a centred or right-aligned paragraph, paragraphs joined by " / ".
static QString Shape(const RtfDocument& doc)
{
    QStringList paragraphs;
    for (const RtfParagraph& p : doc.paragraphs) {
        QString s = p.alignment == RtfAlignment::Centre ? "[c]" : p.alignment == RtfAlignment::Right ? "[r]" : "";
        for (const RtfRun& r : p.runs) {
            const RtfFormat& f = r.format;
            QString marks = QString(f.bold ? ",b" : "") + (f.italic ? ",i" : "") + (f.underline ? ",u" : "");
            if (f.colour)
                marks += QStringLiteral(",#%1").arg(*f.colour, 6, 16, QLatin1Char('0'));
            if (f.points)
                marks += ',' + QString::number(*f.points);
            s += (marks.isEmpty() ? QString() : '<' + marks.mid(1) + '>') + r.text;
        }
        paragraphs << s;
    }
    return paragraphs.join(" / ");
}

TEST(RtfReader, FormatsEscapesDestinationsAndBounds)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"{\\rtf1 a{\\b b\\i c}d\\par e}", "a<b>b<b,i>cd / e"},
        {"{\\rtf1 \\b x\\b0 y\\ul z\\ulnone w\\i\\ul v\\plain t\\i1 s\\i0 r}", "<b>xy<u>zw<i,u>vt<i>sr"},
        {"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\\cf1 r\\cf2\\fs40 n\\cf0\\fs1 a\\cf9 z"
         "\\fs9999 g}", "<#ff0000>r<#000080,20>n<4>az<144>g"},
        {"{\\rtf1 caf\\'e9 \\'80\\'96\\'9f\\'81\\'A0.}", "café €–Ÿ\u00a0."},
        {"{\\rtf1 \\u8364?a\\uc2\\u-223 xyb\\uc0\\u65 c{\\uc1\\u66 \\'41d}\\u67 e\\u-10179\\u-8704 \\u-10179 f}",
         "€aＡbAcBdCe😀f"},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\stylesheet{s}}{\\info{\\title t}}{\\*\\generator g}\\{a\\}\\\\{\\pict 0123}"
         "{\\pict\\bin3 }}}}{\\object{\\result r}}{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}"
         "{\\*\\unknown u}\\bogus1 z}", "{a}\\linkz"},
        {"{\\rtf1\\qc T\\par\\pard a\\tab b\\line c\\par{\\qr r}}x", "[c]T / a\tb\u2028c / [r]r"},
        {"{\\rtf1 a" + QByteArray(63, '{') + "b" + QByteArray(63, '}') + QByteArray(64, '{') + "c\\par"
         + QByteArray(64, '}') + "d}", "abd"},
        {"{\\rtf1 \\b bold {\\i it\\'4", "<b>bold <b,i>it"},   // cut short: what was read
        {"plain\r\nline two\n\nthree\n", "plain / line two /  / three"},
        {"caf\xe9 \x80", "café €"}, {"{\\rt", "{\\rt"},
    };
    for (const auto& [in, shape] : cases) {
        const RtfDocument doc = ReadRtf(in);
        EXPECT_EQ(Shape(doc).toStdString(), shape.toStdString()) << in.constData();
        EXPECT_FALSE(doc.truncated) << in.constData();
    }
    // Bounds: the first MiB is read, a paragraph's length and format changes, large letters count more.
    const QByteArray many(Rtf::kMaxOutput + 10, 'x');
    const RtfDocument tail = ReadRtf("{\\rtf1 a" + QByteArray(Rtf::kMaxInput, '\n') + "z}");
    const RtfDocument wide = ReadRtf(many), big = ReadRtf("{\\rtf1\\fs288 " + many + "}");
    const RtfDocument changes = ReadRtf("{\\rtf1 " + QByteArray("a\\b a\\b0 ").repeated(600) + "}");
    EXPECT_TRUE(tail.truncated && tail.plainText() == "a");
    EXPECT_TRUE(wide.truncated && wide.plainText().size() == Rtf::kMaxOutput);
    EXPECT_EQ(wide.paragraphs[0].runs[0].text.size(), Rtf::kMaxParagraph);
    EXPECT_TRUE(big.truncated && big.plainText().size() < Rtf::kMaxOutput / 10);
    EXPECT_TRUE(changes.paragraphs[0].runs.size() == Rtf::kMaxRunsPerParagraph && changes.plainText().size() == 1200);
}

// Every destination the reader skips hides its whole group, letters, escapes, breaks and nested
// groups alike, written without the "\*" that lets a reader skip any destination; the text around
// it stays, in its own format.
TEST(RtfReader, EverySkippedDestinationHidesItsGroup)
{
    const char* const skipped[] = {
        "fonttbl", "stylesheet", "info", "pict", "object", "fldinst", "filetbl", "listtable", "listoverridetable",
        "revtbl", "rsidtbl", "generator", "themedata", "colorschememapping", "datastore", "latentstyles", "xmlnstbl",
        "nonshppict", "shp", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
        "footnote", "annotation", "xe", "tc", "bkmkstart", "bkmkend"};
    for (const char* d : skipped) {
        const QByteArray word = QByteArray("\\") + d;
        for (const QByteArray& group : {"{" + word + " x\\'e9{\\b y}\\u8364?z\\par w}", "{" + word + "1 x}"})
            EXPECT_EQ(Shape(ReadRtf("{\\rtf1 a{\\i b" + group + "c}d}")).toStdString(), "a<i>bcd") << group.constData();
    }
    // A word that only begins like one is no destination.
    EXPECT_EQ(ReadRtf("{\\rtf1 a{\\footers b}{\\footer x}c}").plainText(), "abc");
}

// The colour table keeps its first 256 colours; a \cf past them is the box's own colour.
TEST(RtfReader, TheColourTableKeeps256Colours)
{
    QByteArray table = "{\\colortbl";
    for (int i = 0; i < 300; ++i)
        table += "\\red" + QByteArray::number(i % 256) + "\\green" + QByteArray::number(i / 256) + "\\blue7;";
    const RtfDocument doc = ReadRtf("{\\rtf1" + table + "}\\cf1 a\\cf255 b\\cf256 c\\cf299 d}");
    EXPECT_EQ(Shape(doc).toStdString(), "<#010007>a<#ff0007>bcd");
}

struct News : ::testing::Test {
    MiniHttp web;
    CoreTestbed bed;
    ProgramFolder folder{bed.dir.path()};
    DialogsRecord& dialogs = bed.screen.dialogs;
    SettingsStore settings{folder, &bed.screen.player};
    NewsWindow news{&dialogs, &bed.screen.player, settings, folder};
    News() { settings.startFresh(web.host()); }
    void show(const QString& url)
    {
        news.FormShow(url);
        ASSERT_TRUE(WaitFor([&] { return !news.fetching(); }, 15000)) << url.toStdString();
    }
    const QString& loaded() const { return dialogs.newsFile; }
};

TEST_F(News, FetchedOncePerAddressThenReadFromTheSavedFile)
{
    web.body = "{\\rtf1 Hello}";
    show(QStringLiteral("/news/a.rtf"));
    EXPECT_EQ(dialogs.newsText, "Downloading Latest News Info. Please wait...");
    EXPECT_TRUE(web.requests.value(0).startsWith("GET /news/a.rtf HTTP/1.1\r\n"));
    EXPECT_EQ(bed.readFile(QStringLiteral("Default.rtf")), web.body);
    EXPECT_TRUE(bed.readFile(QStringLiteral("defaults.cfg")).contains("#V5:/news/a.rtf#"));
    EXPECT_EQ(loaded(), folder.path(QStringLiteral("Default.rtf")));
    dialogs.newsFile.clear();
    show(QStringLiteral("/news/a.rtf"));   // the saved file, without a request
    EXPECT_TRUE(web.requests.size() == 1 && dialogs.newsText.isEmpty());
    EXPECT_EQ(loaded(), folder.path(QStringLiteral("Default.rtf")));
    // A full address keeps its own host; a missing file is fetched again for the same address.
    show("http://" + web.host() + "/b.rtf");
    ASSERT_TRUE(QFile::remove(folder.path(QStringLiteral("default.rtf"))));
    show("http://" + web.host() + "/b.rtf");
    EXPECT_TRUE(web.requests.size() == 3 && web.requests[2].startsWith("GET /b.rtf HTTP/1.1\r\n"));
    EXPECT_EQ(bed.screen.events.count("show:TForm2"), 4);
}

TEST_F(News, AFailedFetchNamesItsCauseHidesTheWindowAndLeavesNoFileBehind)
{
    settings.setLastNewsUrl(QStringLiteral("/old"));
    web.status = 404;
    const std::pair<QString, QString> cases[] = {
        {"/new", "Failed to download the latest Bingo News - Connect Failure"},
        {"http://127.0.0.1:1/new", "Unable to get the latest Bingo News - Connection Failed"},
        {"http://no-such-host.invalid/new", "Failed to download the latest Bingo News - Invalid Host"},
    };
    for (const auto& [url, message] : cases) {
        bed.writeFile(QStringLiteral("Default.rtf"), "{\\rtf1 Old news}");
        bed.screen.events.clear();
        show(url);
        EXPECT_EQ(bed.screen.events.mid(1), QStringList({"message:" + message, "hide:TForm2"})) << url.toStdString();
        EXPECT_EQ(settings.values().LastNewsUrl, "/old");
        EXPECT_FALSE(folder.exists(QStringLiteral("default.rtf"))) << url.toStdString();
    }
}
