#include "session/serverevents.h"

#include "rules/wire.h"

#include <cctype>

int RequestedFaces(Request request)
{
    switch (request) {
    case Request::OneFace: return 1;
    case Request::TwoFaces: return 2;
    case Request::ThreeFaces: return 3;
    case Request::FourFaces: return 4;
    default: return 0;
    }
}

namespace {

std::optional<ServerEvent> ParseAnnouncement(const QByteArray& line)
{
    Announcement a;
    a.wait = HasPrefix(line, "PQZACKWAT");
    a.buy = HasPrefix(line, "PQZACKBUY") && line.size() >= 10 && std::isdigit(static_cast<unsigned char>(line[9]));
    a.gameNumber = FieldValue('8', line);
    a.pattern = FieldValue('7', line);
    a.jackpot = FieldValue('2', line);
    a.players = FieldValue('3', line);
    a.seconds = ToInt(FieldValue('4', line));
    return a;
}

std::optional<ServerEvent> ParseGameStart(bool withPicture, const QByteArray& line)
{
    GameStart g;
    g.withPicture = withPicture;
    g.gameNumber = FieldValue('8', line);
    g.draw = FieldValue('A', line).left(80);
    g.bingoImage = FieldValue('9', line);
    g.pattern = FieldValue('7', line);
    g.jackpot = FieldValue('2', line);
    g.players = FieldValue('3', line);
    g.winningCall = ToInt(FieldValue('5', line));
    g.finalCall = ToInt(FieldValue('6', line));
    return g;
}

LoginReply ParseLogin(const QByteArray& line)
{
    LoginReply r;
    const QByteArray head = line.left(11);
    r.verdict = head == "PQZ!LOGINOK"   ? LoginReply::Verdict::Accepted
                : head == "PQZ!LOGINPW" ? LoginReply::Verdict::WrongPassword
                : head == "PQZ!LOGINNO" ? LoginReply::Verdict::Refused
                                        : LoginReply::Verdict::Other;
    r.balance = FieldValue('0', line);
    r.alias = FieldValue('B', line);
    r.pattern = FieldValue('1', line);
    r.prizeTable = FieldValue('C', line);
    r.seconds = ToInt(FieldValue('5', line));
    r.line = line;
    return r;
}

PurchaseReply ParsePurchase(const QByteArray& line)
{
    PurchaseReply r;
    const QByteArray verdict = Chars(line, 10, 11);
    r.verdict = verdict == "OK"   ? PurchaseReply::Verdict::Bought
                : verdict == "PW" ? PurchaseReply::Verdict::WrongPassword
                : verdict == "NO" ? PurchaseReply::Verdict::Refused
                                  : PurchaseReply::Verdict::Other;
    r.cardId = Chars(line, 12, 29);
    r.balance = FieldValue('0', line);
    r.cells = FieldValue('B', line);
    r.selection = FieldValue('C', line);
    r.line = line;
    return r;
}

WinnersReply ParseWinners(const QByteArray& line)
{
    WinnersReply w;
    w.ok = HasPrefix(line, "PQZ!LOGINOK");
    if (!w.ok)
        return w;
    w.payout = FieldValue('1', line);
    // Names separated by commas; a leading comma is skipped, an empty name ends the list.
    QByteArray rest = FieldValue('2', line).trimmed();
    for (;;) {
        if (rest.startsWith(','))
            rest.remove(0, 1);
        const int comma = rest.indexOf(',');
        if (comma <= 0) {
            w.names << rest;
            break;
        }
        w.names << rest.left(comma);
        rest = rest.mid(comma, 1024);
    }
    w.memo = FieldValue('3', line);
    return w;
}

}   // namespace

std::optional<ServerEvent> ParseFeedLine(Link link, const QByteArray& line)
{
    if (HasPrefix(line, "PQZACK"))
        return ParseAnnouncement(line);
    if (link != Link::GameFeed || !HasPrefix(line, "PQZ"))
        return std::nullopt;
    const QByteArray kind = FieldValue('0', line);
    if (kind.isEmpty())
        return std::nullopt;
    switch (kind[0]) {
    case 'A': return ParseAnnouncement(line);
    case 'B': return ParseGameStart(true, line);
    case 'C': return ParseGameStart(false, line);
    case 'D': return GameOver{};
    case 'E': return BingoCalled{};
    default: return std::nullopt;
    }
}

std::optional<ServerEvent> ParseRequestReply(Request request, const QByteArray& line)
{
    switch (request) {
    case Request::Login:
        if (HasPrefix(line, "PQZ!LOGIN"))
            return ParseLogin(line);
        break;
    case Request::Purchase:
        if (HasPrefix(line, "PQZ!LOGIN"))
            return ParsePurchase(line);
        break;
    case Request::Winners:
        if (HasPrefix(line, "PQZ!LOGIN"))
            return ParseWinners(line);
        break;
    case Request::StarterCards:
        if (HasPrefix(line, "PQZ!CARDR")) {
            StarterCards s;
            s.ok = line.left(11) == "PQZ!CARDRG1";
            s.firstId = ToInt(FieldValue('A', line));
            static const char fields[] = "BCDEFGHIJK";
            for (int i = 0; i < 10; ++i)
                s.cells[size_t(i)] = FieldValue(fields[i], line);
            return s;
        }
        break;
    default:   // the card requests of one to four faces
        if (HasPrefix(line, "PQZ!CARDR")) {
            CardReply c;
            c.ok = line.left(11) == "PQZ!CARDRG1";
            c.faces = RequestedFaces(request);
            c.selection = FieldValue('A', line);
            c.cells = FieldValue('B', line);
            return c;
        }
        break;
    }
    return std::nullopt;
}

std::optional<PrizeTable> ParsePrizeTable(const QByteArray& text)
{
    auto tagValue = [&text](const QByteArray& tag) { return KeyedValue(text, tag, 256, "]"); };
    const auto f = ToInt(tagValue("F:"));
    if (!f)
        return std::nullopt;
    const QByteArray sa = tagValue("SA:");
    const QByteArray fa = tagValue("FA:");
    PrizeTable table;
    for (int i = 1; i <= 75; ++i) {
        const QByteArray v = tagValue("V" + QByteArray::number(i) + ":");
        table[size_t(i)] = !v.isEmpty() ? v : i < *f ? sa : fa;
    }
    return table;
}
