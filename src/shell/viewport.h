#pragma once
// The narrow interface through which the game core reaches the screen. Controls
// and windows are addressed by their design names ("tbimage", "status",
// "Twinners.payout", see controlnames.h); a name with a window prefix addresses a
// control of that secondary window, a bare name a control of the main window.
// Data flows one way: the core tells the screen what to show and never reads a
// control back; the windows send the player's commands to the core.
#include <QString>
#include <QStringList>
#include <cstdint>

class MainView {
public:
    virtual ~MainView() = default;

    // Named controls.
    virtual void setVisible(const QString& control, bool visible) = 0;
    virtual void setEnabled(const QString& control, bool enabled) = 0;
    virtual void setText(const QString& control, const QString& text) = 0;   // caption or label text
    virtual void setHint(const QString& control, const QString& hint) = 0;
    // What a screen reader says a control is (its name) and what it is for (its description).
    virtual void describe(const QString& control, const QString& name, const QString& description) = 0;
    virtual void setChecked(const QString& control, bool checked) = 0;
    virtual void setFontColour(const QString& control, std::uint32_t rgb) = 0;
    virtual void setFaceColour(const QString& control, std::uint32_t rgb) = 0;
    virtual void setItems(const QString& control, const QStringList& items) = 0;   // list boxes
    // Adds a line of plain text at the end of a log (its oldest lines go past its bound)
    // or an entry at the end of a list box.
    virtual void appendLine(const QString& control, const QString& line) = 0;
    virtual void setProgress(const QString& control, int value) = 0;
    virtual void setGeometry(const QString& control, int left, int top, int width, int height) = 0;
    virtual void moveControl(const QString& control, int left, int top) = 0;
    virtual void setColumns(const QString& listBox, int columns) = 0;
    // Loads a picture file (program-folder relative) into a picture control; false when
    // it cannot be read (the control keeps its previous picture).
    virtual bool loadPicture(const QString& control, const QString& file) = 0;
    // Loads a rich-text (RTF) file (program-folder relative) into a text box, shown as
    // formatted plain text: nothing in it is followed, run or fetched. False when it
    // cannot be read.
    virtual bool loadRichText(const QString& control, const QString& file) = 0;
    virtual void repaint(const QString& control) = 0;

    // Windows.
    virtual void showWindow(const QString& window) = 0;
    virtual void hideWindow(const QString& window) = 0;

    // Cards 1..10 and the board read their models from the core; these ask for a redraw.
    virtual void redrawCard(int card) = 0;
    virtual void redrawBoard() = 0;
    virtual void setCardCursor(bool dauber) = 0;

    // Player dialogs and the system.
    virtual void messageBox(const QString& text) = 0;           // information, returns at once
    virtual void errorBox(const QString& text) = 0;             // error icon, returns at once
    virtual bool question(const QString& text) = 0;             // Yes/No; true only for Yes
    virtual bool chooseColour(std::uint32_t initial, std::uint32_t* chosen) = 0;
    virtual void beep() = 0;
    virtual void log(const QString& text) = 0;                  // the hidden diagnostic memo
    // A notice shown in the status line in place of its text until it is cleared (empty),
    // when the status line's own text (kept meanwhile) returns.
    virtual void setStatusNotice(const QString& notice) = 0;
    // A short spoken update for screen readers as the game goes on (the call, a card at one
    // to go, the claim's result, the winners); nothing changes on screen.
    virtual void announce(const QString& text) = 0;
    virtual void openUrl(const QString& url) = 0;
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    virtual void quit() = 0;
};
