#pragma once
// The windows' side of the typed views: each class shows one area of the screen with the
// widgets of the windows, found once by their design names through the ViewHub.
#include "views/views.h"

#include <memory>

class MainWindow;
class ViewHub;

class ScreenViews {
public:
    ScreenViews(MainWindow* mainWindow, ViewHub* hub);
    ~ScreenViews();
    Views views() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
