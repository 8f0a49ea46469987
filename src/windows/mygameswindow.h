#pragma once
// "My Games" (Help menu): the player's record of games as a table, the totals of today,
// 7 days, 30 days and all, the balance over time and spent against won per day, and an
// export of the record as CSV. It shows what the record (GameHistory) tells it through
// HistoryView and passes the player's export to it. It draws its charts with Qt Charts and
// is built as a library of its own beside the program (MyGamesOnDemand loads it).
#include "views/historyview.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <functional>
#include <memory>

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
    // Where the window's export goes (the record's ExportCsv); until then Export does nothing.
    using Export = std::function<bool(const QString& path)>;
    void setExport(Export exportCsv) { export_ = std::move(exportCsv); }
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

    Export export_;
    std::function<QString()> chooser_;
    GamesModel* model_;
    QTableView* table_;
    QTableWidget* totals_;
    QLabel* count_;
    QLabel* note_;
    QChartView* balanceChart_;
    QChartView* dailyChart_;
};
