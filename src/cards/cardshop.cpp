#include "cards/cardshop.h"

#include "rules/wire.h"
#include "shell/texts.h"

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
    table_.HideBuyControls();
    OpenRequest(Request::Purchase);
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
}
