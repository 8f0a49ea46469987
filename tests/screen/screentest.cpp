// vexobingo-screentest: the client with a driver for screenshots. It starts the client as the
// program does (every option of the program works here too) and then buys the first N cards as
// soon as sales open, by the same commands the player's buttons give, and reports the game's
// phases on stdout ("screen-test: sales", "bought", "game", "bingo", "over") for a script to
// take its pictures at. --skin ROW applies a skin after start-up. --my-games FILE adds two weeks of
// sample games to the player's record, opens My Games and saves a picture of it in FILE.
#include "app/client.h"
#include "game/coreparts.h"
#include "game/gamecore.h"
#include "history/gamehistory.h"
#include "history/historystore.h"
#include "shell/programfolder.h"
#include "windows/viewhub.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <memory>

namespace {
void Say(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

class ScreenTest : public QObject {
public:
    ScreenTest(GameCore* core, ViewHub* hub, int count, int autoBuy)
        : core_(core), hub_(hub), count_(count), autoBuy_(autoBuy)
    {
        // The whole screen, so the in-game layout has room for its cards.
        if (QWidget* form = hub_->window(QStringLiteral("TForm1")))
            form->resize(1024, 768 - 2);
        connect(&timer_, &QTimer::timeout, this, [this] { step(); });
        timer_.start(100);
    }

private:
    void phase(int p, const char* text)
    {
        if (phase_ >= p)
            return;
        phase_ = p;
        Say(text);
    }

    void step()
    {
        GameCore& c = *core_;
        // Pop-ups would hide the main window on a screen without a window manager.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && (qobject_cast<QMessageBox*>(w) || w->objectName() == QLatin1String("TForm2")
                                   || w->objectName() == QLatin1String("TAliasConfirm")))
                w->hide();
        if (c.round().phase() == Phase::SalesOpen && c.round().secondsToStart() >= 60
            && hub_->isVisible(QStringLiteral("Panel18")))
            phase(1, "screen-test: sales");
        if (phase_ >= 1 && phase_ < 3)
            ++salesSteps_;
        if (c.round().running() && c.round().callCount() >= 3)
            phase(3, "screen-test: game");
        if (c.round().running() && hub_->isVisible(QStringLiteral("BingoGIF")))
            phase(4, "screen-test: bingo");
        if (phase_ >= 4 && !c.round().running())
            phase(5, "screen-test: over");
        buy();
    }

    void buy()
    {
        GameCore& c = *core_;
        if (!c.round().buyingOpen() || c.links().busy() || salesSteps_ < 25)
            return;
        if (next_ > count_ || next_ > CardRack::kInUse) {
            if (c.rack().currentCard() > 1 && !c.round().running())
                c.table().LeftCardClick();   // back to the first card for the picture
            return;
        }
        if (c.rack().currentCard() < next_) {
            c.table().RightCardClick();
            return;
        }
        const BingoCard& card = c.rack().card(c.rack().currentCard());
        if (card.Entered) {
            if (++next_ > count_)
                phase(2, "screen-test: bought");
            return;
        }
        if (!card.Loaded && c.round().selectionOpen())
            c.shop().chooseFaces(4);
        else if (card.Loaded && autoBuy_ > 0 && c.shop().StartAutoBuy(autoBuy_))
            Say("screen-test: auto-buy");
        else if (card.Loaded && !c.shop().autoBuying())
            c.shop().Button3Click();
    }

    GameCore* core_;
    ViewHub* hub_;
    int count_;
    int autoBuy_;
    int next_ = 1;
    int phase_ = 0;
    int salesSteps_ = 0;
    QTimer timer_;
};

// Two weeks of an evening's play, the same every time: a few games a day of one to four
// cards, a win now and then, the balance running on from game to game.
bool WriteSampleGames(const QString& path)
{
    HistoryStore store;
    if (!store.open(path))
        return false;
    const QDate today = QDate::currentDate();
    qint64 balance = 5000;
    quint32 seed = 7;
    const auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % quint32(n));
    };
    int number = 214300;
    for (int day = 13; day >= 0; --day) {
        const int games = day % 5 == 3 ? 0 : 2 + next(4);
        for (int g = 0; g < games; ++g) {
            PlayedGame game;
            game.hall = QStringLiteral("127.0.0.1:48080");
            game.game = QString::number(++number);
            game.time = QDateTime(today.addDays(-day), QTime(19, 0).addSecs(g * 330), Qt::LocalTime).toUTC();
            const int cards = 1 + next(4);
            for (int c = 1; c <= cards; ++c) {
                const int faces = 1 + next(4);
                game.cards.append(PlayedCard{QStringLiteral("%1.%2.0000%3").arg(game.game).arg(10000 + next(90000)).arg(c),
                                             faces, Money::fromCents(25 * faces)});
            }
            game.outcome = PlayedGame::Outcome::Played;
            game.winningCall = 20 + next(30);
            balance -= game.spent().cents();
            if (next(6) == 0) {
                game.winningCards = 1;
                game.prize = Money::fromCents(500 + 250 * next(8));
                balance += game.prize.cents();
            }
            game.balance = Money::fromCents(balance);
            if (!store.addGame(&game))
                return false;
        }
    }
    return true;
}
}

int main(int argc, char** argv)
{
    const QCommandLineOption cardsOption{QStringLiteral("screen-test"),
        QStringLiteral("Buy N cards (0..6) when sales open and report the phases."), QStringLiteral("N")};
    const QCommandLineOption skinOption{QStringLiteral("skin"),
        QStringLiteral("Apply skin ROW (0..11) after start-up."), QStringLiteral("ROW")};
    const QCommandLineOption autoBuyOption{QStringLiteral("auto-buy"),
        QStringLiteral("Buy the first card with auto-buy for N games (1..50)."), QStringLiteral("N")};
    const QCommandLineOption limitsOption{QStringLiteral("limits"),
        QStringLiteral("Set a daily spending limit of 20.00, raise it to 30.00 and show the Play Limits window.")};
    const QCommandLineOption myGamesOption{QStringLiteral("my-games"),
        QStringLiteral("Add sample games to the record, open My Games and save a picture of it in FILE."),
        QStringLiteral("FILE")};
    QString myGamesShot;
    int cards = -1;   // no driving without --screen-test
    int skin = -1;
    int autoBuy = 0;
    bool showLimits = false;
    std::unique_ptr<ScreenTest> driver;

    ClientHooks hooks;
    hooks.program = QStringLiteral("vexobingo-screentest");
    hooks.about = QStringLiteral("This is the client with a driver for screenshots: it buys cards during the sales "
                                 "and prints\n\"screen-test: ...\" as the game goes on.");
    hooks.options = {cardsOption, skinOption, autoBuyOption, limitsOption, myGamesOption};
    hooks.programFolder = QStringLiteral(BINGO_APP_DIR);
    hooks.readOptions = [&](const QCommandLineParser& parser) {
        if (parser.isSet(cardsOption)) {
            bool cardsOk = false;
            cards = parser.value(cardsOption).toInt(&cardsOk);
            if (!cardsOk || cards < 0 || cards > 6)
                return BadValueText(cardsOption, parser.value(cardsOption), "a number of cards (0..6)");
        }
        if (parser.isSet(skinOption)) {
            bool rowOk = false;
            skin = parser.value(skinOption).toInt(&rowOk);
            if (!rowOk || skin < 0 || skin > 11)
                return BadValueText(skinOption, parser.value(skinOption), "a skin row (0..11)");
        }
        if (parser.isSet(autoBuyOption)) {
            bool autoOk = false;
            autoBuy = parser.value(autoBuyOption).toInt(&autoOk);
            if (!autoOk || autoBuy < 1 || autoBuy > CardShop::kMaxAutoGames)
                return BadValueText(autoBuyOption, parser.value(autoBuyOption), "a number of games (1..50)");
        }
        showLimits = parser.isSet(limitsOption);
        myGamesShot = parser.value(myGamesOption);
        return QString();
    };
    hooks.afterFormCreate = [&](const ClientParts& parts) {
        if (!myGamesShot.isEmpty() && parts.history) {
            if (!WriteSampleGames(parts.core.folder().writePath(QString::fromLatin1(GameHistory::kFileName))))
                Say("screen-test: no sample games");
            parts.history->ShowMyGames();
            QTimer::singleShot(1500, [shot = myGamesShot] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (w->isVisible() && w->objectName() == QLatin1String("MyGamesWindow"))
                        Say(w->grab().save(shot) ? "screen-test: my-games" : "screen-test: no picture");
            });
        }
        if (skin >= 0)
            parts.core.table().ChooseSkin(skin);
        if (showLimits) {
            PlayLimits& limits = parts.core.limits();
            limits.setLimit(LimitKind::DailySpend, Money::fromCents(2000));
            limits.setLimit(LimitKind::DailySpend, Money::fromCents(3000));
            limits.setLimit(LimitKind::DailyLoss, Money::fromCents(1000));
            limits.setRealityMinutes(30);
            limits.ShowLimits();
        }
        if (cards < 0)
            return;
        parts.hub.setSilent(true);
        driver = std::make_unique<ScreenTest>(&parts.core, &parts.hub, cards, autoBuy);
        Say("screen-test: started");
    };
    hooks.finished = [&] { driver.reset(); };
    return RunClient(argc, argv, hooks);
}
