#include "hallwire.h"

#include "rules/money.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>

namespace hallwire {

namespace {

// Splits `rest` at the first occurrence of each marker in turn. Values are not escaped,
// so the first occurrence wins. Returns false when a marker is missing.
bool SplitAtMarkers(QByteArray rest, const std::initializer_list<const char*>& markers, QList<QByteArray>& out)
{
    for (const char* marker : markers) {
        const int at = rest.indexOf(marker);
        if (at < 0)
            return false;
        out.append(rest.left(at));
        rest = rest.mid(at + int(qstrlen(marker)));
    }
    out.append(rest);
    return true;
}

}  // namespace

std::optional<LoginRequest> ParseLogin(const QByteArray& line)
{
    if (!line.startsWith("PQZ!G6"))
        return std::nullopt;
    QList<QByteArray> parts;
    if (!SplitAtMarkers(line.mid(6), {"#!PW", "#!AD", "#!LA"}, parts))
        return std::nullopt;
    QByteArray language = parts[3];
    if (language.endsWith('#'))
        language.chop(1);
    return LoginRequest{parts[0], parts[1], parts[2], language};
}

std::optional<PurchaseRequest> ParsePurchase(const QByteArray& line)
{
    if (!line.startsWith("PQZ!B7"))
        return std::nullopt;
    QList<QByteArray> parts;
    if (!SplitAtMarkers(line.mid(6), {"#!PW", "#!AD", "#!AT", "#!SK", "#!NC", "#!LA"}, parts))
        return std::nullopt;
    QByteArray language = parts[6];
    if (language.endsWith('#'))
        language.chop(1);
    return PurchaseRequest{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], language};
}

std::optional<ChatGreeting> ParseChatGreeting(const QByteArray& line)
{
    const int start = line.indexOf("%1");
    if (!line.startsWith('G') || start < 0)
        return std::nullopt;
    const int end = line.indexOf("%2", start + 2);
    const QByteArray user = line.mid(start + 2, end < 0 ? -1 : end - start - 2);
    if (user.isEmpty())
        return std::nullopt;
    return ChatGreeting{line.mid(1, start - 1).trimmed(), user};
}

std::optional<QByteArray> ParseWinnersRequest(const QByteArray& line)
{
    if (!line.startsWith("PQZ!GS") || line.size() < 12)
        return std::nullopt;
    const QByteArray number = line.mid(6, 6);
    for (char ch : number)
        if (ch < '0' || ch > '9')
            return std::nullopt;
    return number;
}

QByteArray FormatMoney(qint64 cents) { return Money::fromCents(cents).wire(); }

// Amounts in the hall's own files carry no sign and no spaces.
std::optional<qint64> ParseMoney(const QByteArray& text)
{
    if (text.isEmpty() || text.front() < '0' || text.front() > '9' || text.back() == ' ')
        return std::nullopt;
    const std::optional<Money> money = Money::parse(text);
    return money ? std::optional<qint64>(money->cents()) : std::nullopt;
}

QByteArray MakeCardCells(quint64 seed, int faces)
{
    // SplitMix64: a card is made from its own seed, where starting a Mersenne Twister would
    // cost more than the card (a busy game hands out hundreds of thousands).
    const auto next = [&seed] {
        quint64 z = (seed += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    };
    QByteArray cells;
    cells.reserve(25 * faces);
    for (int f = 0; f < faces; ++f) {
        for (int column = 0; column < 5; ++column) {
            std::array<int, 15> pool{};
            for (int i = 0; i < 15; ++i)
                pool[i] = column * 15 + i + 1;
            // Partial Fisher-Yates: the first five entries become the column's numbers.
            for (int row = 0; row < 5; ++row) {
                const int pick = row + int(((next() >> 32) * quint64(15 - row)) >> 32);
                std::swap(pool[row], pool[pick]);
                cells.append(char(pool[row] + 50));
            }
        }
    }
    return cells;
}

bool IsSoundCard(const QByteArray& text, int faces)
{
    if (faces < 1 || text.size() != 25 * faces)
        return false;
    for (int f = 0; f < faces; ++f) {
        std::array<bool, 76> seen{};
        for (int position = 0; position < 25; ++position) {
            const int n = static_cast<unsigned char>(text.at(25 * f + position)) - 50;
            const int column = position / 5;
            if (n < column * 15 + 1 || n > column * 15 + 15 || seen[n])
                return false;
            seen[n] = true;
        }
    }
    return true;
}

QList<int> ShuffledDraw(quint64 seed)
{
    const quint32 words[2] = {quint32(seed), quint32(seed >> 32)};
    QRandomGenerator rng(words, 2);
    QList<int> draw;
    for (int n = 1; n <= 75; ++n)
        draw.append(n);
    for (int i = 74; i > 0; --i)
        std::swap(draw[i], draw[int(rng.bounded(i + 1))]);
    return draw;
}

QByteArray CallCodes(const QList<int>& draw)
{
    QByteArray codes;
    for (int n : draw)
        codes.append(char(n + 50));
    return codes;
}

}  // namespace hallwire
