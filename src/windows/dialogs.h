#pragma once
// The secondary windows. Each is made once at start-up (hidden, except the login
// dialog), holds only its controls, and passes its commands to the game core.
#include <QDialog>
#include <QWidget>

#include "calls/setcatalogue.h"

class GameCore;
class QLabel;

class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(GameCore* core, QWidget* parent = nullptr);

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

class AboutDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* mainWindow, QWidget* parent = nullptr);
};

class ThanksDialog : public QDialog {
    Q_OBJECT
public:
    explicit ThanksDialog(GameCore* core, QWidget* parent = nullptr);
};

class NewsDialog : public QWidget {
    Q_OBJECT
public:
    explicit NewsDialog(QWidget* parent = nullptr);
};

class AliasDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit AliasDialog(GameCore* core, QWidget* parent = nullptr);
};

class DownloadWindow : public QWidget {
    Q_OBJECT
public:
    explicit DownloadWindow(QWidget* parent = nullptr);

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

class CallerSetWindow : public SetCatalogueWindow {
    Q_OBJECT
public:
    explicit CallerSetWindow(GameCore* core, QWidget* parent = nullptr);
};

class FunBingoWindow : public SetCatalogueWindow {
    Q_OBJECT
public:
    explicit FunBingoWindow(GameCore* core, QWidget* parent = nullptr);
};

class AnnouncerSetWindow : public SetCatalogueWindow {
    Q_OBJECT
public:
    explicit AnnouncerSetWindow(GameCore* core, QWidget* parent = nullptr);
};

class WinnersWindow : public QWidget {
    Q_OBJECT
public:
    explicit WinnersWindow(QWidget* mainWindow, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* main_;
};

class CommsAlert : public QWidget {
    Q_OBJECT
public:
    explicit CommsAlert(GameCore* core, QWidget* parent = nullptr);

protected:
    // The window's own close button, and Escape, count as its OK.
    void closeEvent(QCloseEvent* event) override;

private:
    GameCore* core_;
};
