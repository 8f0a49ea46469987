#pragma once
// What happens in the player's games, told to the parts that act on it beyond the game
// itself (the player's record, limits, the desktop's notices): the sign-in, the sales,
// each purchase, the start and end of a game, a card at one to go, the winners, a mention
// of the player in the chat room. Listeners hear every event in the order it happens and
// answer nothing: the game goes on the same whether anyone listens.
#include "rules/money.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct BoughtCard {
    QString game;                    // the game number last announced (the purchase is for the next to start)
    QString cardId;
    int faces = 0;
    std::optional<Money> price;      // how far the balance fell; unknown when a balance was unreadable
    std::optional<Money> balance;    // the balance after the purchase
};

struct GameOutcome {
    QString game;
    bool aborted = false;
    int winningCall = 0;             // the call on which the game was won; 0 when aborted
    QList<int> winningCards;         // the player's cards (1..10) that won, empty when none did
};

class PlayListener {
public:
    virtual ~PlayListener() = default;
    // The game server accepted the player; hall: the web host signed in through.
    virtual void signedIn(const QString& /*hall*/, std::optional<Money> /*balance*/) {}
    // The sales of the next game are open: cards may be asked for and bought.
    virtual void salesOpened(int /*secondsToStart*/) {}
    // One second of the sales countdown passed; cardsBought: whether the player has a card in.
    virtual void salesSecond(int /*secondsLeft*/, bool /*cardsBought*/) {}
    virtual void cardBought(const BoughtCard& /*card*/) {}
    virtual void gameStarted(const QString& /*game*/, int /*cardsInPlay*/) {}
    virtual void oneToGo(int /*card*/) {}
    virtual void gameEnded(const GameOutcome& /*outcome*/) {}
    // The hall's winners of a game and the prize each was paid.
    virtual void winnersHeard(const QString& /*payout*/, const QStringList& /*names*/) {}
    // A line of the chat room names the player's alias.
    virtual void mentioned(const QString& /*line*/) {}
    // The player left the coming game (Quit, no card when sales closed, another game's number).
    virtual void leftGame() {}
};

class PlayEvents {
public:
    void listen(PlayListener* listener) { listeners_.append(listener); }
    void forget(PlayListener* listener) { listeners_.removeAll(listener); }
    template <class Tell>
    void tell(Tell tell) const
    {
        for (PlayListener* listener : listeners_)
            tell(*listener);
    }

private:
    QList<PlayListener*> listeners_;
};
