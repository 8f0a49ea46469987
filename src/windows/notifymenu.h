#pragma once
// The windows' side of the desktop notices: whether the main window is the active window, and
// the "Notifications" submenu whose checkable items switch each kind of notice on or off.
#include "notify/notifier.h"

class QMenu;
class QWidget;

class MainWindowFocus : public WindowFocus {
public:
    explicit MainWindowFocus(const QWidget* mainWindow) : main_(mainWindow) {}
    bool mainWindowActive() const override;

private:
    const QWidget* main_;
};

// Adds the submenu to `menu` (after a separator) and returns it.
QMenu* AddNotificationsMenu(QMenu* menu, Notifier* notifier);
