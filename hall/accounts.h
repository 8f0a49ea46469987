#pragma once
// The hall's player accounts: a built-in list plus lines from an accounts file.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

struct HallAccount {
    QByteArray user;
    QByteArray password;   // as typed: the accounts file and the built-in list only
    QByteArray alias;
    qint64 balanceCents = 0;
    QByteArray refusal;   // non-empty: every login and purchase is refused with this reason
    QByteArray passwordHash;   // what the hall's file keeps instead (passwords.h)
};

// One accounts-file line: "user:password:alias:balance" or
// "user:password:alias:balance:refusal reason" (the reason may hold further colons).
// Empty lines and lines starting with "#" give nothing; so does a malformed line.
std::optional<HallAccount> ParseAccountLine(const QByteArray& line);

class AccountBook {
public:
    // The built-in accounts: demo, guest, broke and six refused ones.
    static AccountBook BuiltIn();

    // Adds (or replaces by user name) the accounts of a file. Returns false with a
    // message when the file cannot be read or a line is malformed; the good lines are kept.
    bool loadFile(const QString& path, QString* error);
    void add(const HallAccount& account);

    HallAccount* find(const QByteArray& user);
    // 1 for the first account added, and so on; 0 for a stranger.
    int seat(const QByteArray& user) const { return index_.value(user, -1) + 1; }
    const QList<HallAccount>& all() const { return accounts_; }

private:
    QList<HallAccount> accounts_;
    QHash<QByteArray, int> index_;   // user to position in accounts_
};
