#pragma once
// My Games as the record sees it. The window lives in a library of its own in the program
// folder's lib/ ("libvexobingo-mygames.so", with Qt Charts), loaded and made the first time the player opens
// it: neither Qt Charts nor the window is set up before the login dialog shows. Where the
// library cannot be loaded, the player is told once why and the record goes on without a window.
#include "views/historyview.h"

#include <QLibrary>
#include <QString>

#include <functional>
#include <memory>

class GameHistory;
class QWidget;

class MyGamesOnDemand : public HistoryView {
public:
    static constexpr const char* kLibrary = "libvexobingo-mygames.so";
    static constexpr const char* kEntry = "vexobingo_make_my_games";

    // folder: where the library is (lib/ of the program's folder).
    MyGamesOnDemand(QWidget* parent, const QString& folder);
    ~MyGamesOnDemand() override;
    void attach(GameHistory* history) { history_ = history; }
    // The window, made now if it was not yet; none when the library cannot be loaded.
    HistoryView* window();
    // Why the library could not be loaded; empty while it has not failed.
    const QString& failure() const { return failure_; }

    void showHistoryWindow() override;
    void showGames(const QList<PlayedGame>& games, int total) override;
    void showTotals(const HistoryTotals& totals) override;
    void showBalanceChart(const QList<BalancePoint>& points) override;
    void showDailyChart(const QList<DayFigures>& days) override;
    void showHistoryNote(const QString& note) override;

private:
    QWidget* parent_;
    QLibrary library_;
    GameHistory* history_ = nullptr;
    std::unique_ptr<HistoryView> window_;
    QString failure_;
};
