#pragma once
// Small effect controls of the main window: a tiled background and a rounded button.
#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QWidget>

// Fills its whole area with copies of one bitmap.
class TiledImage : public QWidget {
    Q_OBJECT
public:
    explicit TiledImage(QWidget* parent = nullptr);
    // Loads a GIF, JPEG or BMP tile; on failure the previous tile stays.
    bool loadFile(const QString& path, QString* error = nullptr);
    void setTile(const QImage& image);
    void setTile(const QPixmap& tile);
    const QPixmap& tile() const { return tile_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap tile_;
};

// A push button with a rounded, softly shaded face.
class RoundButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit RoundButton(QWidget* parent = nullptr);
    explicit RoundButton(const QString& caption, QWidget* parent = nullptr);

    void setFaceColor(const QColor& color);
    void setFontColor(const QColor& color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor face_{0x3a, 0x6e, 0xc8};
    QColor font_{Qt::white};
};
