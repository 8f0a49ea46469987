// Every line the game server sends reaches DispatchServerLine as an event.
#include "session/gamecore.h"

#include "rules/wire.h"
#include "shell/controlnames.h"

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
    view_->messageBox(kPreviousGame);
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
    view_->setText(Ctl::lplayers, L1(a.players));
    view_->setText(Ctl::Jackpot, QStringLiteral("$ ") + L1(a.jackpot));
    if (round_.announced() || !a.seconds)
        return;
    round_.salesAnnounced(*a.seconds);
    rack_.HideCards();
    view_->setVisible(Ctl::Panel18, true);
    table_.iset1Click();
    rack_.showGrid(true);
    view_->setVisible(Ctl::Card(1), true);
    table_.LayoutMainWindow();
    sounds_.PlayIfPresent(QStringLiteral("saleson.wav"));
    view_->repaint(Ctl::TForm1);
    table_.Refresh1Click();
}

void GameCore::Handle(const GameStart& g)
{
    if (!g.withPicture)
        view_->beep();
    links_.feedHeard();
    if (CardsFromAnotherGame(g.gameNumber))
        return;
    round_.drawArrived(g.draw);
    StartGame();
    bingoImage_ = g.bingoImage;
    ShowPattern(g.pattern);
    view_->setText(Ctl::lplayers, L1(g.players));
    if (g.withPicture)
        view_->setText(Ctl::Jackpot, QStringLiteral("$") + L1(g.jackpot));
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
        view_->beep();
        view_->setText(Ctl::status, language_.text(1313));
        signIn_.ShowLoginDialog();
        view_->messageBox(language_.text(1313));
        break;
    case LoginReply::Verdict::Refused:
        view_->beep();
        view_->setText(Ctl::status, L1(Chars(r.line, 12, 75)));
        signIn_.ShowLoginDialog();
        ShowRefusalText(view_, language_, r.line, "This Account has", 1700);
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
    view_->setText(Ctl::Label9, alias);
    shop_.setBalance(L1(r.balance));
    view_->setText(Ctl::status, language_.text(1310));
    view_->setText(Ctl::Jackpot, QStringLiteral("$-.--"));
    ShowPattern(r.pattern);
    if (pattern_.ProgressiveJackpot)
        if (const auto table = ParsePrizeTable(r.prizeTable))
            prizes_ = *table;
    if (!r.seconds) {
        view_->setText(Ctl::status, QStringLiteral("The game server sent a login reply we could not read."));
        return false;
    }
    round_.signedIn(*r.seconds);
    shop_.RequestStarterCards();
    links_.feedHeard();
    timer1_.start();
    links_.open(Link::SalesFeed);
    links_.setReopenMark(Link::SalesFeed, round_.secondsToStart());
    view_->setText(Ctl::CardLabel, QString::number(rack_.currentCard()));
    view_->setText(Ctl::status, language_.text(1311));
    const ServiceDirectory& directory = signIn_.directory();
    pictures_.ShowAdSpace1(directory.LogoImage);
    pictures_.ShowAdSpace2(directory.AdSpace2Image);
    pictures_.ShowWinnersBackdrop(directory.WinnersImage);
    rack_.EnableCardButtons(true);
    links_.setBusy(false);
    view_->setText(Ctl::status, language_.text(1312));
    return true;
}

void GameCore::Handle(const WinnersReply& w)
{
    links_.setBusy(false);
    static const QString* labels[] = {&Ctl::Twinners_wc1, &Ctl::Twinners_WC2, &Ctl::Twinners_WC3, &Ctl::Twinners_WC4};
    view_->setVisible(Ctl::Twinners_ListBox1, false);
    view_->setItems(Ctl::Twinners_ListBox1, {});
    for (const QString* label : labels)
        view_->setText(*label, QString());
    if (!w.ok) {
        table_.Refresh1Click();
        return;
    }
    view_->setText(Ctl::Twinners_payout, QStringLiteral("$") + L1(w.payout));
    QStringList names;
    for (const QByteArray& name : w.names)
        names << L1(name);
    for (int i = 0; i < 4 && i < names.size(); ++i)
        view_->setText(*labels[i], names[i]);
    view_->setItems(Ctl::Twinners_ListBox1, names);
    view_->setText(Ctl::Twinners_memo2, L1(w.memo));
    if (names.size() > 4)
        view_->setVisible(Ctl::Twinners_ListBox1, true);
    view_->showWindow(Ctl::Twinners);
    view_->announce(language_.text(1813) + QLatin1Char(' ') + names.join(QStringLiteral(", ")) + QStringLiteral(". ")
                    + language_.text(1814) + QStringLiteral(" $") + L1(w.payout));
    table_.Refresh1Click();
}
