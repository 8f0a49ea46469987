// Picture files, the picture control, the dauber cursor and the effect controls.
#include "components/media/effects.h"
#include "components/media/pictures.h"

#include <QBuffer>
#include <QFile>
#include <QMovie>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

#include <utility>

#include <algorithm>

namespace {

// A 2×2 GIF89a that loops for ever through two frames, red then blue, each shown for delayCs
// hundredths of a second. Each frame's LZW data is the 3-bit codes clear, colour, clear, colour, … end.
QByteArray makeAnimatedGif(char delayCs = 5)
{
    QByteArray g("GIF89a\x02\x00\x02\x00\x80\x00\x00" "\xff\x00\x00\x00\x00\xff", 19);
    g.append("\x21\xff\x0b" "NETSCAPE2.0" "\x03\x01\x00\x00\x00", 19);
    for (const char* lzw : {"\x04\x41\x10\x05", "\x0c\xc3\x30\x05"}) {
        g.append("\x21\xf9\x04\x04", 4).append(delayCs).append("\x00\x00\x00", 3);
        g.append("\x2c\x00\x00\x00\x00\x02\x00\x02\x00\x00" "\x02\x04", 12).append(lzw, 4).append('\x00');
    }
    return g.append('\x3b');
}

// Left half red, right half blue, as a file of that format writes it (Qt's own writers: JPEG, BMP, ICO).
QByteArray picture(int w, int h, const char* format)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, w / 2, h, Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

bool near(QRgb a, QColor b, int tolerance = 40)
{
    return std::max({qAbs(qRed(a) - b.red()), qAbs(qGreen(a) - b.green()), qAbs(qBlue(a) - b.blue())}) <= tolerance;
}

struct PicturesTest : ::testing::Test {
    // The path of a file in the test's folder, written with these bytes unless they are null.
    QString file(const char* name, const QByteArray& data = {}) const
    {
        QFile f(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(data.isNull() || (f.open(QIODevice::WriteOnly) && f.write(data) == data.size())) << name;
        return f.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(PicturesTest, FilesAreJudgedByTheirContentAndBadOnesFailWithAReason)
{
    const QByteArray jpeg = picture(64, 32, "JPG");
    QByteArray huge = picture(4, 4, "BMP");
    qToLittleEndian<qint32>(16000, huge.data() + 18);
    qToLittleEndian<qint32>(1250, huge.data() + 22);
    const struct { const char* name; QByteArray bytes; QSize size; QPoint at; QColor colour; } cases[] = {
        {"ad.gif", jpeg, {64, 32}, {5, 16}, Qt::red},   // a JPEG under a GIF name
        {"ad.jpg", jpeg, {64, 32}, {60, 16}, Qt::blue},
        {"back.bmp", picture(8, 4, "BMP"), {8, 4}, {6, 2}, Qt::blue},
        {"grid.gif", makeAnimatedGif(), {2, 2}, {1, 1}, Qt::red},   // the first frame
        // Cut short (libjpeg would pad it and only warn), garbage, empty, missing.
        {"half.jpg", jpeg.left(jpeg.size() / 2), {}, {}, {}}, {"four.jpg", jpeg.left(4), {}, {}, {}},
        {"junk.jpg", "\xff\xd8\xff garbage that is no picture", {}, {}, {}}, {"text.gif", "hello", {}, {}, {}},
        {"empty.bmp", "", {}, {}, {}}, {"missing.gif", {}, {}, {}, {}},
        // A BMP cut after its header, and one whose header claims 16000 x 1250 pixels.
        {"cut.bmp", picture(40, 20, "BMP").left(60), {}, {}, {}}, {"huge.bmp", huge, {}, {}, {}},
    };
    for (const auto& t : cases) {
        QString error;
        const QImage image = LoadPictureFile(file(t.name, t.bytes), &error);
        EXPECT_EQ(image.isNull() ? QSize() : image.size(), t.size) << t.name;
        EXPECT_EQ(error.isEmpty(), t.size.isValid()) << t.name;
        EXPECT_TRUE(image.isNull() || near(image.pixel(t.at), t.colour)) << t.name;
    }
    // Damage at many places: an error or a picture, never a crash.
    for (qsizetype at = 2; at < jpeg.size(); at += 7) {
        QByteArray bad = jpeg;
        bad[at] = char(bad[at] ^ 0x5a);
        QString why;
        const bool failed = DecodeJpeg(bad, &why).isNull();
        EXPECT_EQ(failed, !why.isEmpty()) << at;
    }
}

TEST_F(PicturesTest, PictureBoxAnimatesForEverAndKeepsItsPictureWhenALoadFails)
{
    const QByteArray jpeg = picture(40, 20, "JPG");
    const QString broken = file("broken.jpg", jpeg.left(200));
    PictureBox box;
    box.setAutoSize(true);
    ASSERT_TRUE(box.loadFile(file("grid.gif", makeAnimatedGif())));
    EXPECT_EQ(box.size(), QSize(2, 2));
    // Frame changes seen in 400 ms: several rounds of the 100 ms loop; frames of no
    // delay wait 100 ms as in a browser, so they cannot keep a processor busy.
    const auto changes = [&box] {
        int n = 0;
        QRgb last = box.currentImage().pixel(0, 0);
        for (int i = 0; i < 40; ++i, QTest::qWait(10))
            n += std::exchange(last, box.currentImage().pixel(0, 0)) != last;
        return n;
    };
    ASSERT_TRUE(box.isAnimated());
    EXPECT_GE(changes(), 4);
    ASSERT_TRUE(box.loadFile(file("fast.gif", makeAnimatedGif(0))));
    const int fast = changes();
    EXPECT_TRUE(fast >= 1 && fast <= 5) << fast;

    QString error;
    EXPECT_TRUE(!box.loadFile(broken, &error) && !error.isEmpty());
    EXPECT_TRUE(!box.loadFile(file("absent.gif")) && box.isAnimated());
    ASSERT_TRUE(box.loadFile(file("ad.jpg", jpeg)) && !box.isAnimated());
    EXPECT_TRUE(!box.loadFile(broken) && box.pictureSize() == QSize(40, 20) && !box.pixmap().isNull());
    box.clearPicture();
    EXPECT_TRUE(!box.hasPicture() && box.pixmap().isNull());
}

TEST_F(PicturesTest, DauberCursorCarriesItsHotspotAndBadFilesGiveTheArrow)
{
    const QByteArray ico = picture(32, 32, "ICO");
    QByteArray cur = ico;
    qToLittleEndian<quint16>(2, cur.data() + 2);        // resource type: cursor
    qToLittleEndian<quint16>(5, cur.data() + 6 + 4);    // hotspot x
    qToLittleEndian<quint16>(9, cur.data() + 6 + 6);    // hotspot y
    bool ok = false;
    const QCursor cursor = LoadCursorFile(file("dab4.cur", cur), &ok);
    EXPECT_TRUE(ok && cursor.hotSpot() == QPoint(5, 9) && cursor.pixmap().size() == QSize(32, 32));
    for (const QString& bad : {file("icon.ico", ico), file("short.cur", cur.left(30)), file("missing.cur")}) {
        ok = true;
        EXPECT_TRUE(LoadCursorFile(bad, &ok).shape() == Qt::ArrowCursor && !ok) << bad.toStdString();
    }
}

TEST_F(PicturesTest, TiledBackgroundRepeatsAndRoundButtonClicksOnlyWhenEnabled)
{
    TiledImage back;
    back.resize(10, 10);
    ASSERT_TRUE(back.loadFile(file("tile.bmp", picture(4, 4, "BMP"))) && !back.loadFile(file("none.bmp")));   // kept
    const QImage shot = back.grab().toImage();
    EXPECT_TRUE(near(shot.pixel(4, 1), Qt::red, 0) && near(shot.pixel(9, 9), Qt::red, 0)
                && near(shot.pixel(6, 5), Qt::blue, 0));

    RoundButton button(QStringLiteral("Buy"));
    button.resize(80, 30);
    button.setFaceColor(QColor(200, 0, 0));
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    EXPECT_TRUE(near(button.grab().toImage().pixel(6, 15), QColor(200, 0, 0), 50));
    QTest::mouseClick(&button, Qt::LeftButton);
    button.setEnabled(false);
    const QRgb grey = button.grab().toImage().pixel(6, 15);
    EXPECT_LT(qAbs(qRed(grey) - qBlue(grey)), 10);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

}   // namespace
