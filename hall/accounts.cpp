#include "accounts.h"

#include "hallwire.h"

#include <QFile>

namespace {

// Room for a hundred thousand players; anything bigger is not an accounts file.
constexpr qint64 kMaxAccountsFile = 16 * 1024 * 1024;
constexpr int kMaxFieldLength = 255;

}  // namespace

std::optional<HallAccount> ParseAccountLine(const QByteArray& rawLine)
{
    QByteArray line = rawLine;
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.trimmed().isEmpty() || line.startsWith('#'))
        return std::nullopt;
    const QList<QByteArray> parts = line.split(':');
    if (parts.size() < 4)
        return std::nullopt;
    HallAccount account;
    account.user = parts[0];
    account.password = parts[1];
    account.alias = parts[2];
    const auto balance = hallwire::ParseMoney(parts[3].trimmed());
    if (account.user.isEmpty() || account.alias.isEmpty() || !balance)
        return std::nullopt;
    account.balanceCents = *balance;
    if (parts.size() > 4)
        account.refusal = parts.mid(4).join(':');
    for (const QByteArray* field : {&account.user, &account.password, &account.alias, &account.refusal})
        if (field->size() > kMaxFieldLength || field->contains('#') || field->contains('%') || field->contains('\n'))
            return std::nullopt;
    return account;
}

AccountBook AccountBook::BuiltIn()
{
    AccountBook book;
    book.add({"demo", "bingo", "Lucky Star", 25000, {}, {}});
    book.add({"guest", "bingo", "Guest Player", 10000, {}, {}});
    book.add({"broke", "bingo", "Last Penny", 50, {}, {}});
    book.add({"closed", "bingo", "Closed", 0,
              "This Account has been closed. Please contact the hall to open a new one.", {}});
    book.add({"suspended", "bingo", "Suspended", 0,
              "Sorry your Account has been suspended. Please contact the hall.", {}});
    book.add({"overdue", "bingo", "Overdue", 0,
              "Sorry Account has an unpaid balance. Please settle it to play again.", {}});
    book.add({"pending", "bingo", "Pending", 0,
              "Account is awaiting approval. You can play as soon as it is confirmed.", {}});
    book.add({"setup", "bingo", "Setup", 0,
              "Game is being setup. Please try again in a few minutes.", {}});
    book.add({"locked", "bingo", "Locked", 0,
              "Sorry Account is locked after too many attempts. Please try again later.", {}});
    return book;
}

void AccountBook::add(const HallAccount& account)
{
    if (HallAccount* existing = find(account.user)) {
        *existing = account;
        return;
    }
    index_.insert(account.user, int(accounts_.size()));
    accounts_.append(account);
}

HallAccount* AccountBook::find(const QByteArray& user)
{
    const auto at = index_.constFind(user);
    return at == index_.constEnd() ? nullptr : &accounts_[at.value()];
}

bool AccountBook::loadFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxAccountsFile) {
        if (error)
            *error = QStringLiteral("%1 is too large for an accounts file").arg(path);
        return false;
    }
    bool ok = true;
    int number = 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        ++number;
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#'))
            continue;
        if (const auto account = ParseAccountLine(line)) {
            add(*account);
        } else {
            if (ok && error)
                *error = QStringLiteral("%1 line %2: expected user:password:alias:balance[:refusal]").arg(path).arg(number);
            ok = false;
        }
    }
    return ok;
}
