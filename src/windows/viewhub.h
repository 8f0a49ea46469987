#pragma once
// The screen side of the game core: resolves the core's design names to the
// widgets and menu actions of the windows and carries out its requests.
#include "shell/viewport.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QMessageBox;
class QWidget;
class TForm1;

class ViewHub : public MainView {
public:
    explicit ViewHub(TForm1* mainWindow);
    ~ViewHub() override;

    // Registers a window under its class name ("Tlogindialog"). Every window is
    // registered before the core starts.
    void addWindow(const QString& name, QWidget* window);
    QWidget* window(const QString& name) const { return windows_.value(name); }
    // The widget or action a design name stands for, or nullptr.
    QObject* resolve(const QString& name) const;

    void setVisible(const QString& control, bool visible) override;
    void setEnabled(const QString& control, bool enabled) override;
    void setText(const QString& control, const QString& text) override;
    void setHint(const QString& control, const QString& hint) override;
    void describe(const QString& control, const QString& name, const QString& description) override;
    void announce(const QString& text) override;
    void setChecked(const QString& control, bool checked) override;
    void setFontColour(const QString& control, std::uint32_t rgb) override;
    void setFaceColour(const QString& control, std::uint32_t rgb) override;
    void setItems(const QString& control, const QStringList& items) override;
    void appendLine(const QString& control, const QString& line) override;
    bool loadRichText(const QString& control, const QString& file) override;
    void setStatusNotice(const QString& notice) override;
    void setProgress(const QString& control, int value) override;
    void setGeometry(const QString& control, int left, int top, int width, int height) override;
    void moveControl(const QString& control, int left, int top) override;
    void setColumns(const QString& listBox, int columns) override;
    bool loadPicture(const QString& control, const QString& file) override;
    void repaint(const QString& control) override;
    void showWindow(const QString& window) override;
    void hideWindow(const QString& window) override;
    void redrawCard(int card) override;
    void redrawBoard() override;
    void setCardCursor(bool dauber) override;
    void messageBox(const QString& text) override;
    void errorBox(const QString& text) override;
    bool question(const QString& text) override;
    bool chooseColour(std::uint32_t initial, std::uint32_t* chosen) override;
    void beep() override;
    void log(const QString& text) override;
    void openUrl(const QString& url) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    void quit() override;

    // Whether a control's own switch is on, as the design reads it (screenshot aid and tests).
    bool isVisible(const QString& control) const;

    // Strict: a name no window has stops the program (debug builds and tests), so that
    // a misspelt name cannot go unnoticed. Otherwise it is reported once and ignored.
    void setStrict(bool strict) { strict_ = strict; }

    // Beeps since start (the windows tests read it).
    int beepCount() const { return beeps_; }
    // When set, beep() only counts (tests and screenshots keep quiet).
    void setSilent(bool silent) { silent_ = silent; }

    static constexpr int kLogLines = 500;

private:
    QString statusText_;   // the status line's own text, kept under a notice
    QString statusNotice_;
    void showBox(int icon, const QString& text);
    QWidget* widget(const QString& name) const;
    QWidget* dialogParent() const;

    TForm1* main_;
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
