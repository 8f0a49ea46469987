#pragma once
// "My Games" (Help menu): the player's record of games as a table, the totals of today,
// 7 days, 30 days and all, the balance over time and spent against won per day, and an
// export of the record as CSV. It shows what the record (GameHistory) tells it through
// HistoryView and passes the player's export to it.
#include "views/historyview.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <functional>

class GameHistory;
class QChartView;
class QLabel;
class QTableView;
class QTableWidget;

// The games as rows, newest first; every text plain.
class GamesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Hall, Game, Spent, Result, WinningCall, Prize, Net, Balance, Cards, Columns };
    using QAbstractTableModel::QAbstractTableModel;
    void setGames(const QList<PlayedGame>& games);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<PlayedGame> games_;
};

class MyGamesWindow : public QDialog, public HistoryView {
    Q_OBJECT
public:
    explicit MyGamesWindow(QWidget* parent = nullptr);
    // The record the window's commands go to; until then Export does nothing.
    void attach(GameHistory* history) { history_ = history; }
    // Where Export writes: asked of the player in a file dialog unless a chooser is set (tests).
    void setPathChooser(std::function<QString()> chooser) { chooser_ = std::move(chooser); }

    void showHistoryWindow() override;
    void showGames(const QList<PlayedGame>& games, int total) override;
    void showTotals(const HistoryTotals& totals) override;
    void showBalanceChart(const QList<BalancePoint>& points) override;
    void showDailyChart(const QList<DayFigures>& days) override;
    void showHistoryNote(const QString& note) override;

private:
    void exportCsv();

    GameHistory* history_ = nullptr;
    std::function<QString()> chooser_;
    GamesModel* model_;
    QTableView* table_;
    QTableWidget* totals_;
    QLabel* count_;
    QLabel* note_;
    QChartView* balanceChart_;
    QChartView* dailyChart_;
};
