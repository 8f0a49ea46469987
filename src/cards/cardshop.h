#pragma once
// Buying cards: the face-count buttons ask the server for a card, Buy enters the
// card shown into the game, and the sign-in brings ten ready-made cards. Keeps the
// player's credit as the server last reported it.
#include "cards/cardrack.h"
#include "cards/playtable.h"
#include "session/gameround.h"
#include "session/playevents.h"
#include "session/serverevents.h"
#include "session/serverlinks.h"
#include "shell/language.h"
#include "views/views.h"

#include <optional>

// The server's reason, characters 12 to 27 of a refusal, picks a language text: the
// login and the purchase share five reasons and differ in the first.
void ShowRefusalText(PlayerView* player, const LanguageTable& language, const QByteArray& line, const char* firstPrefix,
                     int firstId);

class CardShop {
public:
    CardShop(const Views& views, const LanguageTable& language, ServerLinks& links, const GameRound& round,
             CardRack& rack, PlayTable& table, PlayEvents& events)
        : shop_(views.shop), status_(views.status), figures_(views.figures), menus_(views.menus),
          player_(views.player), language_(language), links_(links), round_(round), rack_(rack), table_(table),
          events_(events)
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

    // The balance as the server last reported it; none before the sign-in, or while what
    // it sent could not be read as money.
    std::optional<Money> balance() const { return balance_; }
    // The server's balance text; a text that is no amount leaves the balance unknown.
    void setBalance(const QByteArray& wireText);

private:
    void OpenRequest(Request request);

    ShopView* shop_;
    StatusView* status_;
    FiguresView* figures_;
    MenuView* menus_;
    PlayerView* player_;
    const LanguageTable& language_;
    ServerLinks& links_;
    const GameRound& round_;
    CardRack& rack_;
    PlayTable& table_;
    PlayEvents& events_;
    std::optional<Money> balance_;
};
