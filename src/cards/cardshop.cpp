#include "cards/cardshop.h"

#include "limits/playlimits.h"
#include "rules/wire.h"
#include "shell/texts.h"

#include <QRandomGenerator>

void ShowRefusalText(PlayerView* player, const LanguageTable& language, const QByteArray& line, const char* firstPrefix,
                     int firstId)
{
    const char* const prefixes[] = {firstPrefix, "Sorry your Accou", "Sorry Account ha",
                                    "Account is await", "Game is being se", "Sorry Account is"};
    const QByteArray reason = Chars(line, 12, 27);
    for (int i = 0; i < 6; ++i)
        if (reason == prefixes[i])
            player->message(language.text(firstId + i));
}

CardShop::CardShop(const Views& views, const LanguageTable& language, ServerLinks& links, const GameRound& round,
                   CardRack& rack, PlayTable& table, PlayEvents& events, PlayLimits* limits)
    : shop_(views.shop), status_(views.status), figures_(views.figures), menus_(views.menus), player_(views.player),
      language_(language), links_(links), round_(round), rack_(rack), table_(table), events_(events),
      limits_(limits), limitsView_(views.limits),
      random_([](int lo, int hi) { return lo + int(QRandomGenerator::global()->bounded(hi - lo + 1)); })
{
    events_.listen(this);
}

void CardShop::setBalance(const QByteArray& wireText)
{
    balance_ = Money::parse(wireText);
    if (balance_)
        figures_->showBalance(*balance_);
    else   // the figure shown stays; the credit check waits for a balance it can read
        status_->log(QStringLiteral("Balance not read: ") + QString::fromLatin1(wireText.left(40)));
}

void CardShop::OpenRequest(Request request)
{
    links_.setPending(request);
    links_.setBusy(true);
    shop_->enableCardButtons(false);
    links_.open(Link::Request);
}

void CardShop::chooseFaces(int faces)
{
    static const Request requests[] = {Request::FourFaces, Request::OneFace, Request::TwoFaces, Request::ThreeFaces,
                                       Request::FourFaces};
    // A request under way keeps its reply: the click is ignored until it is in.
    if (round_.running() || faces < 1 || faces > 4 || links_.busy())
        return;
    shop_->showBuy(false);
    OpenRequest(requests[faces]);
}

void CardShop::Button3Click()
{
    if (round_.running())
        return;
    if (links_.busy()) {
        player_->beep();
        return;
    }
    if (!WithinLimits(rack_.currentFaces())) {
        StopAutoBuy(QString());
        return;
    }
    table_.HideBuyControls();
    OpenRequest(Request::Purchase);
}

bool CardShop::WithinLimits(int faces)
{
    if (!limits_)
        return true;
    const QString why = limits_->refusal(faces);
    if (why.isEmpty())
        return true;
    player_->beep();
    status_->showStatus(why);
    player_->message(why);
    return false;
}

bool CardShop::StartAutoBuy(int games)
{
    const int faces = rack_.currentFaces();
    if (games < 1 || games > kMaxAutoGames || round_.running() || !round_.counting() || !round_.buyingOpen()
        || links_.busy() || faces < 1 || faces > 4 || rack_.currentSelection().isEmpty())
        return false;
    auto_ = AutoBuy{games, 0, faces, -1, true, true};
    ShowAutoBuy();
    Button3Click();
    return autoBuying();
}

void CardShop::CancelAutoBuy()
{
    if (autoBuying())
        StopAutoBuy(QStringLiteral("Auto-buy cancelled."));
}

void CardShop::StopAutoBuy(const QString& why)
{
    if (!autoBuying())
        return;
    auto_ = AutoBuy{};
    if (limitsView_)
        limitsView_->hideAutoBuy();
    if (!why.isEmpty())
        status_->showStatus(why);
}

void CardShop::ShowAutoBuy()
{
    if (limitsView_)
        limitsView_->showAutoBuy(qBound(1, auto_.bought + (auto_.buying ? 1 : 0), auto_.games), auto_.games);
}

// A new sales: the card is asked for at a random moment of its first third, so the players of
// a hall who all auto-buy do not ask at the same instant.
void CardShop::salesOpened(int secondsToStart)
{
    if (!autoBuying())
        return;
    const int choosing = qMax(0, secondsToStart - 35);   // the face choice closes 35 seconds before the start
    const int latest = qMax(1, choosing / 3);
    auto_.askAt = secondsToStart - random_(1, latest);
    auto_.asked = false;
}

void CardShop::salesSecond(int secondsLeft, bool)
{
    if (!autoBuying() || auto_.asked || auto_.askAt < 0 || secondsLeft > auto_.askAt || !round_.selectionOpen())
        return;
    if (links_.busy())
        return;   // the player's own request first; the next second tries again
    auto_.asked = true;
    const std::optional<Money> price = limits_ ? limits_->expectedPrice(auto_.faces) : std::nullopt;
    if (balance_ && price && *balance_ < *price) {
        StopAutoBuy(QStringLiteral("Auto-buy stopped: the balance is too low for another card."));
        return;
    }
    if (!WithinLimits(auto_.faces)) {
        StopAutoBuy(QString());
        return;
    }
    auto_.buying = true;
    ShowAutoBuy();
    chooseFaces(auto_.faces);
}

void CardShop::leftGame()
{
    StopAutoBuy(QStringLiteral("Auto-buy stopped: you left the game."));
}

void CardShop::RequestStarterCards()
{
    if (!round_.running())
        OpenRequest(Request::StarterCards);
}

QByteArray CardShop::PurchaseLine(const QString& loginKey, const QString& alias, const QString& languageCode) const
{
    return "PQZ!B7" + loginKey.toLatin1() + "#!AT" + rack_.currentSelection().toLatin1() + "#!SK" + alias.toLatin1()
        + "#!NC" + QByteArray::number(rack_.currentFaces()) + "#!LA" + languageCode.toLatin1() + "#";
}

void CardShop::Handle(const StarterCards& s)
{
    if (!s.ok) {
        player_->beep();
        status_->showStatus(language_.text(Text::StatusCardsNotFetched));
        player_->message(language_.text(Text::StatusCardsNotFetched));
    } else if (s.firstId && !rack_.LoadStarterCards(s.cells, *s.firstId)) {
        status_->showStatus(QStringLiteral("Some cards from the server could not be read and were left empty."));
    }
    links_.setBusy(false);
}

void CardShop::Handle(const CardReply& r)
{
    if (r.ok) {
        // Buy is offered only for a card that could be read.
        if (rack_.ShowSelectedCard(r.cells, r.faces, QString::fromLatin1(r.selection)) && round_.counting())
            shop_->showBuy(true);
    } else {
        player_->beep();
        status_->showStatus(language_.text(Text::StatusCardNotFetched));
        player_->message(language_.text(Text::StatusCardNotFetched));
    }
    shop_->enableCardButtons(true);
    links_.setBusy(false);
    table_.Refresh1Click();
    if (autoBuying() && auto_.buying) {
        if (r.ok && round_.buyingOpen() && rack_.currentFaces() == auto_.faces)
            Button3Click();
        else
            StopAutoBuy(QStringLiteral("Auto-buy stopped: no card could be had for this game."));
    }
}

void CardShop::Handle(const PurchaseReply& r)
{
    switch (r.verdict) {
    case PurchaseReply::Verdict::Bought: {
        menus_->enableConnect(false);
        const std::optional<Money> before = balance_;
        const int faces = rack_.currentFaces();
        setBalance(r.balance);
        status_->showStatus(language_.text(Text::StatusBalanceUpdated));
        rack_.EnterCard(QString::fromLatin1(r.cardId), r.cells, QString::fromLatin1(r.selection));
        table_.LayoutMainWindow();
        BoughtCard bought{round_.gameNumber(), QString::fromLatin1(r.cardId), faces, std::nullopt, balance_};
        if (before && balance_)
            bought.price = Money::fromCents(before->cents() - balance_->cents());
        events_.tell([&](PlayListener& l) { l.cardBought(bought); });
        break;
    }
    case PurchaseReply::Verdict::WrongPassword:
        player_->beep();
        status_->showStatus(language_.text(Text::StatusWrongPassword));
        player_->message(language_.text(Text::StatusBuyCards));
        break;
    case PurchaseReply::Verdict::Refused:
        player_->beep();
        status_->showStatus(QStringLiteral("ERROR: ") + QString::fromLatin1(Chars(r.line, 12, 75)));
        ShowRefusalText(player_, language_, r.line, "Maximum Cards pe", Text::PurchaseRefusalFirst);
        break;
    case PurchaseReply::Verdict::Other:
        break;
    }
    table_.ShowCardControls();
    links_.setBusy(false);
    shop_->enableCardButtons(true);
    table_.Refresh1Click();
    if (autoBuying() && auto_.buying) {
        auto_.buying = false;
        if (r.verdict != PurchaseReply::Verdict::Bought) {
            StopAutoBuy(QStringLiteral("Auto-buy stopped: the purchase was refused."));
        } else if (++auto_.bought >= auto_.games) {
            StopAutoBuy(QStringLiteral("Auto-buy finished: %1 games bought.").arg(auto_.games));
        } else {
            ShowAutoBuy();
        }
    }
}
