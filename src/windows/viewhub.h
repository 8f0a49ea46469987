#pragma once
// The windows' own lookup of their controls by design name (the objectName every
// widget carries), and the plain operations the typed views are built from. Names stay
// inside the windows: the core never sees one.
#include <QStringList>
#include <QWidget>
#include <cstdint>

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QMessageBox;
class QWidget;

class ViewHub {
public:
    explicit ViewHub(QWidget* mainWindow);
    ~ViewHub();

    // Registers a window under its class name ("Tlogindialog"). Every window is
    // registered before the core starts.
    void addWindow(const QString& name, QWidget* window);
    QWidget* window(const QString& name) const { return windows_.value(name); }
    // The widget or action a design name stands for, or nullptr.
    QObject* resolve(const QString& name) const;

    void setVisible(const QString& control, bool visible);
    void setEnabled(const QString& control, bool enabled);
    void setText(const QString& control, const QString& text);
    void setHint(const QString& control, const QString& hint);
    void describe(const QString& control, const QString& name, const QString& description);
    void announce(const QString& text);
    void setChecked(const QString& control, bool checked);
    void setFontColour(const QString& control, std::uint32_t rgb);
    void setFaceColour(const QString& control, std::uint32_t rgb);
    void setItems(const QString& control, const QStringList& items);
    void appendLine(const QString& control, const QString& line);
    bool loadRichText(const QString& control, const QString& file);
    void setStatusNotice(const QString& notice);
    void setProgress(const QString& control, int value);
    void setGeometry(const QString& control, int left, int top, int width, int height);
    bool loadPicture(const QString& control, const QString& file);
    // One tile picture for several tiled controls, read once and shared by all of them.
    bool loadTiles(std::initializer_list<const char*> controls, const QString& file);
    void showWindow(const QString& window);
    void hideWindow(const QString& window);
    void messageBox(const QString& text);
    void errorBox(const QString& text);
    bool question(const QString& text);
    bool chooseColour(std::uint32_t initial, std::uint32_t* chosen);
    void beep();
    void openUrl(const QString& url);
    bool startProgram(const QString& program, const QStringList& arguments);
    void quit();

    // Whether a control's own switch is on, as the design reads it (screenshot aid and tests).
    bool isVisible(const QString& control) const;

    // Strict: a name no window has stops the program (debug builds and tests), so that
    // a misspelt name cannot go unnoticed. Otherwise it is reported once and ignored.
    void setStrict(bool strict) { strict_ = strict; }

    // Beeps since start (the windows tests read it).
    int beepCount() const { return beeps_; }
    // When set, beep() only counts (tests and screenshots keep quiet).
    void setSilent(bool silent) { silent_ = silent; }


private:
    QString statusText_;   // the status line's own text, kept under a notice
    QString statusNotice_;
    void showBox(int icon, const QString& text);
    QWidget* widget(const QString& name) const;
    QWidget* dialogParent() const;

    QWidget* main_;
    QMap<QString, QPointer<QWidget>> windows_;
    mutable QHash<QString, QPointer<QObject>> cache_;
    mutable QSet<QString> reported_;
    QHash<QString, QPointer<QMessageBox>> openBoxes_;
    int beeps_ = 0;
    bool silent_ = false;
#ifdef NDEBUG
    bool strict_ = false;
#else
    bool strict_ = true;
#endif
};
