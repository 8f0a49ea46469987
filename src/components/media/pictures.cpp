#include "components/media/pictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {

// Largest picture we agree to decode: more than any control of ours can show (about
// 16 MB as 32-bit pixels), so a small file cannot claim a huge picture.
constexpr qint64 kMaxPixels = 4 * 1024 * 1024;
constexpr int kMaxSide = 4096;
// Animation frames wait at least this long; a delay of 10 ms or less means 100 ms, as
// browsers read it, so a GIF cannot keep a processor busy.
constexpr int kMinFrameDelayMs = 20;
constexpr int kShortDelayMs = 100;

struct JpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void jpegQuiet(j_common_ptr) {}

// Everything the decoder touches lives here, in memory reached through one pointer,
// so nothing is lost when libjpeg jumps back on an error.
struct JpegJob {
    jpeg_decompress_struct cinfo;
    JpegErrors err;
    const QByteArray* data = nullptr;
    QImage image;
    QString error;
    bool cmyk = false;
};

bool runJpeg(JpegJob* job)
{
    job->cinfo.err = jpeg_std_error(&job->err.pub);
    job->err.pub.error_exit = jpegErrorExit;
    job->err.pub.output_message = jpegQuiet;
    job->err.message[0] = 0;
    if (setjmp(job->err.jump)) {
        job->error = QStringLiteral("damaged JPEG picture: ") + QString::fromLatin1(job->err.message);
        jpeg_destroy_decompress(&job->cinfo);
        job->image = QImage();
        return false;
    }
    jpeg_create_decompress(&job->cinfo);
    jpeg_mem_src(&job->cinfo, reinterpret_cast<const unsigned char*>(job->data->constData()),
                 static_cast<unsigned long>(job->data->size()));
    jpeg_read_header(&job->cinfo, TRUE);
    const JDIMENSION w = job->cinfo.image_width;
    const JDIMENSION h = job->cinfo.image_height;
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || qint64(w) * qint64(h) > kMaxPixels) {
        job->error = QStringLiteral("JPEG picture too large");
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    job->cmyk = job->cinfo.jpeg_color_space == JCS_CMYK || job->cinfo.jpeg_color_space == JCS_YCCK;
    job->cinfo.out_color_space = job->cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&job->cinfo);
    job->image = QImage(int(w), int(h), job->cmyk ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (job->image.isNull()) {
        job->error = QStringLiteral("out of memory for the JPEG picture");
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    if (job->cmyk) {
        QByteArray row(int(w) * 4, Qt::Uninitialized);
        while (job->cinfo.output_scanline < job->cinfo.output_height) {
            JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row.data())};
            const int y = int(job->cinfo.output_scanline);
            jpeg_read_scanlines(&job->cinfo, rows, 1);
            auto* out = reinterpret_cast<QRgb*>(job->image.scanLine(y));
            const auto* in = reinterpret_cast<const uchar*>(row.constData());
            for (JDIMENSION x = 0; x < w; ++x, in += 4) {
                // Adobe writes CMYK inverted: the samples are already 255 - ink.
                const int k = in[3];
                out[x] = qRgb(in[0] * k / 255, in[1] * k / 255, in[2] * k / 255);
            }
        }
    } else {
        while (job->cinfo.output_scanline < job->cinfo.output_height) {
            JSAMPROW rows[1] = {job->image.scanLine(int(job->cinfo.output_scanline))};
            jpeg_read_scanlines(&job->cinfo, rows, 1);
        }
    }
    jpeg_finish_decompress(&job->cinfo);
    const long warnings = job->err.pub.num_warnings;
    jpeg_destroy_decompress(&job->cinfo);
    if (warnings > 0) {
        // libjpeg pads a truncated or corrupt stream and only warns: treat it as damaged.
        job->error = QStringLiteral("damaged JPEG picture");
        job->image = QImage();
        return false;
    }
    return true;
}

bool isGif(const QByteArray& d) { return d.startsWith("GIF87a") || d.startsWith("GIF89a"); }
bool isJpeg(const QByteArray& d) { return d.size() >= 3 && uchar(d[0]) == 0xFF && uchar(d[1]) == 0xD8 && uchar(d[2]) == 0xFF; }
bool isBmp(const QByteArray& d) { return d.size() >= 26 && d.startsWith("BM"); }

// A BMP whose pixel data is shorter than its header promises is damaged: Qt would draw
// whatever memory follows it.
bool bmpComplete(const QByteArray& d)
{
    if (d.size() < 34)
        return false;
    const auto* p = reinterpret_cast<const uchar*>(d.constData());
    const quint32 offset = qFromLittleEndian<quint32>(p + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(p + 14);
    if (headerSize < 40)
        return d.size() > qint64(offset);   // the old OS/2 header: the reader checks the rest
    const qint64 width = qFromLittleEndian<qint32>(p + 18);
    const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(p + 22)));
    const int bits = qFromLittleEndian<quint16>(p + 28);
    const quint32 compression = qFromLittleEndian<quint32>(p + 30);
    if (width <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    if (compression != 0 && compression != 3)
        return d.size() > qint64(offset);   // run-length data has no fixed size
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    return qint64(d.size()) >= qint64(offset) + rowBytes * height;
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool readFile(const QString& path, QByteArray* data, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("cannot open ") + path);
        return false;
    }
    if (f.size() > kMaxPictureFileBytes) {
        setError(error, QStringLiteral("picture file too large: ") + path);
        return false;
    }
    // Read what the file holds, not the bound: a read of the bound would reserve it whole.
    *data = f.read(f.size());
    return true;
}

QImage readWithQt(const QByteArray& data, const char* format, QString* error)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide ||
                           qint64(size.width()) * size.height() > kMaxPixels)) {
        setError(error, QStringLiteral("picture too large"));
        return QImage();
    }
    QImage image = reader.read();
    if (image.isNull())
        setError(error, QStringLiteral("damaged %1 picture: %2").arg(QString::fromLatin1(format), reader.errorString()));
    return image;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data, QString* error)
{
    if (!isJpeg(data)) {
        setError(error, QStringLiteral("not a JPEG picture"));
        return QImage();
    }
    auto job = std::make_unique<JpegJob>();
    job->data = &data;
    if (!runJpeg(job.get())) {
        setError(error, job->error);
        return QImage();
    }
    return job->image;
}

QImage DecodePicture(const QByteArray& data, QString* error)
{
    if (isGif(data))
        return readWithQt(data, "gif", error);
    if (isJpeg(data))
        return DecodeJpeg(data, error);
    if (isBmp(data)) {
        if (!bmpComplete(data)) {
            setError(error, QStringLiteral("damaged bmp picture: shorter than its header says"));
            return QImage();
        }
        return readWithQt(data, "bmp", error);
    }
    setError(error, QStringLiteral("unknown picture format"));
    return QImage();
}

QImage LoadPictureFile(const QString& path, QString* error)
{
    QByteArray data;
    if (!readFile(path, &data, error))
        return QImage();
    QString why;
    QImage image = DecodePicture(data, &why);
    if (image.isNull())
        setError(error, path + QStringLiteral(": ") + why);
    return image;
}

QCursor LoadCursorFile(const QString& path, bool* ok)
{
    if (ok)
        *ok = false;
    QByteArray data;
    if (!readFile(path, &data, nullptr) || data.size() < 6 + 16)
        return QCursor(Qt::ArrowCursor);
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    if (qFromLittleEndian<quint16>(d) != 0 || qFromLittleEndian<quint16>(d + 2) != 2 ||
        qFromLittleEndian<quint16>(d + 4) == 0)
        return QCursor(Qt::ArrowCursor);
    int hx = qFromLittleEndian<quint16>(d + 6 + 4);
    int hy = qFromLittleEndian<quint16>(d + 6 + 6);

    // Qt's icon reader takes the pixels; it reads cursors as it reads icons.
    QImage image;
    {
        QByteArray asIcon = data;
        asIcon[2] = 1;
        QBuffer buffer(&asIcon);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "ico");
        image = reader.read();
    }
    if (image.isNull() || image.width() > 256 || image.height() > 256)
        return QCursor(Qt::ArrowCursor);
    hx = qBound(0, hx, image.width() - 1);
    hy = qBound(0, hy, image.height() - 1);
    if (ok)
        *ok = true;
    return QCursor(QPixmap::fromImage(image), hx, hy);
}

QCursor CursorForScale(const QCursor& cursor, qreal scale)
{
    const QPixmap source = cursor.pixmap();
    if (cursor.shape() != Qt::BitmapCursor || source.isNull() || scale <= 1.0)
        return cursor;
    const QSize size(qRound(source.width() * scale), qRound(source.height() * scale));
    const QPixmap scaled = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QPoint hotspot = cursor.hotSpot();
    return QCursor(scaled, qMin(qRound(hotspot.x() * scale), size.width() - 1),
                   qMin(qRound(hotspot.y() * scale), size.height() - 1));
}

// ---- PictureBox ----

PictureBox::PictureBox(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this, &PictureBox::nextFrame);
}

PictureBox::~PictureBox()
{
    dropMovie();
}

void PictureBox::dropMovie()
{
    if (!frames_)
        return;
    frameTimer_.stop();
    frames_.reset();
    movieData_.reset();
}

// Shows the next frame of an animation, from the first again after the last.
void PictureBox::nextFrame()
{
    QImage frame = frames_->read();
    if (frame.isNull()) {
        movieData_->seek(0);
        frames_ = std::make_unique<QImageReader>(movieData_.get(), "gif");
        frame = frames_->read();
        if (frame.isNull()) {
            frameTimer_.stop();
            return;
        }
    }
    frame_ = frame;
    setPixmap(QPixmap::fromImage(frame));
    const int delay = frames_->nextImageDelay();
    frameTimer_.start(delay <= 10 ? kShortDelayMs : qMax(delay, kMinFrameDelayMs));
}

bool PictureBox::loadFile(const QString& path, QString* error)
{
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    QString why;
    const QImage first = DecodePicture(bytes, &why);
    if (first.isNull()) {
        setError(error, path + QStringLiteral(": ") + why);
        return false;
    }

    int frames = 0;
    if (isGif(bytes)) {
        QBuffer probe(&bytes);
        probe.open(QIODevice::ReadOnly);
        QImageReader reader(&probe, "gif");
        frames = reader.imageCount();
    }
    if (frames > 1) {
        // Frames are decoded one at a time as they are shown, and the animation loops
        // for ever, whatever the file's own loop count says.
        dropMovie();
        clear();
        movieData_ = std::make_unique<QBuffer>();
        movieData_->setData(bytes);
        movieData_->open(QIODevice::ReadOnly);
        frames_ = std::make_unique<QImageReader>(movieData_.get(), "gif");
        pictureSize_ = first.size();
        nextFrame();
    } else {
        setPicture(first);
    }
    if (autoSize_)
        resize(pictureSize_);
    update();
    return true;
}

void PictureBox::setPicture(const QImage& image)
{
    dropMovie();
    pictureSize_ = image.size();
    setPixmap(QPixmap::fromImage(image));
    if (autoSize_ && !image.isNull())
        resize(pictureSize_);
}

void PictureBox::clearPicture()
{
    dropMovie();
    clear();
    pictureSize_ = QSize();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPixmap shown = pixmap();
    if (shown.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    drawFrame(&p);
    if (!isEnabled()) {
        QStyleOption option;
        option.initFrom(this);
        shown = style()->generatedIconPixmap(QIcon::Disabled, shown, &option);
    }
    // Stretched, or on a screen with more device pixels than logical ones, the picture is
    // drawn larger than its pixels: smoothed, not in blocks.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    p.drawPixmap(hasScaledContents() ? area
                                     : QStyle::alignedRect(layoutDirection(), align,
                                                           shown.deviceIndependentSize().toSize(), area),
                 shown);
}

QImage PictureBox::currentImage() const
{
    if (frames_)
        return frame_;
    return pixmap().toImage();
}
