#include "windows/mygameswindow.h"


#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QString ResultText(const PlayedGame& g)
{
    switch (g.outcome) {
    case PlayedGame::Outcome::Unfinished: return QStringLiteral("Unfinished");
    case PlayedGame::Outcome::Aborted: return QStringLiteral("Aborted");
    case PlayedGame::Outcome::Left: return QStringLiteral("Left");
    case PlayedGame::Outcome::Played: break;
    }
    return g.won() ? QStringLiteral("Won") : QStringLiteral("Lost");
}

QString CardsText(const PlayedGame& g)
{
    QStringList cards;
    for (const PlayedCard& c : g.cards)
        cards << QStringLiteral("%1 (%2 %3, %4)")
                     .arg(c.cardId)
                     .arg(c.faces)
                     .arg(c.faces == 1 ? QStringLiteral("face") : QStringLiteral("faces"),
                          c.price ? c.price->text() : QStringLiteral("?"));
    return cards.join(QStringLiteral("; "));
}

double Dollars(Money m) { return double(m.cents()) / 100.0; }

template <class W>
W* Named(W* w, const char* name, const QString& accessibleName, const QString& description)
{
    w->setObjectName(QLatin1String(name));
    w->setAccessibleName(accessibleName);
    w->setAccessibleDescription(description);
    return w;
}

void ClearChart(QChart* chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

// A value axis over lo..hi with a little room on both sides, and some room when they are equal.
QValueAxis* MoneyAxis(double lo, double hi)
{
    auto* axis = new QValueAxis;
    const double pad = hi > lo ? (hi - lo) * 0.08 : std::max(1.0, hi * 0.1);
    axis->setRange(lo >= 0 ? std::max(0.0, lo - pad) : lo - pad, hi + pad);
    axis->setLabelFormat(QStringLiteral("%.2f"));
    axis->applyNiceNumbers();
    return axis;
}
}

void GamesModel::setGames(const QList<PlayedGame>& games)
{
    beginResetModel();
    games_ = games;
    endResetModel();
}

int GamesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(games_.size()); }

int GamesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Columns; }

QVariant GamesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= games_.size())
        return {};
    const PlayedGame& g = games_[index.row()];
    if (role == Qt::TextAlignmentRole && index.column() >= Spent && index.column() != Result && index.column() != Cards)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole)
        return {};
    switch (Column(index.column())) {
    case Time: return g.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    case Hall: return g.hall;
    case Game: return g.game;
    case Cards: return CardsText(g);
    case Spent: return g.spent().text();
    case Result: return ResultText(g);
    case WinningCall: return g.winningCall > 0 ? QString::number(g.winningCall) : QString();
    case Prize: return g.prize.text();
    case Net: return Money::fromCents(g.prize.cents() - g.spent().cents()).text();
    case Balance: return g.balance ? g.balance->text() : QString();
    case Columns: break;
    }
    return {};
}

QVariant GamesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const kTitles[Columns] = {"Time",  "Hall", "Game",          "Spent", "Result", "Winning call",
                                                 "Prize", "Net",  "Balance after", "Cards"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Columns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(kTitles[section]);
}

MyGamesWindow::MyGamesWindow(QWidget* parent) : QDialog(parent)
{
    Named(this, "MyGamesWindow", QStringLiteral("My Games"),
          QStringLiteral("The games you bought into, with totals, charts and an export as CSV"));
    setWindowTitle(QStringLiteral("My Games"));
    resize(940, 680);

    note_ = Named(new QLabel(this), "note", QStringLiteral("Note"), QStringLiteral("What became of the record"));
    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(true);
    note_->hide();

    totals_ = Named(new QTableWidget(4, 4, this), "totals", QStringLiteral("Totals"),
                    QStringLiteral("Games, spent, won and net for today, 7 days, 30 days and all"));
    totals_->setHorizontalHeaderLabels({QStringLiteral("Games"), QStringLiteral("Spent"), QStringLiteral("Won"),
                                        QStringLiteral("Net")});
    totals_->setVerticalHeaderLabels({QStringLiteral("Today"), QStringLiteral("7 days"), QStringLiteral("30 days"),
                                      QStringLiteral("All")});
    totals_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    totals_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    totals_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    totals_->verticalHeader()->setDefaultSectionSize(28);
    totals_->setFixedHeight(4 * 28 + totals_->horizontalHeader()->sizeHint().height() + 2 * totals_->frameWidth());
    totals_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    totals_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            totals_->setItem(r, c, item);
        }

    balanceChart_ = Named(new QChartView(this), "balanceChart", QStringLiteral("Balance over time"),
                          QStringLiteral("A line of your balance after each game"));
    dailyChart_ = Named(new QChartView(this), "dailyChart", QStringLiteral("Spent and won per day"),
                        QStringLiteral("Bars of what you spent and won on each day you played"));
    for (QChartView* view : {balanceChart_, dailyChart_}) {
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(300, 200);
        view->chart()->legend()->setAlignment(Qt::AlignBottom);
        view->setFocusPolicy(Qt::TabFocus);
    }
    balanceChart_->chart()->setTitle(QStringLiteral("Balance over time"));
    balanceChart_->chart()->legend()->hide();
    dailyChart_->chart()->setTitle(QStringLiteral("Spent and won per day"));

    model_ = new GamesModel(this);
    table_ = Named(new QTableView(this), "games", QStringLiteral("Games"),
                   QStringLiteral("Each game you bought into, newest first: time, hall, game, cards, spent, result, "
                                  "winning call, prize, net and balance after"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);

    count_ = Named(new QLabel(this), "count", QStringLiteral("Games shown"), QStringLiteral("How many games are shown"));
    count_->setTextFormat(Qt::PlainText);

    auto* exportButton = Named(new QPushButton(QStringLiteral("&Export CSV…"), this), "exportCsv",
                               QStringLiteral("Export CSV"),
                               QStringLiteral("Saves every game of the record as a CSV file you choose"));
    auto* closeButton = Named(new QPushButton(QStringLiteral("&Close"), this), "close", QStringLiteral("Close"),
                              QStringLiteral("Closes My Games"));
    connect(exportButton, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);

    auto* totalsLabel = new QLabel(QStringLiteral("&Totals"), this);
    totalsLabel->setTextFormat(Qt::PlainText);
    totalsLabel->setBuddy(totals_);
    auto* gamesLabel = new QLabel(QStringLiteral("&Games"), this);
    gamesLabel->setTextFormat(Qt::PlainText);
    gamesLabel->setBuddy(table_);

    auto* top = new QHBoxLayout;
    auto* totalsColumn = new QVBoxLayout;
    totalsColumn->addWidget(totalsLabel);
    totalsColumn->addWidget(totals_);
    totalsColumn->addStretch();
    top->addLayout(totalsColumn, 3);
    top->addWidget(balanceChart_, 4);
    top->addWidget(dailyChart_, 4);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count_, 1);
    buttons->addWidget(exportButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note_);
    layout->addLayout(top, 3);
    layout->addWidget(gamesLabel);
    layout->addWidget(table_, 2);
    layout->addLayout(buttons);

    setTabOrder(totals_, balanceChart_);
    setTabOrder(balanceChart_, dailyChart_);
    setTabOrder(dailyChart_, table_);
    setTabOrder(table_, exportButton);
    setTabOrder(exportButton, closeButton);
}

void MyGamesWindow::showHistoryWindow()
{
    show();
    raise();
    activateWindow();
    table_->setFocus(Qt::OtherFocusReason);
}

void MyGamesWindow::showGames(const QList<PlayedGame>& games, int total)
{
    model_->setGames(games);
    table_->resizeColumnsToContents();
    count_->setText(total > games.size() ? QStringLiteral("The newest %1 of %2 games").arg(games.size()).arg(total)
                    : total == 1         ? QStringLiteral("1 game")
                                         : QStringLiteral("%1 games").arg(total));
}

void MyGamesWindow::showTotals(const HistoryTotals& totals)
{
    const PeriodTotals* rows[4] = {&totals.today, &totals.week, &totals.month, &totals.all};
    for (int r = 0; r < 4; ++r) {
        const QString cells[4] = {QString::number(rows[r]->games), rows[r]->spent.text(), rows[r]->won.text(),
                                  rows[r]->net().text()};
        for (int c = 0; c < 4; ++c)
            totals_->item(r, c)->setText(cells[c]);
    }
}

void MyGamesWindow::showBalanceChart(const QList<BalancePoint>& points)
{
    QChart* chart = balanceChart_->chart();
    ClearChart(chart);
    if (points.isEmpty())
        return;
    auto* series = new QLineSeries;
    series->setName(QStringLiteral("Balance"));
    series->setPointsVisible(points.size() < 60);
    double lo = Dollars(points.first().balance), hi = lo;
    for (const BalancePoint& p : points) {
        series->append(double(p.time.toMSecsSinceEpoch()), Dollars(p.balance));
        lo = std::min(lo, Dollars(p.balance));
        hi = std::max(hi, Dollars(p.balance));
    }
    chart->addSeries(series);
    auto* time = new QDateTimeAxis;
    const qint64 first = points.first().time.toMSecsSinceEpoch();
    const qint64 last = points.last().time.toMSecsSinceEpoch();
    const qint64 pad = std::max<qint64>((last - first) / 20, 30 * 60 * 1000);
    time->setRange(QDateTime::fromMSecsSinceEpoch(first - pad), QDateTime::fromMSecsSinceEpoch(last + pad));
    time->setFormat(last - first > 2 * 86400 * 1000LL ? QStringLiteral("dd MMM") : QStringLiteral("HH:mm"));
    time->setTickCount(5);
    chart->addAxis(time, Qt::AlignBottom);
    QValueAxis* money = MoneyAxis(lo, hi);
    chart->addAxis(money, Qt::AlignLeft);
    series->attachAxis(time);
    series->attachAxis(money);
}

void MyGamesWindow::showDailyChart(const QList<DayFigures>& days)
{
    QChart* chart = dailyChart_->chart();
    ClearChart(chart);
    if (days.isEmpty())
        return;
    auto* spent = new QBarSet(QStringLiteral("Spent"));
    auto* won = new QBarSet(QStringLiteral("Won"));
    spent->setColor(QColor(0xd0, 0x5a, 0x3c));
    won->setColor(QColor(0x3c, 0x9a, 0x5a));
    QStringList names;
    double hi = 0;
    for (const DayFigures& d : days) {
        spent->append(Dollars(d.spent));
        won->append(Dollars(d.won));
        hi = std::max({hi, Dollars(d.spent), Dollars(d.won)});
        names << d.day.toString(QStringLiteral("d MMM"));
    }
    auto* series = new QBarSeries;
    series->append(spent);
    series->append(won);
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    categories->append(names);
    categories->setLabelsAngle(-90);
    categories->setTruncateLabels(false);
    chart->addAxis(categories, Qt::AlignBottom);
    QValueAxis* money = MoneyAxis(0, hi);
    chart->addAxis(money, Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(money);
}

void MyGamesWindow::showHistoryNote(const QString& note)
{
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

void MyGamesWindow::exportCsv()
{
    if (!export_)
        return;
    const QString path = chooser_ ? chooser_()
                                  : QFileDialog::getSaveFileName(this, QStringLiteral("Export My Games"),
                                                                 QDir::home().filePath(QStringLiteral("my-games.csv")),
                                                                 QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty())
        export_(path);
}

// The entry point of the library (libvexobingo-mygames.so) that MyGamesOnDemand loads.
extern "C" Q_DECL_EXPORT HistoryView* vexobingo_make_my_games(QWidget* parent, const MyGamesWindow::Export* exportCsv)
{
    auto* window = new MyGamesWindow(parent);
    if (exportCsv)
        window->setExport(*exportCsv);
    return window;
}
