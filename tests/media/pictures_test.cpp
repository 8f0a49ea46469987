// Picture decoding, the picture control, cursors and the effect controls.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QMovie>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstdio>
#include <jpeglib.h>

#include "components/media/effects.h"
#include "components/media/pictures.h"

namespace {

// A JPEG written by libjpeg's own compressor: left half red, right half blue.
QByteArray makeJpeg(int w, int h)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(size_t(w) * 3);
    for (int x = 0; x < w; ++x) {
        const bool left = x < w / 2;
        row[size_t(x) * 3] = left ? 255 : 0;
        row[size_t(x) * 3 + 1] = 0;
        row[size_t(x) * 3 + 2] = left ? 0 : 255;
    }
    while (c.next_scanline < c.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    QByteArray data(reinterpret_cast<const char*>(out), qsizetype(size));
    jpeg_destroy_compress(&c);
    free(out);
    return data;
}

// Packs 3-bit LZW codes least significant bit first, as GIF stores them.
QByteArray packCodes(const QList<int>& codes)
{
    QByteArray bytes;
    quint32 acc = 0;
    int bits = 0;
    for (int code : codes) {
        acc |= quint32(code) << bits;
        bits += 3;
        while (bits >= 8) {
            bytes.append(char(acc & 0xff));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        bytes.append(char(acc & 0xff));
    return bytes;
}

// A 2×2 GIF89a with two frames (red, then blue) and the looping extension. Every
// pixel code follows a clear code, so the code width never grows.
QByteArray makeAnimatedGif()
{
    QByteArray g("GIF89a");
    g.append("\x02\x00\x02\x00\x80\x00\x00", 7);
    g.append("\xff\x00\x00\x00\x00\xff", 6);                       // red, blue
    g.append("\x21\xff\x0b" "NETSCAPE2.0" "\x03\x01\x00\x00\x00", 19);
    for (int colour = 0; colour < 2; ++colour) {
        g.append("\x21\xf9\x04\x04\x05\x00\x00\x00", 8);           // 50 ms per frame
        g.append("\x2c\x00\x00\x00\x00\x02\x00\x02\x00\x00", 10);
        g.append('\x02');                                           // minimum code size
        const QByteArray lzw = packCodes({4, colour, 4, colour, 4, colour, 4, colour, 5});
        g.append(char(lzw.size()));
        g.append(lzw);
        g.append('\x00');
    }
    g.append('\x3b');
    return g;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

bool near(QRgb a, QColor b, int tolerance = 40)
{
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

class PicturesTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(PicturesTest, JpegDecodesAndDamagedInputFailsQuietly)
{
    const QByteArray jpeg = makeJpeg(64, 32);
    QString error;
    const QImage image = DecodeJpeg(jpeg, &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(64, 32));
    EXPECT_TRUE(near(image.pixel(5, 16), Qt::red));
    EXPECT_TRUE(near(image.pixel(60, 16), Qt::blue));

    // Cut short: libjpeg would pad it silently; we call it damaged.
    error.clear();
    EXPECT_TRUE(DecodeJpeg(jpeg.left(jpeg.size() / 2), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_TRUE(DecodeJpeg(jpeg.left(4), &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    // Damage at many places: an error or a picture, never a crash.
    for (qsizetype at = 2; at < jpeg.size(); at += 7) {
        QByteArray bad = jpeg;
        bad[at] = char(bad[at] ^ 0x5a);
        QString why;
        const QImage img = DecodeJpeg(bad, &why);
        EXPECT_TRUE(img.isNull() == !why.isEmpty());
    }

    // Garbage and empty files, through the file loader.
    ASSERT_TRUE(writeFile(path("junk.jpg"), QByteArray("\xff\xd8\xff garbage that is no picture", 30)));
    ASSERT_TRUE(writeFile(path("text.gif"), "hello"));
    ASSERT_TRUE(writeFile(path("empty.bmp"), QByteArray()));
    for (const char* name : {"junk.jpg", "text.gif", "empty.bmp", "missing.gif"}) {
        error.clear();
        EXPECT_TRUE(LoadPictureFile(path(name), &error).isNull()) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
}

TEST_F(PicturesTest, FormatIsJudgedByContent)
{
    ASSERT_TRUE(writeFile(path("ad.gif"), makeJpeg(16, 16)));  // a JPEG under a GIF name
    QImage bmpSource(8, 4, QImage::Format_RGB32);
    bmpSource.fill(QColor(0, 200, 0));
    ASSERT_TRUE(bmpSource.save(path("back.bmp"), "BMP"));
    ASSERT_TRUE(writeFile(path("grid.gif"), makeAnimatedGif()));

    QString error;
    EXPECT_EQ(LoadPictureFile(path("ad.gif"), &error).size(), QSize(16, 16));
    const QImage bmp = LoadPictureFile(path("back.bmp"), &error);
    ASSERT_EQ(bmp.size(), QSize(8, 4));
    EXPECT_TRUE(near(bmp.pixel(3, 2), QColor(0, 200, 0), 0));
    const QImage gif = LoadPictureFile(path("grid.gif"), &error);
    ASSERT_EQ(gif.size(), QSize(2, 2)) << error.toStdString();
    EXPECT_TRUE(near(gif.pixel(1, 1), Qt::red, 0));  // the first frame
}

TEST_F(PicturesTest, PictureBoxAnimatesLoopsAndKeepsItsPictureOnFailure)
{
    ASSERT_TRUE(writeFile(path("grid.gif"), makeAnimatedGif()));
    ASSERT_TRUE(writeFile(path("ad.jpg"), makeJpeg(40, 20)));
    ASSERT_TRUE(writeFile(path("broken.jpg"), makeJpeg(40, 20).left(200)));

    PictureBox box;
    box.setAutoSize(true);
    ASSERT_TRUE(box.loadFile(path("grid.gif")));
    EXPECT_TRUE(box.isAnimated());
    EXPECT_EQ(box.size(), QSize(2, 2));
    ASSERT_NE(box.movie(), nullptr);
    EXPECT_EQ(box.movie()->loopCount(), -1);
    bool sawRed = false, sawBlue = false;
    QElapsedTimer watch;
    watch.start();
    while (watch.elapsed() < 400) {   // several rounds of the 100 ms loop
        const QRgb p = box.currentImage().pixel(0, 0);
        sawRed = sawRed || near(p, Qt::red, 0);
        sawBlue = sawBlue || near(p, Qt::blue, 0);
        QTest::qWait(10);
    }
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(sawBlue);
    EXPECT_EQ(box.movie()->state(), QMovie::Running);  // still going after several rounds

    QString error;
    EXPECT_FALSE(box.loadFile(path("broken.jpg"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(box.isAnimated());
    EXPECT_FALSE(box.loadFile(path("absent.gif")));
    EXPECT_TRUE(box.isAnimated());

    ASSERT_TRUE(box.loadFile(path("ad.jpg")));
    EXPECT_FALSE(box.isAnimated());
    EXPECT_EQ(box.pictureSize(), QSize(40, 20));
    EXPECT_FALSE(box.loadFile(path("broken.jpg")));
    EXPECT_EQ(box.pictureSize(), QSize(40, 20));
    EXPECT_FALSE(box.pixmap().isNull());

    box.clearPicture();
    EXPECT_FALSE(box.hasPicture());
    EXPECT_TRUE(box.pixmap().isNull());
}

TEST_F(PicturesTest, CursorCarriesItsHotspot)
{
    QImage pointer(32, 32, QImage::Format_ARGB32);
    pointer.fill(Qt::transparent);
    for (int i = 0; i < 32; ++i)
        pointer.setPixel(i, i, qRgba(0, 0, 0, 255));
    QByteArray ico;
    {
        QBuffer b(&ico);
        b.open(QIODevice::WriteOnly);
        ASSERT_TRUE(pointer.save(&b, "ICO"));
    }
    QByteArray cur = ico;
    qToLittleEndian<quint16>(2, cur.data() + 2);        // resource type: cursor
    qToLittleEndian<quint16>(5, cur.data() + 6 + 4);    // hotspot x
    qToLittleEndian<quint16>(9, cur.data() + 6 + 6);    // hotspot y
    ASSERT_TRUE(writeFile(path("dab4.cur"), cur));
    ASSERT_TRUE(writeFile(path("icon.ico"), ico));
    ASSERT_TRUE(writeFile(path("short.cur"), cur.left(30)));

    bool ok = false;
    const QCursor cursor = LoadCursorFile(path("dab4.cur"), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(cursor.hotSpot(), QPoint(5, 9));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));

    for (const char* name : {"icon.ico", "short.cur", "missing.cur"}) {
        ok = true;
        EXPECT_EQ(LoadCursorFile(path(name), &ok).shape(), Qt::ArrowCursor) << name;
        EXPECT_FALSE(ok) << name;
    }
}

TEST_F(PicturesTest, EffectControls)
{
    // Tiled background: the tile repeats, and a failed load keeps it.
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::green);
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    ASSERT_TRUE(tile.save(path("tile.bmp"), "BMP"));
    TiledImage back;
    back.resize(10, 10);
    ASSERT_TRUE(back.loadFile(path("tile.bmp")));
    EXPECT_FALSE(back.loadFile(path("nothing.bmp")));
    const QImage shot = back.grab().toImage();
    EXPECT_TRUE(near(shot.pixel(4, 4), Qt::red, 0));
    EXPECT_TRUE(near(shot.pixel(8, 0), Qt::red, 0));
    EXPECT_TRUE(near(shot.pixel(5, 5), Qt::green, 0));

    // Rounded button: face colour, grey when disabled, click only when enabled.
    RoundButton button(QStringLiteral("Buy"));
    button.resize(80, 30);
    button.setFaceColor(QColor(200, 0, 0));
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const QRgb face = button.grab().toImage().pixel(6, 15);
    EXPECT_GT(qRed(face), 150);
    EXPECT_LT(qBlue(face), 60);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    button.setEnabled(false);
    const QRgb grey = button.grab().toImage().pixel(6, 15);
    EXPECT_LT(qAbs(qRed(grey) - qBlue(grey)), 10);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);

    // Shadowed label: the shadow shows beside the text's own colour.
    EffectLabel label(QStringLiteral("WWWW"));
    QFont big = label.font();
    big.setPixelSize(24);
    big.setBold(true);
    label.setFont(big);
    label.resize(120, 40);
    label.setFontColor(Qt::yellow);
    label.setShadowColor(Qt::blue);
    label.setEffect(EffectLabel::Effect::Shadow);
    const QImage text = label.grab().toImage();
    bool yellow = false, blue = false;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x) {
            yellow = yellow || near(text.pixel(x, y), Qt::yellow, 10);
            blue = blue || near(text.pixel(x, y), Qt::blue, 10);
        }
    EXPECT_TRUE(yellow);
    EXPECT_TRUE(blue);
}

}  // namespace
