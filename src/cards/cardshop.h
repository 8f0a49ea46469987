#pragma once
// Buying cards: the face-count buttons ask the server for a card, Buy enters the
// card shown into the game, and the sign-in brings ten ready-made cards. Keeps the
// player's credit as the server last reported it. Auto-buy buys a card of the same faces
// for the player at each sales, for as many games as the player chose; every purchase,
// the player's own and auto-buy's, first passes the player's limits.
#include "cards/cardrack.h"
#include "cards/playtable.h"
#include "session/gameround.h"
#include "session/playevents.h"
#include "session/serverevents.h"
#include "session/serverlinks.h"
#include "shell/language.h"
#include "views/views.h"

#include <functional>
#include <optional>

class PlayLimits;

// The server's reason, characters 12 to 27 of a refusal, picks a language text: the
// login and the purchase share five reasons and differ in the first.
void ShowRefusalText(PlayerView* player, const LanguageTable& language, const QByteArray& line, const char* firstPrefix,
                     int firstId);

class CardShop : public PlayListener {
public:
    static constexpr int kMaxAutoGames = 50;
    // A number from lo to hi, both included: when in the sales auto-buy asks for its card.
    using Random = std::function<int(int lo, int hi)>;

    CardShop(const Views& views, const LanguageTable& language, ServerLinks& links, const GameRound& round,
             CardRack& rack, PlayTable& table, PlayEvents& events, PlayLimits* limits = nullptr);

    // The 1..4 face buttons: ask the server for a card of that many faces.
    void chooseFaces(int faces);
    // Buy: enter the card shown into the game.
    void Button3Click();
    void RequestStarterCards();

    void Handle(const CardReply& reply);
    void Handle(const StarterCards& cards);
    void Handle(const PurchaseReply& reply);

    // Auto-buy: buys the card shown now and then, at a random moment early in each next sales,
    // a card of as many faces, until `games` games (1..50) have a card. It stops then, when the
    // balance is short, when a limit would be passed, when a purchase is refused, when the
    // player leaves the game, or on Cancel. False when it cannot start (no card to buy now).
    bool StartAutoBuy(int games);
    void CancelAutoBuy();
    bool autoBuying() const { return auto_.games > 0; }
    void setRandom(Random random) { random_ = std::move(random); }

    void salesOpened(int secondsToStart) override;
    void salesSecond(int secondsLeft, bool cardsBought) override;
    void leftGame() override;

    // "PQZ!B7": the purchase of the current card.
    QByteArray PurchaseLine(const QString& loginKey, const QString& alias, const QString& languageCode) const;

    // The balance as the server last reported it; none before the sign-in, or while what
    // it sent could not be read as money.
    std::optional<Money> balance() const { return balance_; }
    // The server's balance text; a text that is no amount leaves the balance unknown.
    void setBalance(const QByteArray& wireText);

private:
    void OpenRequest(Request request);
    // Whether the player's limits let a card of `faces` faces be bought; says why not.
    bool WithinLimits(int faces);
    void StopAutoBuy(const QString& why);
    void ShowAutoBuy();

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
    PlayLimits* limits_;
    PlayLimitsView* limitsView_;
    std::optional<Money> balance_;
    struct AutoBuy {
        int games = 0;          // games to buy for in all; 0: not running
        int bought = 0;         // games bought for so far
        int faces = 0;
        int askAt = -1;         // the seconds left in this sales when the card is asked for
        bool asked = false;     // this sales' card has been asked for
        bool buying = false;    // auto-buy's request (card or purchase) is under way
    } auto_;
    Random random_;
};
