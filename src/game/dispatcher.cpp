// Every line the game server sends reaches DispatchServerLine as an event.
#include "game/gamecore.h"

#include "game/coreparts.h"
#include "game/roundsteps.h"

#include "rules/wire.h"
#include "shell/texts.h"

#include <type_traits>

namespace {
const QString kPreviousGame =
    QStringLiteral("Your Bingo Cards were entered into the previous game. Please Reconnect to join the next game");
}

void GameCore::ServerLineReceived(Link link, const QByteArray& line)
{
    const std::optional<ServerEvent> event =
        link == Link::Request ? ParseRequestReply(parts_->links.pending(), line) : ParseFeedLine(link, line);
    if (event)
        DispatchServerLine(*event);
}

void GameCore::DispatchServerLine(const ServerEvent& event)
{
    std::visit(
        [this](const auto& e) {
            using Event = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<Event, GameOver>)
                steps_->EndGame(false);
            else if constexpr (std::is_same_v<Event, BingoCalled>)
                steps_->AnnounceBingo();
            else if constexpr (std::is_same_v<Event, CardReply> || std::is_same_v<Event, StarterCards>
                               || std::is_same_v<Event, PurchaseReply>)
                parts_->shop.Handle(e);
            else
                Handle(e);
        },
        event);
}

// A game whose number is not the one our cards were bought for: we leave it.
bool GameCore::CardsFromAnotherGame(const QByteArray& gameNumber)
{
    // Game numbers are six characters; a longer one is read as its first six.
    parts_->round.setGameNumber(L1(gameNumber.left(6)));
    if (parts_->rack.belongsTo(parts_->round.gameNumber()))
        return false;
    steps_->LeaveGame();
    views_.player->message(kPreviousGame);
    return true;
}

void GameCore::ShowPattern(const QByteArray& descriptor)
{
    parts_->pattern.LoadGamePattern(descriptor);
    parts_->pictures.ShowPatternPicture(parts_->pattern.PatternImage);
}

void GameCore::Handle(const Announcement& a)
{
    if (parts_->round.phase() == Phase::WaitingForSales) {
        if (a.buy) {
            parts_->round.salesFeedOpened();
            parts_->links.feedHeard();
            parts_->links.setReopenMark(Link::SalesFeed, 0);
            parts_->links.close(Link::SalesFeed);
            parts_->links.setReopenMark(Link::GameFeed, parts_->round.secondsToStart());
            parts_->links.open(Link::GameFeed);
            parts_->events.tell([this](PlayListener& l) { l.salesOpened(parts_->round.secondsToStart()); });
        }
        return;
    }
    if (!parts_->round.counting() && !parts_->round.running() && parts_->round.phase() != Phase::Starting)
        return;   // no game to announce to
    if (CardsFromAnotherGame(a.gameNumber))
        return;
    ShowPattern(a.pattern);
    views_.figures->showPlayers(L1(a.players));
    views_.figures->showJackpot(QStringLiteral("$ ") + L1(a.jackpot));
    if (parts_->round.announced() || !a.seconds)
        return;
    parts_->round.salesAnnounced(*a.seconds);
    parts_->rack.HideCards();
    views_.table->showSidePanel(true);
    parts_->table.iset1Click();
    parts_->rack.showGrid(true);
    views_.table->placeCard(1, 0, 0);
    parts_->table.LayoutMainWindow();
    parts_->sounds.PlayIfPresent(QStringLiteral("saleson.wav"));
    parts_->table.Refresh1Click();
}

void GameCore::Handle(const GameStart& g)
{
    if (!g.withPicture)
        views_.player->beep();
    parts_->links.feedHeard();
    if (CardsFromAnotherGame(g.gameNumber))
        return;
    parts_->round.drawArrived(g.draw);
    steps_->StartGame();
    steps_->setBingoImage(g.bingoImage);
    ShowPattern(g.pattern);
    views_.figures->showPlayers(L1(g.players));
    if (g.withPicture)
        views_.figures->showJackpot(QStringLiteral("$") + L1(g.jackpot));
    if (!g.winningCall)
        return;
    parts_->round.setWinningCall(*g.winningCall);
    if (!g.finalCall)
        return;
    parts_->round.setFinalCall(*g.finalCall);
    if (g.withPicture)
        parts_->pictures.LoadBingoPicture(L1(g.bingoImage));
}

void GameCore::Handle(const LoginReply& r)
{
    loginDeadline_.stop();
    switch (r.verdict) {
    case LoginReply::Verdict::Accepted:
        if (!LoginAccepted(r))
            return;
        break;
    case LoginReply::Verdict::WrongPassword:
        views_.player->beep();
        views_.status->showStatus(parts_->language.text(Text::StatusWrongPassword));
        parts_->signIn.ShowLoginDialog();
        views_.player->message(parts_->language.text(Text::StatusWrongPassword));
        break;
    case LoginReply::Verdict::Refused:
        views_.player->beep();
        views_.status->showStatus(L1(Chars(r.line, 12, 75)));
        parts_->signIn.ShowLoginDialog();
        ShowRefusalText(views_.player, parts_->language, r.line, "This Account has", Text::LoginRefusalFirst);
        break;
    case LoginReply::Verdict::Other:
        break;
    }
    parts_->table.iset1Click();
    views_.shop->enableCardButtons(true);
    parts_->table.Refresh1Click();
}

// "PQZ!LOGINOK": the session starts. False when the reply could not be read to its
// end (a protocol error stops the handling where it is).
bool GameCore::LoginAccepted(const LoginReply& r)
{
    parts_->settings.save();
    parts_->settings.setAlias(L1(r.alias));
    const QString& alias = parts_->settings.values().Alias;
    if (!parts_->folder.exists(QStringLiteral("sounds/null.wav")))
        parts_->pictures.FetchFile(QStringLiteral("null.wav"), FetchKind::Sound);
    parts_->signIn.Welcome(alias);
    views_.status->showAlias(alias);
    parts_->shop.setBalance(r.balance);
    views_.status->showStatus(parts_->language.text(Text::StatusBalanceUpdated));
    parts_->events.tell([this](PlayListener& l) {
        l.signedIn(parts_->settings.values().WebHost, parts_->shop.balance());
    });
    views_.figures->showJackpot(QStringLiteral("$-.--"));
    ShowPattern(r.pattern);
    if (parts_->pattern.ProgressiveJackpot)
        if (const auto table = ParsePrizeTable(r.prizeTable))
            steps_->setPrizes(*table);
    if (!r.seconds) {
        views_.status->showStatus(QStringLiteral("The game server sent a login reply we could not read."));
        return false;
    }
    parts_->round.signedIn(*r.seconds);
    parts_->shop.RequestStarterCards();
    parts_->links.feedHeard();
    steps_->startTicking();
    parts_->links.open(Link::SalesFeed);
    parts_->links.setReopenMark(Link::SalesFeed, parts_->round.secondsToStart());
    views_.table->showPageNumber(parts_->rack.currentCard());
    views_.status->showStatus(parts_->language.text(Text::StatusConnected));
    const ServiceDirectory& directory = parts_->signIn.directory();
    parts_->pictures.ShowAdSpace1(directory.LogoImage);
    parts_->pictures.ShowAdSpace2(directory.AdSpace2Image);
    parts_->pictures.ShowWinnersBackdrop(directory.WinnersImage);
    views_.shop->enableCardButtons(true);
    parts_->links.setBusy(false);
    views_.status->showStatus(parts_->language.text(Text::StatusBuyCards));
    return true;
}

void GameCore::Handle(const WinnersReply& w)
{
    parts_->links.setBusy(false);
    views_.winners->clearWinners();
    if (!w.ok) {
        parts_->table.Refresh1Click();
        return;
    }
    QStringList names;
    for (const QByteArray& name : w.names)
        names << L1(name);
    views_.winners->showWinners(Winners{L1(w.payout), names, L1(w.memo)});
    parts_->events.tell([&](PlayListener& l) { l.winnersHeard(L1(w.payout), names); });
    views_.status->announce(parts_->language.text(Text::AnnounceWinners) + QLatin1Char(' ')
                            + names.join(QStringLiteral(", ")) + QStringLiteral(". ")
                            + parts_->language.text(Text::AnnouncePrize) + QStringLiteral(" $") + L1(w.payout));
    parts_->table.Refresh1Click();
}
