#pragma once
// The hall's own file: accounts and balances, every card sold, the results of the games
// and the number of the game on sale. SQLite in WAL mode; each change is one transaction,
// committed before the player hears of it, so a hall that is killed and started again on
// the same file has every balance and every charge.
#include "accounts.h"
#include "gameserver.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

struct StoredCard {
    int serial = 0;   // in its game
    qint64 priceCents = 0;
    SoldCard card;
};

class HallStore {
public:
    HallStore() = default;
    ~HallStore();
    HallStore(const HallStore&) = delete;
    HallStore& operator=(const HallStore&) = delete;

    // Opens (creating it on first use) the file. A file that still holds passwords as typed
    // has them hashed first.
    bool open(const QString& path, QString* error);

    // The accounts of the built-in list and the accounts file, their passwords as typed. An
    // account whose line or password differs from the one imported last for its user is
    // replaced, balance and all: the operator changed it. The same line again leaves the
    // account as play has left it. Only the passwords' Argon2id hashes are written.
    bool importAccounts(const QList<HallAccount>& accounts, QString* error);
    // Every account, in the order of their seats, with its password hash and no password.
    QList<HallAccount> accounts();

    // The balance after the charge and the card, in one transaction.
    bool recordPurchase(const QByteArray& user, qint64 balanceCents, const QByteArray& gameNumber, int serial,
                        const SoldCard& card, qint64 priceCents);
    // The cards sold for a game, in the order sold.
    QList<StoredCard> cardsOf(const QByteArray& gameNumber);
    // A game's result, and the index of the game that goes on sale next.
    bool recordGame(const GameResult& result, int nextGameIndex);
    QList<GameResult> results(int newest);   // oldest first
    int gameIndex();                          // 0 in a new file

private:
    bool hashPlainPasswords();
    bool exec(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    QString lastError() const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    sqlite3_stmt* rollback_ = nullptr;
    sqlite3_stmt* setBalance_ = nullptr;
    sqlite3_stmt* addCard_ = nullptr;
};
