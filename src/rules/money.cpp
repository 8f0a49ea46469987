#include "rules/money.h"

std::optional<Money> Money::parse(const QByteArray& text)
{
    const QByteArray t = text.trimmed();
    const bool negative = t.startsWith('-');
    const QByteArray body = negative || t.startsWith('+') ? t.mid(1) : t;
    const qsizetype point = body.indexOf('.');
    const QByteArray whole = point < 0 ? body : body.left(point);
    const QByteArray fraction = point < 0 ? QByteArray() : body.mid(point + 1);
    if (whole.isEmpty() || whole.size() > 12 || fraction.size() > 2 || (point >= 0 && fraction.isEmpty()))
        return std::nullopt;
    qint64 value = 0;
    for (char ch : whole + fraction.leftJustified(2, '0')) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
    }
    return Money(negative ? -value : value);
}

QByteArray Money::wire() const
{
    const bool negative = cents_ < 0;
    const quint64 magnitude = negative ? quint64(-(cents_ + 1)) + 1 : quint64(cents_);
    const quint64 fraction = magnitude % 100;
    return (negative ? "-" : "") + QByteArray::number(magnitude / 100) + (fraction < 10 ? ".0" : ".")
           + QByteArray::number(fraction);
}
