#include "cards/cardshop.h"

#include "rules/wire.h"
#include "shell/controlnames.h"

void ShowRefusalText(MainView* view, const LanguageTable& language, const QByteArray& line, const char* firstPrefix,
                     int firstId)
{
    const char* const prefixes[] = {firstPrefix, "Sorry your Accou", "Sorry Account ha",
                                    "Account is await", "Game is being se", "Sorry Account is"};
    const QByteArray reason = Chars(line, 12, 27);
    for (int i = 0; i < 6; ++i)
        if (reason == prefixes[i])
            view->messageBox(language.text(firstId + i));
}

void CardShop::setBalance(const QString& balance)
{
    balance_ = balance;
    view_->setText(Ctl::f_credits, balance_);
}

void CardShop::OpenRequest(Request request)
{
    links_.setPending(request);
    links_.setBusy(true);
    rack_.EnableCardButtons(false);
    links_.open(Link::Request);
}

void CardShop::chooseFaces(int faces)
{
    static const Request requests[] = {Request::FourFaces, Request::OneFace, Request::TwoFaces, Request::ThreeFaces,
                                       Request::FourFaces};
    // A request under way keeps its reply: the click is ignored until it is in.
    if (round_.running() || faces < 1 || faces > 4 || links_.busy())
        return;
    view_->setVisible(Ctl::tbimage, false);
    view_->setVisible(Ctl::tbtext, false);
    OpenRequest(requests[faces]);
}

void CardShop::Button3Click()
{
    if (round_.running())
        return;
    if (links_.busy()) {
        view_->beep();
        return;
    }
    rack_.HideBuyControls();
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
        view_->beep();
        view_->setText(Ctl::status, language_.text(1315));
        view_->messageBox(language_.text(1315));
    } else if (s.firstId && !rack_.LoadStarterCards(s.cells, *s.firstId)) {
        view_->setText(Ctl::status, QStringLiteral("Some cards from the server could not be read and were left empty."));
    }
    links_.setBusy(false);
}

void CardShop::Handle(const CardReply& r)
{
    if (r.ok) {
        // Buy is offered only for a card that could be read.
        if (rack_.ShowSelectedCard(r.cells, r.faces, QString::fromLatin1(r.selection)) && round_.counting()) {
            view_->setVisible(Ctl::tbimage, true);
            view_->setVisible(Ctl::tbtext, true);
        }
    } else {
        view_->beep();
        view_->setText(Ctl::status, language_.text(1309));
        view_->messageBox(language_.text(1309));
    }
    rack_.EnableCardButtons(true);
    links_.setBusy(false);
    table_.Refresh1Click();
}

void CardShop::Handle(const PurchaseReply& r)
{
    switch (r.verdict) {
    case PurchaseReply::Verdict::Bought:
        view_->setEnabled(Ctl::ConnecttoGame1, false);
        setBalance(QString::fromLatin1(r.balance));
        view_->setText(Ctl::status, language_.text(1310));
        rack_.EnterCard(QString::fromLatin1(r.cardId), r.cells, QString::fromLatin1(r.selection));
        table_.LayoutMainWindow();
        break;
    case PurchaseReply::Verdict::WrongPassword:
        view_->beep();
        view_->setText(Ctl::status, language_.text(1313));
        view_->messageBox(language_.text(1312));
        break;
    case PurchaseReply::Verdict::Refused:
        view_->beep();
        view_->setText(Ctl::status, QStringLiteral("ERROR: ") + QString::fromLatin1(Chars(r.line, 12, 75)));
        ShowRefusalText(view_, language_, r.line, "Maximum Cards pe", 1710);
        break;
    case PurchaseReply::Verdict::Other:
        break;
    }
    table_.ShowCardControls();
    links_.setBusy(false);
    rack_.EnableCardButtons(true);
    table_.Refresh1Click();
}
