#pragma once
// The real main window on a game core, offscreen, silent, with six four-face cards bought
// in a running sales period. Construct after the QApplication.
#include "benchgame.h"
#include "components/media/mediawaveplayer.h"
#include "windows/mainwindow.h"
#include "windows/screenviews.h"
#include "windows/viewhub.h"

#include <QApplication>
#include <QTemporaryDir>

struct BenchWindow {
    QTemporaryDir dir;
    GameClock clock;
    NullWavePlayer player;
    MainWindow form;
    ViewHub hub{&form};
    ScreenViews screen{&form, &hub};
    GameCore core;

    explicit BenchWindow(int msPerSecond = 1000)
        : clock(msPerSecond), core(Config(dir.path()), (hub.setSilent(true), screen.views()), &clock, &player)
    {
        form.attach(&core, &hub);
        core.FormCreate();
        form.resize(1024, 766);
        form.show();
        QApplication::processEvents();
        BuySixCards(core);
    }

    static CoreConfig Config(const QString& folder)
    {
        CoreConfig config;
        config.folder = config.languageFolder = folder;
        config.defaultWebHost = QStringLiteral("127.0.0.1:1");
        config.ports = LinkPorts{1, 1, 1};
        return config;
    }
};
