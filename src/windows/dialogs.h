#pragma once
// The secondary windows. Each is made once at start-up (hidden, except the login
// dialog), holds only its controls, and passes its commands to the game core.
#include <QDialog>
#include <QWidget>

#include "calls/setcatalogue.h"

class GameCore;
class QLabel;

class Tlogindialog : public QDialog {
    Q_OBJECT
public:
    explicit Tlogindialog(GameCore* core, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    GameCore* core_;
};

// A dialog that opens in the middle of its screen.
class CentredDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    void showEvent(QShowEvent* event) override;
};

class TAboutDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit TAboutDialog(QWidget* mainWindow, QWidget* parent = nullptr);
};

class Tmarketdialog : public QDialog {
    Q_OBJECT
public:
    explicit Tmarketdialog(GameCore* core, QWidget* parent = nullptr);
};

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};

class TAliasConfirm : public CentredDialog {
    Q_OBJECT
public:
    explicit TAliasConfirm(GameCore* core, QWidget* parent = nullptr);
};

class Tgifdownload : public QWidget {
    Q_OBJECT
public:
    explicit Tgifdownload(QWidget* parent = nullptr);

protected:
    // Shown at the main window's left edge, 430 pixels below its top.
    void showEvent(QShowEvent* event) override;
};

// The three content-set windows share one face: a list, a progress bar, two labels
// and Close.
// The list's double-click and the Close button go to the core, which owns the
// catalogue of its kind.
class SetCatalogueWindow : public QWidget {
    Q_OBJECT
public:
    SetCatalogueWindow(GameCore* core, SetKind kind, const QString& className, const QString& caption, QWidget* parent = nullptr);

protected:
    // The window's own close button, and Escape, do what Close does.
    void closeEvent(QCloseEvent* event) override;

private:
    GameCore* core_;
    SetKind kind_;
};

class Tgetcset : public SetCatalogueWindow {
    Q_OBJECT
public:
    explicit Tgetcset(GameCore* core, QWidget* parent = nullptr);
};

class Tgetbings : public SetCatalogueWindow {
    Q_OBJECT
public:
    explicit Tgetbings(GameCore* core, QWidget* parent = nullptr);
};

class Tgetaset : public SetCatalogueWindow {
    Q_OBJECT
public:
    explicit Tgetaset(GameCore* core, QWidget* parent = nullptr);
};

class Twinners : public QWidget {
    Q_OBJECT
public:
    explicit Twinners(QWidget* mainWindow, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* main_;
};

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(GameCore* core, QWidget* parent = nullptr);

protected:
    // The window's own close button, and Escape, count as its OK.
    void closeEvent(QCloseEvent* event) override;

private:
    GameCore* core_;
};
