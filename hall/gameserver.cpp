#include "gameserver.h"

#include "hallstore.h"
#include "hallwire.h"
#include "passwords.h"
#include "rules/bingocard.h"
#include "rules/patterns.h"
#include "rules/wire.h"

#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFeedRepeatSeconds = 3;     // WAT / BUY on the sales feed
constexpr int kAnnounceSeconds = 5;       // "A" on the game feed
constexpr qint64 kFirstSelection = 1000;
constexpr qint64 kMaxSelection = 2000000000;   // the client reads selection codes as 32-bit numbers
constexpr int kMaxResults = 100;
constexpr int kAfterBingoSeconds = 30 + 35;   // announcement to winners, pause and sign-in
constexpr int kFinalCall = 75;
constexpr int kAddressesPerPlayer = 4;   // the latest addresses an account signed in from
// Argon2id checks of passwords not remembered may take a quarter of the hall's time, with
// half a second in hand: a crowd of wrong passwords cannot hold up the feeds.
constexpr qint64 kCheckShare = 4;
constexpr qint64 kCheckCreditUs = 500000;
const QByteArray kBusy = "PQZ!LOGINNOThe hall is busy. Please try again in a moment.";

QByteArray Digits(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

QByteArray Field(char tag, const QByteArray& value)
{
    return QByteArray("$") + tag + value + '%' + tag;
}

}  // namespace

const QList<QByteArray>& PatternRotation()
{
    static const QList<QByteArray> rotation = {
        "A01000001",   // one line
        "B0O000003",   // top row
        "C0O000005",   // any outer line
        "D09000008",   // 3x3 block
        "A02000002",   // two lines
        "B0A:4:A04",   // letter X
        "D04000009",   // 2x2 block
        "F00000010",   // coverall
        "A11000007",   // one line, progressive jackpot
    };
    return rotation;
}

QByteArray ProgressivePrizeTable()
{
    return "SA:50.00]F:40]FA:25.00]V30:100.00]";
}

QByteArray PrizeForCall(const QByteArray& table, int call)
{
    const auto tagValue = [&table](const QByteArray& tag) { return KeyedValue(table, tag, 256, "]"); };
    const QByteArray special = tagValue("V" + QByteArray::number(call) + ":");
    if (!special.isEmpty())
        return special;
    return call < tagValue("F:").toInt() ? tagValue("SA:") : tagValue("FA:");
}

namespace {

// The fewest cells any face of the board still needs; -1 when no face can win.
int FewestToGo(PatternState& pattern, const BingoCard& board)
{
    int fewest = -1;
    for (const int left : pattern.FacesToGo(board, pattern.PatternKind))
        if (left >= 0 && (fewest < 0 || left < fewest))
            fewest = left;
    return fewest;
}

}  // namespace

Judgement JudgeDraw(const QByteArray& descriptor, const QList<int>& draw, const QList<SoldCard>& cards)
{
    Judgement judgement;
    PatternState pattern;
    if (cards.isEmpty() || !pattern.LoadGamePattern(descriptor) || pattern.PatternKind == QLatin1Char('E'))
        return judgement;
    std::array<int, 76> callOf{};   // the call count at which each number falls; 0: never
    for (int i = 0; i < draw.size(); ++i)
        if (draw[i] >= 1 && draw[i] <= 75)
            callOf[draw[i]] = i + 1;
    // A card's state changes only at the calls of its own numbers, so each card is checked at
    // those calls alone, up to the earliest win found so far. One board serves every card, its
    // marks set straight from the calls (it holds no numbers, so the check's own re-marking
    // leaves them be): the memory stays flat and no text is made, however many are sold.
    int best = int(draw.size()) + 1;
    BingoCard board;
    board.Entered = true;
    struct Mark {
        int call;
        int face, column, row;
    };
    std::vector<Mark> marks;
    for (int c = 0; c < cards.size(); ++c) {
        const SoldCard& sold = cards[c];
        const int faces = std::min(sold.faces, int(sold.cells.size() / 25));
        marks.clear();
        for (int cell = 0; cell < 25 * faces; ++cell) {
            const int n = static_cast<unsigned char>(sold.cells[cell]) - 50;
            if (cell % 25 != 12 && n >= 1 && n <= 75 && callOf[n] > 0 && callOf[n] <= best)
                marks.push_back({callOf[n], cell / 25 + 1, cell % 25 / 5, cell % 5});
        }
        if (marks.empty())
            continue;
        std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.call < b.call; });
        board.FaceCount = faces;
        board.Marked = {};
        // A card that needs t more cells cannot win before t more of its calls: the marks of
        // those go on at once, and the card is counted again only then.
        size_t m = 0;
        for (int need = FewestToGo(pattern, board); need > 0 && m < marks.size(); need = FewestToGo(pattern, board)) {
            for (int calls = 0; calls < need && m < marks.size(); ++calls)
                for (const int call = marks[m].call; m < marks.size() && marks[m].call == call; ++m)
                    board.setMarked(marks[m].face, marks[m].column, marks[m].row);
        }
        if (m == 0 || FewestToGo(pattern, board) != 0 || pattern.CheckBingo(board, pattern.PatternKind) == 0)
            continue;
        if (marks[m - 1].call < best)
            judgement.winners.clear();
        best = marks[m - 1].call;
        judgement.winners.append(c);
    }
    judgement.winningCall = judgement.winners.isEmpty() ? 0 : best;
    return judgement;
}

GameServer::GameServer(const GameConfig& config, std::unique_ptr<HallStore> store, QObject* parent)
    : QObject(parent),
      config_(config),
      store_(std::move(store)),
      ports_(new GamePorts(
          config.ports, [this](const QByteArray& line, const QByteArray& peer) { return handleRequest(line, peer); },
          [this](GamePorts::Feed feed) { return feedGreeting(feed); }, this)),
      clock_(new QTimer(this))
{
    checkClock_.start();
    checkCreditUs_ = kCheckCreditUs;
    clock_->setTimerType(Qt::PreciseTimer);
    clock_->setInterval(qMax(1, config_.tickMs));
    connect(clock_, &QTimer::timeout, this, &GameServer::tick);

    for (const HallAccount& account : store_->accounts())
        accounts_.add(account);
    for (const GameResult& result : store_->results(kMaxResults)) {
        results_.insert(result.gameNumber, result);
        resultOrder_.append(result.gameNumber);
        lastResult_ = result.gameNumber;
    }
    // A hall stopped during the sales plays that game with the cards it had sold: the players
    // hold them under this game's number, and every charge stays with its card.
    gameIndex_ = store_->gameIndex();
    for (const StoredCard& stored : store_->cardsOf(gameNumber())) {
        sold_.append(stored.card);
        ++held_[stored.card.user];
        salesCents_ += stored.priceCents;
        nextSerial_ = stored.serial + 1;
    }
}

GameServer::~GameServer() = default;

bool GameServer::listen(const QHostAddress& address, quint16 requestPort, quint16 salesPort, quint16 gamePort,
                        QString* error)
{
    return ports_->listen(address, requestPort, salesPort, gamePort, error);
}

quint16 GameServer::requestPort() const { return ports_->requestPort(); }
quint16 GameServer::salesPort() const { return ports_->salesPort(); }
quint16 GameServer::gamePort() const { return ports_->gamePort(); }

void GameServer::start()
{
    phase_ = Phase::Waiting;
    elapsed_ = 0;
    clock_->start();
}

QByteArray GameServer::gameNumber() const
{
    return Digits(config_.gameNumberStart + gameIndex_, 6).right(6);
}

QByteArray GameServer::pattern() const
{
    const QList<QByteArray>& rotation = PatternRotation();
    const int index = phase_ == Phase::Running ? gameIndex_ + 1 : gameIndex_;
    return rotation[index % rotation.size()];
}

int GameServer::secondsToStart() const
{
    switch (phase_) {
    case Phase::Waiting:
        return qMax(0, config_.waitSeconds - elapsed_) + config_.salesSeconds;
    case Phase::Sales:
        return qMax(0, config_.salesSeconds - elapsed_);
    case Phase::Running:
        return qMax(0, runSeconds_ - elapsed_) + config_.salesSeconds;
    }
    return 0;
}

const GameResult* GameServer::result(const QByteArray& number) const
{
    const auto it = results_.constFind(number == "000000" ? lastResult_ : number);
    return it == results_.constEnd() ? nullptr : &it.value();
}

QByteArray GameServer::handleRequest(const QByteArray& line, const QByteArray& peer)
{
    if (line.startsWith("PQZ!G6"))
        return loginReply(line, peer);
    if (line.startsWith("PQZ!B7"))
        return purchaseReply(line);
    if (line.startsWith("PQZ!GS"))
        return winnersReply(line);
    if (line.startsWith("PQZ!S6")) {
        QByteArray reply = "PQZ!CARDRG1";
        QByteArray base;
        static const char tags[] = "BCDEFGHIJK";
        for (int i = 0; i < 10; ++i) {
            QByteArray cells;
            const QByteArray code = newSelection(&cells);
            if (i == 0) {
                base = code;
                reply += Field('A', base);
            }
            reply += Field(tags[i], cells);
        }
        return reply;
    }
    if (line.startsWith("PQZ!S1")) {
        QByteArray cells;
        const QByteArray code = newSelection(&cells);
        return "PQZ!CARDRG1" + Field('A', code) + Field('B', cells);
    }
    return "PQZ!ERROR";
}

QByteArray GameServer::newSelection(QByteArray* cells)
{
    if (nextSelection_ >= kMaxSelection)
        nextSelection_ = kFirstSelection;
    const qint64 code = nextSelection_++;
    *cells = selectionCells(code);
    return QByteArray::number(code);
}

// A card on offer is made from its code and the seed, so that the hall keeps nothing for the
// hundreds of thousands it hands out in a busy game; every code it has handed out since it
// started can be bought. (The purchase reply carries the cells: a code offered before a
// restart buys the card this run makes of it, and the client shows that one.)
QByteArray GameServer::selectionCells(qint64 code) const
{
    return hallwire::MakeCardCells((config_.seed ^ 0x9E3779B97F4A7C15ULL) + quint64(code) * 0xD1B54A32D192ED03ULL, 4);
}

void GameServer::rememberPasswords(const QList<HallAccount>& imported)
{
    for (const HallAccount& account : imported)
        logins_.remember(account.user, account.password);
}

std::optional<QByteArray> GameServer::signedInAlias(const QByteArray& user, const QHostAddress& peer)
{
    const HallAccount* account = accounts_.find(user);
    if (!account || !signedIn_.value(user).contains(net::AddressKey(peer)))
        return std::nullopt;
    return account->alias;
}

// A password checked once this run is known by its keyed hash; any other costs an Argon2id
// check, within the time the checks may take, and is remembered when it is right.
GameServer::Check GameServer::checkPassword(const HallAccount& account, const QByteArray& password)
{
    if (logins_.remembers(account.user, password))
        return Check::Right;
    const qint64 now = checkClock_.nsecsElapsed() / 1000;
    checkCreditUs_ = std::min(kCheckCreditUs, checkCreditUs_ + (now - checkCreditAt_) / kCheckShare);
    checkCreditAt_ = now;
    if (checkCreditUs_ <= 0)
        return Check::Busy;
    const bool right = passwords::Verify(account.passwordHash, password);
    checkCreditUs_ -= checkClock_.nsecsElapsed() / 1000 - now;
    if (!right)
        return Check::Wrong;
    logins_.remember(account.user, password);
    return Check::Right;
}

QByteArray GameServer::loginReply(const QByteArray& line, const QByteArray& peer)
{
    const auto request = hallwire::ParseLogin(line);
    if (!request)
        return "PQZ!ERROR";
    const HallAccount* account = accounts_.find(request->user);
    if (!account)
        return "PQZ!LOGINNOUnknown Player ID. Please check it and try again.";
    if (const Check check = checkPassword(*account, request->password); check != Check::Right)
        return check == Check::Busy ? kBusy : "PQZ!LOGINPW";
    if (!account->refusal.isEmpty())
        return "PQZ!LOGINNO" + account->refusal;
    if (!peer.isEmpty()) {
        QList<QByteArray>& addresses = signedIn_[account->user];
        addresses.removeOne(peer);
        addresses.append(peer);
        if (addresses.size() > kAddressesPerPlayer)
            addresses.removeFirst();
    }
    const QByteArray descriptor = pattern();
    const bool progressive = descriptor.size() > 1 && descriptor.at(1) == '1';
    return "PQZ!LOGINOK" + Field('A', {}) + Field('B', account->alias)
        + Field('0', hallwire::FormatMoney(account->balanceCents)) + Field('1', descriptor)
        + Field('C', progressive ? ProgressivePrizeTable() : QByteArray())
        + Field('5', QByteArray::number(secondsToStart()));
}

QByteArray GameServer::purchaseReply(const QByteArray& line)
{
    const auto request = hallwire::ParsePurchase(line);
    if (!request)
        return "PQZ!ERROR";
    HallAccount* account = accounts_.find(request->user);
    const Check check = account ? checkPassword(*account, request->password) : Check::Wrong;
    if (check != Check::Right)
        return check == Check::Busy ? kBusy : "PQZ!LOGINPW";
    if (!account->refusal.isEmpty())
        return "PQZ!LOGINNO" + account->refusal;
    if (phase_ != Phase::Sales)
        return "PQZ!LOGINNOGame is being setup. Cards for the next game go on sale shortly.";
    if (held_.value(account->user) >= config_.maxCards)
        return "PQZ!LOGINNOMaximum Cards per game reached";
    bool facesOk = false;
    const int faces = request->faces.toInt(&facesOk);
    if (!facesOk || faces < 1 || faces > 4)
        return "PQZ!LOGINNOPlease choose a card of one to four faces.";
    const auto offered = ToInt(request->selection);
    if (!offered || *offered < kFirstSelection || *offered >= nextSelection_)
        return "PQZ!LOGINNOThat card is no longer on offer. Please choose your card again.";
    const qint64 price = config_.priceCents * faces;
    if (account->balanceCents < price)
        return "PQZ!LOGINNOSorry your Account does not have enough credit for this card.";

    SoldCard card;
    card.user = account->user;
    card.alias = account->alias;
    card.faces = faces;
    card.cells = selectionCells(*offered).left(25 * faces);
    card.cardId = gameNumber() + "." + Digits(accounts_.seat(account->user) % 100000, 5) + "."
        + Digits(nextSerial_ % 100000, 5);
    // The charge and the card are on disk before the player hears of them.
    if (!store_->recordPurchase(account->user, account->balanceCents - price, gameNumber(), nextSerial_, card, price))
        return "PQZ!LOGINNOSorry, the hall could not take your purchase. Please try again.";
    ++nextSerial_;
    account->balanceCents -= price;
    salesCents_ += price;
    ++held_[account->user];
    sold_.append(card);
    return "PQZ!LOGINOK" + card.cardId + Field('0', hallwire::FormatMoney(account->balanceCents))
        + Field('C', request->selection) + Field('B', card.cells);
}

QByteArray GameServer::winnersReply(const QByteArray& line)
{
    const auto number = hallwire::ParseWinnersRequest(line);
    if (!number)
        return "PQZ!ERROR";
    const GameResult* found = result(*number);
    if (!found)
        return "PQZ!LOGINNONo result is known for game " + *number + ".";
    return "PQZ!LOGINOK" + Field('1', found->payout) + Field('2', found->winners.join(',')) + Field('3', found->note);
}

QByteArray GameServer::jackpot() const
{
    return hallwire::FormatMoney(2500 + salesCents_ / 2);
}

QByteArray GameServer::announcement() const
{
    return "PQZ" + Field('0', "A") + Field('8', gameNumber()) + Field('7', pattern()) + Field('2', jackpot())
        + Field('3', QByteArray::number(playerCount())) + Field('4', QByteArray::number(secondsToStart()));
}

void GameServer::tick()
{
    ++elapsed_;
    switch (phase_) {
    case Phase::Waiting:
        if (elapsed_ >= config_.waitSeconds)
            beginSales();
        else if (elapsed_ % kFeedRepeatSeconds == 0)
            ports_->broadcast(GamePorts::Feed::Sales, "PQZACKWAT");
        return;
    case Phase::Sales:
        if (elapsed_ >= config_.salesSeconds) {
            startGame();
            return;
        }
        if (elapsed_ % kFeedRepeatSeconds == 0)
            ports_->broadcast(GamePorts::Feed::Sales, "PQZACKBUY1");
        if (elapsed_ % kAnnounceSeconds == 0)
            ports_->broadcast(GamePorts::Feed::Game, announcement());
        return;
    case Phase::Running:
        if (elapsed_ >= runSeconds_) {
            ++gameIndex_;
            beginSales();
        } else if (elapsed_ % kFeedRepeatSeconds == 0) {
            ports_->broadcast(GamePorts::Feed::Sales, "PQZACKWAT");
        }
        return;
    }
}

void GameServer::beginSales()
{
    phase_ = Phase::Sales;
    elapsed_ = 0;
    ports_->broadcast(GamePorts::Feed::Sales, "PQZACKBUY1");
    ports_->broadcast(GamePorts::Feed::Game, announcement());
    emit phaseChanged(phase_);
}

void GameServer::startGame()
{
    const QByteArray number = gameNumber();
    const QByteArray descriptor = pattern();
    const QList<int> draw = hallwire::ShuffledDraw(config_.seed * 1000003ULL + quint64(config_.gameNumberStart + gameIndex_));
    const Judgement judgement = JudgeDraw(descriptor, draw, sold_);

    GameResult result;
    result.gameNumber = number;
    if (judgement.winningCall > 0) {
        result.winningCall = judgement.winningCall;
        for (int index : judgement.winners)
            if (!result.winners.contains(sold_[index].alias))
                result.winners.append(sold_[index].alias);
    } else {
        // Nobody wins: the client still plays the draw to a call count of our choosing.
        QRandomGenerator rng(quint32(draw.first() * 7919 + draw.last()));
        result.winningCall = 20 + int(rng.bounded(21));
    }
    result.finalCall = result.winningCall < kFinalCall ? kFinalCall : result.winningCall + 1;
    const bool progressive = descriptor.size() > 1 && descriptor.at(1) == '1';
    const QByteArray prize = progressive ? PrizeForCall(ProgressivePrizeTable(), result.winningCall) : jackpot();
    if (result.winners.isEmpty()) {
        result.payout = "0.00";
        result.note = "Game " + number + ": no card completed the pattern.";
    } else {
        const qint64 total = hallwire::ParseMoney(prize).value_or(0);
        result.payout = hallwire::FormatMoney(total / result.winners.size());
        result.note = "Game " + number + " was won on call " + QByteArray::number(result.winningCall) + ".";
    }

    const QByteArray line = "PQZ" + Field('0', "B") + Field('8', number) + Field('A', hallwire::CallCodes(draw))
        + Field('9', "bingo.gif") + Field('7', descriptor) + Field('2', prize)
        + Field('3', QByteArray::number(playerCount())) + Field('5', QByteArray::number(result.winningCall))
        + Field('6', QByteArray::number(result.finalCall));
    ports_->broadcast(GamePorts::Feed::Game, line);

    if (!store_->recordGame(result, gameIndex_ + 1))
        std::fprintf(stderr, "bingo-hall: game %s could not be recorded\n", number.constData());
    results_.insert(number, result);
    resultOrder_.append(number);
    while (resultOrder_.size() > kMaxResults)
        results_.remove(resultOrder_.takeFirst());
    lastResult_ = number;

    phase_ = Phase::Running;
    elapsed_ = 0;
    runSeconds_ = result.winningCall * config_.spacing + kAfterBingoSeconds;
    sold_.clear();
    held_.clear();
    salesCents_ = 0;
    nextSerial_ = 1;
    emit gameStarted(number, line);
    emit phaseChanged(phase_);
}

QByteArray GameServer::feedGreeting(GamePorts::Feed feed) const
{
    if (feed == GamePorts::Feed::Sales)
        return phase_ == Phase::Sales ? "PQZACKBUY1" : "PQZACKWAT";
    return phase_ == Phase::Sales ? announcement() : QByteArray();
}
