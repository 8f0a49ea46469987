#pragma once
// What screen readers are told beyond what Qt's own widgets say: the board and the card
// faces read cell by cell, and the game's spoken updates.
#include <QRect>
#include <QString>
#include <QWidget>

// A widget drawn as a grid of cells that a reader can walk one cell at a time, or by row and
// column as a table.
class ReadableGrid {
public:
    virtual ~ReadableGrid() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual int cellIndex(int row, int column) const = 0;   // -1 outside the grid
    virtual int cellRow(int index) const = 0;
    virtual int cellColumn(int index) const = 0;
    // The header of a column or a row ("B" … "O" where the letters head them); empty for none.
    virtual QString columnHeader(int) const { return {}; }
    virtual QString rowHeader(int) const { return {}; }
    int cellCount() const { return rowCount() * columnCount(); }
    virtual QString cellReading(int index) const = 0;
    virtual QRect cellRect(int index) const = 0;   // in the widget's own coordinates
    virtual QString gridReading() const = 0;       // the grid as a whole
    virtual QString gridHelp() const { return {}; }   // how to walk it, when its description does not say
    virtual int focusCell() const { return -1; }   // the cell the keyboard is on, or -1
};

// Tells readers that the keyboard moved to a cell, or that a cell reads differently now.
void ReportCellFocus(QWidget* grid, int index);
void ReportCellChanged(QWidget* grid, int index);

// A place without looks that says each update as an alert ("B 7", "Card 2: 1 to go").
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent = nullptr);
    void say(const QString& text);
};

// Teaches Qt's accessibility layer the grids and the announcer; once, before any window.
void InstallScreenReaderSupport();
