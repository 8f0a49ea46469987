#pragma once
// An amount of money in whole cents, read from and written to the wire's decimal text
// ("12.50", "-3.05") at the wire's edge and compared as a number everywhere else.
#include <QByteArray>
#include <QString>
#include <optional>

class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromCents(qint64 cents) { return Money(cents); }
    // Digits with an optional sign and up to two decimals after a point; spaces around
    // are allowed. Anything else, or more than twelve digits before the point: nothing.
    static std::optional<Money> parse(const QByteArray& text);

    constexpr qint64 cents() const { return cents_; }
    // "12.50", "-0.05", "0.00".
    QByteArray wire() const;
    QString text() const { return QString::fromLatin1(wire()); }

    friend constexpr bool operator==(Money a, Money b) { return a.cents_ == b.cents_; }
    friend constexpr bool operator!=(Money a, Money b) { return a.cents_ != b.cents_; }
    friend constexpr bool operator<(Money a, Money b) { return a.cents_ < b.cents_; }
    friend constexpr bool operator<=(Money a, Money b) { return a.cents_ <= b.cents_; }

private:
    constexpr explicit Money(qint64 cents) : cents_(cents) {}
    qint64 cents_ = 0;
};
