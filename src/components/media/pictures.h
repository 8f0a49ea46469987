#pragma once
// Pictures from files: GIF (first frame; animated GIF89a plays in PictureBox), JPEG
// decoded by libjpeg, BMP, and Windows cursor files for the dauber pointer.
// The format is judged by the file's content, not its name. Bad files give an empty
// image and a short error text; they never crash the program.
#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QLabel>
#include <QString>

#include <QBuffer>
#include <QImageReader>
#include <QTimer>
#include <memory>

// Files larger than this are not read as pictures.
constexpr qint64 kMaxPictureFileBytes = 16 * 1024 * 1024;

QImage DecodeJpeg(const QByteArray& data, QString* error);
// Decodes GIF (first frame), JPEG or BMP bytes; anything else is an error.
QImage DecodePicture(const QByteArray& data, QString* error);
QImage LoadPictureFile(const QString& path, QString* error);

// A Windows cursor file (.cur, resource type 2) with the hotspot of its first image.
// On failure *ok is false and the standard arrow is returned.
QCursor LoadCursorFile(const QString& path, bool* ok);

// The cursor to show on a screen of `scale` device pixels per logical pixel. The X server
// shows a cursor's pixels and hotspot as they are, so a picture cursor is scaled smoothly
// with its hotspot; at 1, and for the standard shapes, it is returned as it is.
QCursor CursorForScale(const QCursor& cursor, qreal scale);

// A picture control. Static pictures are shown as they are; an animated GIF plays
// frame by frame and loops for ever. A failed load keeps what was shown before.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    bool loadFile(const QString& path, QString* error = nullptr);
    void setPicture(const QImage& image);
    void clearPicture();

    // Stretch: the picture fills the control. Auto size: the control takes the
    // picture's size on each load. Both off by default.
    bool stretch() const { return hasScaledContents(); }
    void setAutoSize(bool on) { autoSize_ = on; }

    bool hasPicture() const { return !pictureSize_.isEmpty(); }
    bool isAnimated() const { return frames_ != nullptr; }
    QSize pictureSize() const { return pictureSize_; }
    QImage currentImage() const;

protected:
    // Draws the picture smoothed wherever it is shown larger than its pixels.
    void paintEvent(QPaintEvent* event) override;

private:
    void dropMovie();
    void nextFrame();
    std::unique_ptr<QBuffer> movieData_;
    std::unique_ptr<QImageReader> frames_;
    QTimer frameTimer_;
    QImage frame_;
    QSize pictureSize_;
    bool autoSize_ = false;
};
