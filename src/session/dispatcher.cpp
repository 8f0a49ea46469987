// Every line the game server sends reaches DispatchServerLine as an event.
#include "session/gamecore.h"

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
        link == Link::Request ? ParseRequestReply(links_.pending(), line) : ParseFeedLine(link, line);
    if (event)
        DispatchServerLine(*event);
}

void GameCore::DispatchServerLine(const ServerEvent& event)
{
    std::visit(
        [this](const auto& e) {
            using Event = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<Event, GameOver>)
                EndGame(false);
            else if constexpr (std::is_same_v<Event, BingoCalled>)
                AnnounceBingo();
            else if constexpr (std::is_same_v<Event, CardReply> || std::is_same_v<Event, StarterCards>
                               || std::is_same_v<Event, PurchaseReply>)
                shop_.Handle(e);
            else
                Handle(e);
        },
        event);
}

// A game whose number is not the one our cards were bought for: we leave it.
bool GameCore::CardsFromAnotherGame(const QByteArray& gameNumber)
{
    // Game numbers are six characters; a longer one is read as its first six.
    round_.setGameNumber(L1(gameNumber.left(6)));
    if (rack_.belongsTo(round_.gameNumber()))
        return false;
    LeaveGame();
    views_.player->message(kPreviousGame);
    return true;
}

void GameCore::ShowPattern(const QByteArray& descriptor)
{
    pattern_.LoadGamePattern(descriptor);
    pictures_.ShowPatternPicture(pattern_.PatternImage);
}

void GameCore::Handle(const Announcement& a)
{
    if (round_.phase() == Phase::WaitingForSales) {
        if (a.buy) {
            round_.salesFeedOpened();
            links_.feedHeard();
            links_.setReopenMark(Link::SalesFeed, 0);
            links_.close(Link::SalesFeed);
            links_.setReopenMark(Link::GameFeed, round_.secondsToStart());
            links_.open(Link::GameFeed);
        }
        return;
    }
    if (!round_.counting() && !round_.running() && round_.phase() != Phase::Starting)
        return;   // no game to announce to
    if (CardsFromAnotherGame(a.gameNumber))
        return;
    ShowPattern(a.pattern);
    views_.figures->showPlayers(L1(a.players));
    views_.figures->showJackpot(QStringLiteral("$ ") + L1(a.jackpot));
    if (round_.announced() || !a.seconds)
        return;
    round_.salesAnnounced(*a.seconds);
    rack_.HideCards();
    views_.table->showSidePanel(true);
    table_.iset1Click();
    rack_.showGrid(true);
    views_.table->placeCard(1, 0, 0);
    table_.LayoutMainWindow();
    sounds_.PlayIfPresent(QStringLiteral("saleson.wav"));
    table_.Refresh1Click();
}

void GameCore::Handle(const GameStart& g)
{
    if (!g.withPicture)
        views_.player->beep();
    links_.feedHeard();
    if (CardsFromAnotherGame(g.gameNumber))
        return;
    round_.drawArrived(g.draw);
    StartGame();
    bingoImage_ = g.bingoImage;
    ShowPattern(g.pattern);
    views_.figures->showPlayers(L1(g.players));
    if (g.withPicture)
        views_.figures->showJackpot(QStringLiteral("$") + L1(g.jackpot));
    if (!g.winningCall)
        return;
    round_.setWinningCall(*g.winningCall);
    if (!g.finalCall)
        return;
    round_.setFinalCall(*g.finalCall);
    if (g.withPicture)
        pictures_.LoadBingoPicture(L1(bingoImage_));
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
        views_.status->showStatus(language_.text(Text::StatusWrongPassword));
        signIn_.ShowLoginDialog();
        views_.player->message(language_.text(Text::StatusWrongPassword));
        break;
    case LoginReply::Verdict::Refused:
        views_.player->beep();
        views_.status->showStatus(L1(Chars(r.line, 12, 75)));
        signIn_.ShowLoginDialog();
        ShowRefusalText(views_.player, language_, r.line, "This Account has", Text::LoginRefusalFirst);
        break;
    case LoginReply::Verdict::Other:
        break;
    }
    table_.iset1Click();
    rack_.EnableCardButtons(true);
    table_.Refresh1Click();
}

// "PQZ!LOGINOK": the session starts. False when the reply could not be read to its
// end (a protocol error stops the handling where it is).
bool GameCore::LoginAccepted(const LoginReply& r)
{
    settings_.save();
    settings_.setAlias(L1(r.alias));
    const QString& alias = settings_.values().Alias;
    if (!folder_.exists(QStringLiteral("sounds/null.wav")))
        pictures_.FetchFile(QStringLiteral("null.wav"), FetchKind::Sound);
    signIn_.Welcome(alias);
    views_.status->showAlias(alias);
    shop_.setBalance(r.balance);
    views_.status->showStatus(language_.text(Text::StatusBalanceUpdated));
    views_.figures->showJackpot(QStringLiteral("$-.--"));
    ShowPattern(r.pattern);
    if (pattern_.ProgressiveJackpot)
        if (const auto table = ParsePrizeTable(r.prizeTable))
            prizes_ = *table;
    if (!r.seconds) {
        views_.status->showStatus(QStringLiteral("The game server sent a login reply we could not read."));
        return false;
    }
    round_.signedIn(*r.seconds);
    shop_.RequestStarterCards();
    links_.feedHeard();
    timer1_.start();
    links_.open(Link::SalesFeed);
    links_.setReopenMark(Link::SalesFeed, round_.secondsToStart());
    views_.table->showPageNumber(rack_.currentCard());
    views_.status->showStatus(language_.text(Text::StatusConnected));
    const ServiceDirectory& directory = signIn_.directory();
    pictures_.ShowAdSpace1(directory.LogoImage);
    pictures_.ShowAdSpace2(directory.AdSpace2Image);
    pictures_.ShowWinnersBackdrop(directory.WinnersImage);
    rack_.EnableCardButtons(true);
    links_.setBusy(false);
    views_.status->showStatus(language_.text(Text::StatusBuyCards));
    return true;
}

void GameCore::Handle(const WinnersReply& w)
{
    links_.setBusy(false);
    views_.winners->clearWinners();
    if (!w.ok) {
        table_.Refresh1Click();
        return;
    }
    QStringList names;
    for (const QByteArray& name : w.names)
        names << L1(name);
    views_.winners->showWinners(Winners{L1(w.payout), names, L1(w.memo)});
    views_.status->announce(language_.text(Text::AnnounceWinners) + QLatin1Char(' ') + names.join(QStringLiteral(", ")) + QStringLiteral(". ")
                    + language_.text(Text::AnnouncePrize) + QStringLiteral(" $") + L1(w.payout));
    table_.Refresh1Click();
}
