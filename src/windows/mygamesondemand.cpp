#include "windows/mygamesondemand.h"

#include "history/gamehistory.h"

#include <QDir>
#include <QMessageBox>
#include <QWidget>

MyGamesOnDemand::MyGamesOnDemand(QWidget* parent, const QString& folder)
    : parent_(parent), library_(QDir(folder).filePath(QLatin1String(kLibrary)))
{
}

// The window goes before the library is let go; the library stays mapped for the run.
MyGamesOnDemand::~MyGamesOnDemand() = default;

HistoryView* MyGamesOnDemand::window()
{
    if (window_ || !failure_.isEmpty())
        return window_.get();
    using Export = std::function<bool(const QString&)>;
    using Make = HistoryView* (*)(QWidget*, const Export*);
    const auto make = reinterpret_cast<Make>(library_.resolve(kEntry));
    GameHistory* history = history_;
    const Export exportCsv = [history](const QString& path) { return history && history->ExportCsv(path); };
    window_.reset(make ? make(parent_, &exportCsv) : nullptr);
    if (!window_) {
        failure_ = QStringLiteral("My Games cannot be shown: ") + library_.errorString();
        QMessageBox box(QMessageBox::Warning, QStringLiteral("My Games"), failure_, QMessageBox::Ok, parent_);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    return window_.get();
}

void MyGamesOnDemand::showHistoryWindow()
{
    if (HistoryView* w = window())
        w->showHistoryWindow();
}

void MyGamesOnDemand::showGames(const QList<PlayedGame>& games, int total)
{
    if (HistoryView* w = window())
        w->showGames(games, total);
}

void MyGamesOnDemand::showTotals(const HistoryTotals& totals)
{
    if (HistoryView* w = window())
        w->showTotals(totals);
}

void MyGamesOnDemand::showBalanceChart(const QList<BalancePoint>& points)
{
    if (HistoryView* w = window())
        w->showBalanceChart(points);
}

void MyGamesOnDemand::showDailyChart(const QList<DayFigures>& days)
{
    if (HistoryView* w = window())
        w->showDailyChart(days);
}

void MyGamesOnDemand::showHistoryNote(const QString& note)
{
    if (HistoryView* w = window())
        w->showHistoryNote(note);
}
