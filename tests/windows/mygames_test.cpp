// My Games on the real widgets: Help > My Games (or its key) opens it filled from the record,
// the table shows each game with the hall's texts as sent, both charts draw the games, every
// control has a name and a description for screen readers, and Export writes the CSV.
#include "history/gamehistory.h"
#include "recordingscreen.h"
#include "windows/mainwindow.h"
#include "windows/mygamesondemand.h"
#include "windows/mygameswindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(MyGames, HelpMenuOpensTheTableTotalsAndBothChartsAndExportWritesTheFile)
{
    QTemporaryDir dir;
    StatusRecord status;
    MainWindow form;
    MyGamesWindow window(&form);
    QDateTime now(QDate(2026, 12, 7), QTime(20, 0), Qt::LocalTime);
    GameHistory history(dir.filePath(QStringLiteral("history.db")), &status, &window, [&now] { return now; });
    window.setExport([&history](const QString& path) { return history.ExportCsv(path); });
    form.setMyGamesCommand([&history] { history.ShowMyGames(); });

    // Three games on two days, in a hall whose name looks like markup.
    const QString hall = QStringLiteral("<b>Bingo</b> & Co");
    const struct { int daysBefore; int price; int prize; int balance; } games[] = {
        {1, 200, 0, 800}, {1, 100, 1500, 2200}, {0, 400, 0, 1800}};
    int k = 0;
    for (const auto& g : games) {
        now = QDateTime(QDate(2026, 12, 7).addDays(-g.daysBefore), QTime(18, ++k), Qt::LocalTime);
        history.signedIn(hall, Money::fromCents(1000));
        history.cardBought(BoughtCard{QStringLiteral("10000%1").arg(k), QStringLiteral("10000%1.00001.00001").arg(k), 2,
                                      Money::fromCents(g.price), std::nullopt});
        history.gameStarted(QStringLiteral("10000%1").arg(k), 1);
        history.gameEnded(GameOutcome{QStringLiteral("10000%1").arg(k), false, 41, g.prize ? QList<int>{1} : QList<int>{}});
        history.winnersHeard(Money::fromCents(g.prize).text(), {QStringLiteral("Lucky")});
        history.signedIn(hall, Money::fromCents(g.balance));
    }
    now = QDateTime(QDate(2026, 12, 7), QTime(20, 0), Qt::LocalTime);

    QAction* item = form.findChild<QAction*>(QStringLiteral("MyGames1"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    EXPECT_TRUE(item->text().contains(QStringLiteral("&G")));
    item->trigger();
    ASSERT_TRUE(window.isVisible());

    auto* table = window.findChild<QTableView*>(QStringLiteral("games"));
    ASSERT_TRUE(table && table->model());
    ASSERT_EQ(table->model()->rowCount(), 3);
    const auto cell = [table](int row, int column) { return table->model()->index(row, column).data().toString(); };
    EXPECT_EQ(cell(0, GamesModel::Hall), hall);   // a view that draws text plain, as sent
    EXPECT_EQ(cell(0, GamesModel::Game), QStringLiteral("100003"));
    EXPECT_EQ(cell(0, GamesModel::Cards), QStringLiteral("100003.00001.00001 (2 faces, 4.00)"));
    EXPECT_EQ(cell(1, GamesModel::Result), QStringLiteral("Won"));
    EXPECT_EQ(cell(1, GamesModel::Prize), QStringLiteral("15.00"));
    EXPECT_EQ(cell(1, GamesModel::Net), QStringLiteral("14.00"));
    EXPECT_EQ(cell(2, GamesModel::Balance), QStringLiteral("8.00"));
    auto* totals = window.findChild<QTableWidget*>(QStringLiteral("totals"));
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->item(0, 0)->text() + ' ' + totals->item(0, 3)->text(), QStringLiteral("1 -4.00"));
    EXPECT_EQ(totals->item(3, 0)->text() + ' ' + totals->item(3, 3)->text(), QStringLiteral("3 8.00"));

    // The balance line has a point a game; the day bars a bar a day in each of spent and won.
    auto* balanceChart = window.findChild<QChartView*>(QStringLiteral("balanceChart"));
    auto* dailyChart = window.findChild<QChartView*>(QStringLiteral("dailyChart"));
    ASSERT_TRUE(balanceChart && dailyChart);
    ASSERT_EQ(balanceChart->chart()->series().size(), 1);
    auto* line = qobject_cast<QLineSeries*>(balanceChart->chart()->series().first());
    ASSERT_TRUE(line);
    ASSERT_EQ(line->count(), 3);
    EXPECT_EQ(line->at(1).y(), 22.0);
    ASSERT_EQ(dailyChart->chart()->series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(dailyChart->chart()->series().first());
    ASSERT_TRUE(bars && bars->count() == 2);
    EXPECT_EQ(bars->barSets()[0]->count(), 2);
    EXPECT_EQ(bars->barSets()[0]->at(0), 3.0);   // spent the day before
    EXPECT_EQ(bars->barSets()[1]->at(0), 15.0);  // won the day before
    EXPECT_FALSE(balanceChart->grab().isNull());

    // Every control is named and described for screen readers, and every label is plain.
    for (const char* name : {"games", "totals", "balanceChart", "dailyChart", "exportCsv", "close", "note", "count"}) {
        SCOPED_TRACE(name);
        auto* w = window.findChild<QWidget*>(QLatin1String(name));
        ASSERT_TRUE(w);
        EXPECT_FALSE(w->accessibleName().isEmpty());
        EXPECT_FALSE(w->accessibleDescription().isEmpty());
    }
    EXPECT_FALSE(window.accessibleName().isEmpty() || window.accessibleDescription().isEmpty());
    for (QLabel* label : window.findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();

    // Export, by its key Alt+E: the file chosen gets the header and a row a game; the note says so.
    const QString out = dir.filePath(QStringLiteral("mine.csv"));
    window.setPathChooser([&out] { return out; });
    auto* exportButton = window.findChild<QAbstractButton*>(QStringLiteral("exportCsv"));
    ASSERT_TRUE(exportButton);
    EXPECT_EQ(exportButton->shortcut(), QKeySequence(Qt::ALT | Qt::Key_E));
    exportButton->click();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5);   // header, three games, and the end of the last line
    EXPECT_TRUE(lines[0].startsWith("Time,Hall,Game"));
    auto* note = window.findChild<QLabel*>(QStringLiteral("note"));
    EXPECT_TRUE(note && note->isVisibleTo(&window) && note->text().startsWith(QStringLiteral("Exported")));
}

}   // namespace

// The client makes My Games from its library the first time the player opens it; where the
// library is missing the player is told so once and play goes on.
TEST(MyGames, TheWindowComesFromItsLibraryWhenFirstOpenedAndItsAbsenceIsSaid)
{
    QTemporaryDir dir;
    StatusRecord status;
    MainWindow form;
    MyGamesOnDemand onDemand(&form, QStringLiteral(BINGO_APP_DIR "/lib"));
    GameHistory history(dir.filePath(QStringLiteral("history.db")), &status, &onDemand);
    onDemand.attach(&history);
    const auto shown = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("MyGamesWindow") && w->isVisible())
                return true;
        return false;
    };
    EXPECT_FALSE(shown());
    history.ShowMyGames();
    EXPECT_TRUE(shown()) << onDemand.failure().toStdString();
    EXPECT_TRUE(onDemand.failure().isEmpty());

    QTemporaryDir empty;
    MyGamesOnDemand missing(&form, empty.path());
    int boxes = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            ++boxes;
            box->close();
        }
    });
    closer.start(20);
    EXPECT_EQ(missing.window(), nullptr);
    missing.showHistoryWindow();
    missing.showTotals(HistoryTotals{});
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(missing.failure().startsWith(QLatin1String("My Games cannot be shown: "))
                && missing.failure().contains(QLatin1String(MyGamesOnDemand::kLibrary)));
}
