#include "rules/wire.h"

#include <cctype>
#include <climits>

QByteArray FieldValue(char code, const QByteArray& line)
{
    const char open[2] = {'$', code};
    const char close[2] = {'%', code};
    const int p = int(line.indexOf(QByteArrayView(open, 2)));
    if (p < 0)
        return QByteArray();
    const int q = int(line.indexOf(QByteArrayView(close, 2)));
    const int length = q - (p + 2);
    if (q < 0 || length <= 0)
        return QByteArray();
    return line.mid(p + 2, length);
}

QByteArray Chars(const QByteArray& line, int from, int to)
{
    if (from < 1)
        from = 1;
    if (to > line.size())
        to = int(line.size());
    if (to < from)
        return QByteArray();
    return line.mid(from - 1, to - from + 1);
}

QByteArray KeyedValue(const QByteArray& text, const QByteArray& key, int window, const QByteArray& terminator)
{
    if (key.isEmpty())
        return QByteArray();
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return QByteArray();
    const QByteArray after = text.mid(at + key.size(), window);
    const qsizetype end = after.indexOf(terminator);
    return end < 0 ? QByteArray() : after.left(end);
}

std::optional<int> ToInt(const QByteArray& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= n || !std::isdigit(static_cast<unsigned char>(text[i])))
        return std::nullopt;
    long long value = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
        ++i;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return std::nullopt;
    return static_cast<int>(value);
}
