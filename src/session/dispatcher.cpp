// Every line the game server sends reaches DispatchServerLine as an event.
#include "session/gamecore.h"

#include "rules/wire.h"
#include "shell/controlnames.h"

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
    std::visit([this](const auto& e) { Handle(e); }, event);
}

// A game whose number is not the one our cards were bought for: we leave it.
bool GameCore::CardsFromAnotherGame(const QByteArray& gameNumber)
{
    round_.setGameNumber(L1(gameNumber));
    if (rack_.belongsTo(round_.gameNumber()))
        return false;
    LeaveGame();
    view_->messageBox(kPreviousGame);
    return true;
}

void GameCore::ShowGame(const QByteArray& pattern, const QByteArray& players)
{
    pattern_.LoadGamePattern(pattern);
    pictures_.ShowPatternPicture(pattern_.PatternImage);
    view_->setText(Ctl::lplayers, L1(players));
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
    ShowGame(a.pattern, a.players);
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
    bingoImage_ = L1(g.bingoImage);
    ShowGame(g.pattern, g.players);
    if (g.withPicture)
        view_->setText(Ctl::Jackpot, QStringLiteral("$") + L1(g.jackpot));
    if (!g.winningCall)
        return;
    round_.setWinningCall(*g.winningCall);
    if (!g.finalCall)
        return;
    round_.setFinalCall(*g.finalCall);
    if (g.withPicture)
        pictures_.LoadBingoPicture(bingoImage_);
}

void GameCore::Handle(const LoginReply& r)
{
    switch (r.verdict) {
    case LoginReply::Verdict::Accepted:
        if (!LoginAccepted(r))
            return;
        break;
    case LoginReply::Verdict::WrongPassword:
        view_->beep();
        view_->setText(Ctl::status, language_.text(1313));
        ShowLoginDialog();
        view_->messageBox(language_.text(1313));
        break;
    case LoginReply::Verdict::Refused:
        view_->beep();
        view_->setText(Ctl::status, L1(Chars(r.line, 12, 75)));
        ShowLoginDialog();
        ShowRefusalText(r.line, "This Account has", 1700);
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
    if (firstLogin_) {
        if (directory_.NewsUrl != settings_.values().LastNewsUrl)
            ShowNewsWindow();
        if (alias.size() >= 3 && alias.right(3) == settings_.values().UserName.mid(6, 3)) {
            view_->setText(Ctl::TAliasConfirm_Label2, alias);
            view_->showWindow(Ctl::TAliasConfirm);
        } else {
            view_->messageBox(language_.text(1402) + QLatin1Char(' ') + alias + QLatin1Char(' ') + language_.text(1403));
        }
        sounds_.PlayIfPresent(QStringLiteral("loginok.wav"));
        firstLogin_ = false;
    }
    view_->setText(Ctl::Label9, alias);
    balance_ = L1(r.balance);
    view_->setText(Ctl::f_credits, balance_);
    view_->setText(Ctl::status, language_.text(1310));
    view_->setText(Ctl::Jackpot, QStringLiteral("$-.--"));
    pattern_.LoadGamePattern(r.pattern);
    pictures_.ShowPatternPicture(pattern_.PatternImage);
    if (pattern_.ProgressiveJackpot)
        FillJackpotTable(r.prizeTable);
    if (!r.seconds) {
        view_->setText(Ctl::status, QStringLiteral("The game server sent a login reply we could not read."));
        return false;
    }
    round_.signedIn(*r.seconds);
    RequestStarterCards();
    links_.feedHeard();
    timer1_.start();
    links_.open(Link::SalesFeed);
    links_.setReopenMark(Link::SalesFeed, round_.secondsToStart());
    view_->setText(Ctl::CardLabel, QString::number(rack_.currentCard()));
    view_->setText(Ctl::status, language_.text(1311));
    pictures_.ShowAdSpace1(directory_.LogoImage);
    pictures_.ShowAdSpace2(directory_.AdSpace2Image);
    pictures_.ShowWinnersBackdrop(directory_.WinnersImage);
    rack_.EnableCardButtons(true);
    links_.setBusy(false);
    view_->setText(Ctl::status, language_.text(1312));
    return true;
}

// The server's reason, characters 12 to 27 of a refusal, picks a language text: the
// login and the purchase share five reasons and differ in the first.
void GameCore::ShowRefusalText(const QByteArray& line, const char* firstPrefix, int firstId)
{
    const char* const prefixes[] = {firstPrefix, "Sorry your Accou", "Sorry Account ha",
                                    "Account is await", "Game is being se", "Sorry Account is"};
    const QByteArray reason = Chars(line, 12, 27);
    for (int i = 0; i < 6; ++i)
        if (reason == prefixes[i])
            view_->messageBox(language_.text(firstId + i));
}

void GameCore::Handle(const StarterCards& s)
{
    if (!s.ok) {
        view_->beep();
        view_->setText(Ctl::status, language_.text(1315));
        view_->messageBox(language_.text(1315));
    } else if (s.firstId && !rack_.LoadStarterCards(s.cells, *s.firstId)) {
        view_->setText(Ctl::status, QStringLiteral("Some cards from the server could not be read and were left empty."));
    }
    links_.setBusy(false);
}

void GameCore::Handle(const CardReply& r)
{
    if (r.ok) {
        if (round_.counting()) {
            view_->setVisible(Ctl::tbimage, true);
            view_->setVisible(Ctl::tbtext, true);
        }
        rack_.ShowSelectedCard(r.cells, r.faces, L1(r.selection));
    } else {
        view_->beep();
        view_->setText(Ctl::status, language_.text(1309));
        view_->messageBox(language_.text(1309));
    }
    rack_.EnableCardButtons(true);
    links_.setBusy(false);
    table_.Refresh1Click();
}

void GameCore::Handle(const PurchaseReply& r)
{
    switch (r.verdict) {
    case PurchaseReply::Verdict::Bought:
        view_->setEnabled(Ctl::ConnecttoGame1, false);
        balance_ = L1(r.balance);
        view_->setText(Ctl::f_credits, balance_);
        view_->setText(Ctl::status, language_.text(1310));
        rack_.EnterCard(L1(r.cardId), r.cells, L1(r.selection));
        table_.LayoutMainWindow();
        break;
    case PurchaseReply::Verdict::WrongPassword:
        view_->beep();
        view_->setText(Ctl::status, language_.text(1313));
        view_->messageBox(language_.text(1312));
        break;
    case PurchaseReply::Verdict::Refused:
        view_->beep();
        view_->setText(Ctl::status, QStringLiteral("ERROR: ") + L1(Chars(r.line, 12, 75)));
        ShowRefusalText(r.line, "Maximum Cards pe", 1710);
        break;
    case PurchaseReply::Verdict::Other:
        break;
    }
    table_.ShowCardControls();
    links_.setBusy(false);
    rack_.EnableCardButtons(true);
    table_.Refresh1Click();
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
    table_.Refresh1Click();
}

void GameCore::FillJackpotTable(const QByteArray& text)
{
    auto tagValue = [&text](const QByteArray& tag) { return KeyedValue(text, tag, 256, "]"); };
    const QString sa = L1(tagValue("SA:"));
    const auto f = ToInt(tagValue("F:"));
    if (!f)
        return;   // protocol error: the table keeps what it had
    const QString fa = L1(tagValue("FA:"));
    for (int i = 1; i <= 75; ++i) {
        jackpotTable_[size_t(i)] = i < *f ? sa : fa;
        const QByteArray v = tagValue("V" + QByteArray::number(i) + ":");
        if (!v.isEmpty())
            jackpotTable_[size_t(i)] = L1(v);
    }
}
