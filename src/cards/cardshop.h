#pragma once
// Buying cards: the face-count buttons ask the server for a card, Buy enters the
// card shown into the game, and the sign-in brings ten ready-made cards. Keeps the
// player's credit as the server last reported it.
#include "cards/cardrack.h"
#include "cards/playtable.h"
#include "session/gameround.h"
#include "session/serverevents.h"
#include "session/serverlinks.h"
#include "shell/language.h"
#include "shell/viewport.h"

// The server's reason, characters 12 to 27 of a refusal, picks a language text: the
// login and the purchase share five reasons and differ in the first.
void ShowRefusalText(MainView* view, const LanguageTable& language, const QByteArray& line, const char* firstPrefix,
                     int firstId);

class CardShop {
public:
    CardShop(MainView* view, const LanguageTable& language, ServerLinks& links, const GameRound& round, CardRack& rack,
             PlayTable& table)
        : view_(view), language_(language), links_(links), round_(round), rack_(rack), table_(table)
    {
    }

    // The 1..4 face buttons: ask the server for a card of that many faces.
    void chooseFaces(int faces);
    // Buy: enter the card shown into the game.
    void Button3Click();
    void RequestStarterCards();

    void Handle(const CardReply& reply);
    void Handle(const StarterCards& cards);
    void Handle(const PurchaseReply& reply);

    // "PQZ!B7": the purchase of the current card.
    QByteArray PurchaseLine(const QString& loginKey, const QString& alias, const QString& languageCode) const;

    const QString& balance() const { return balance_; }
    void setBalance(const QString& balance);

private:
    void OpenRequest(Request request);

    MainView* view_;
    const LanguageTable& language_;
    ServerLinks& links_;
    const GameRound& round_;
    CardRack& rack_;
    PlayTable& table_;
    QString balance_;
};
