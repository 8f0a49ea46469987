#include "limits/playlimits.h"

#include "shell/gameclock.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

constexpr const char* kKindNames[kLimitKinds] = {"daily-spend", "session-spend", "daily-loss"};

QString Amount(qint64 cents)
{
    return Money::fromCents(cents).text();
}

// A whole number of cents within the bound, or nothing.
std::optional<qint64> Cents(const QByteArray& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < 0 || value > PlayLimits::kMaxCents)
        return std::nullopt;
    return value;
}

}   // namespace

PlayLimits::PlayLimits(const QString& folder, WallClock wall, const GameClock* clock, PlayLimitsView* view,
                       StatusView* status)
    : folder_(folder), wall_(wall ? std::move(wall) : WallClock([] { return QDateTime::currentDateTime(); })),
      clock_(clock), view_(view), status_(status)
{
    load();
}

QString PlayLimits::path() const
{
    return QDir(folder_).filePath(QLatin1String(kFile));
}

void PlayLimits::catchUp() const
{
    const QDateTime now = wall_();
    bool changed = false;
    for (Limit& limit : limits_) {
        if (limit.changing && now >= limit.from) {
            limit.cents = limit.next;
            limit.changing = false;
            limit.next.reset();
            changed = true;
        }
    }
    if (day_ != now.date()) {
        day_ = now.date();
        spentToday_ = wonToday_ = 0;
        changed = true;
    }
    if (changed)
        save();
}

LimitState PlayLimits::limit(LimitKind kind) const
{
    catchUp();
    const Limit& l = limits_[size_t(kind)];
    LimitState state;
    if (l.cents)
        state.amount = Money::fromCents(*l.cents);
    state.changing = l.changing;
    if (l.next)
        state.next = Money::fromCents(*l.next);
    state.from = l.from;
    return state;
}

QDateTime PlayLimits::setLimit(LimitKind kind, std::optional<Money> amount)
{
    catchUp();
    Limit& l = limits_[size_t(kind)];
    std::optional<qint64> cents;
    if (amount)
        cents = qBound<qint64>(0, amount->cents(), kMaxCents);
    const QDateTime now = wall_();
    // Tighter: a limit where there was none, or a lower one. It holds at once and drops a
    // looser change that was waiting.
    if (cents && (!l.cents || *cents <= *l.cents)) {
        l.cents = cents;
        l.changing = false;
        l.next.reset();
        save();
        return now;
    }
    if (cents == l.cents && !l.changing)
        return now;
    l.changing = true;
    l.next = cents;
    l.from = now.addSecs(kWaitSeconds);
    save();
    return l.from;
}

bool PlayLimits::setRealityMinutes(int minutes)
{
    if (minutes != 0 && minutes != 15 && minutes != 30 && minutes != 60)
        return false;
    realityMinutes_ = minutes;
    save();
    return true;
}

void PlayLimits::ShowLimits()
{
    catchUp();
    LimitsForm form;
    for (int k = 0; k < kLimitKinds; ++k)
        form.limits[size_t(k)] = limit(LimitKind(k));
    form.realityMinutes = realityMinutes_;
    form.now = wall_();
    if (view_)
        view_->showLimits(form);
}

std::optional<Money> PlayLimits::expectedPrice(int faces) const
{
    if (faces < 1 || faces > 4)
        return std::nullopt;
    if (prices_[size_t(faces)])
        return Money::fromCents(*prices_[size_t(faces)]);
    std::optional<qint64> perFace;
    for (int f = 1; f <= 4; ++f)
        if (prices_[size_t(f)])
            perFace = qMax(perFace.value_or(0), (*prices_[size_t(f)] + f - 1) / f);
    if (!perFace)
        return std::nullopt;
    return Money::fromCents(*perFace * faces);
}

QString PlayLimits::refusal(int faces) const
{
    catchUp();
    const std::optional<Money> price = expectedPrice(faces);
    const qint64 cost = price ? price->cents() : 0;
    // Past the limit once this card is paid; with no price known yet, a limit already reached.
    const auto passes = [&](const Limit& l, qint64 used) {
        return l.cents && (price ? used + cost > *l.cents : used >= *l.cents);
    };
    const struct {
        LimitKind kind;
        qint64 used;
        const char* text;
    } checks[] = {
        {LimitKind::DailySpend, spentToday_, "This card would pass your daily spending limit of %1 (spent today: %2)."},
        {LimitKind::SessionSpend, spentSession_,
         "This card would pass your spending limit for this session of %1 (spent this session: %2)."},
        {LimitKind::DailyLoss, spentToday_ - wonToday_,
         "This card would pass your daily loss limit of %1 (lost today: %2)."},
    };
    for (const auto& check : checks) {
        const Limit& l = limits_[size_t(check.kind)];
        if (passes(l, check.used))
            return QString::fromLatin1(check.text).arg(Amount(*l.cents), Amount(check.used));
    }
    return {};
}

Money PlayLimits::spentToday() const
{
    catchUp();
    return Money::fromCents(spentToday_);
}

Money PlayLimits::wonToday() const
{
    catchUp();
    return Money::fromCents(wonToday_);
}

RealityFigures PlayLimits::session() const
{
    RealityFigures figures;
    if (sessionStart_ && clock_)
        figures.playedSeconds = (clock_->now() - *sessionStart_) / 1000;
    figures.spent = Money::fromCents(spentSession_);
    figures.won = Money::fromCents(wonSession_);
    return figures;
}

void PlayLimits::secondPassed()
{
    if (realityMinutes_ <= 0 || !sessionStart_ || !clock_)
        return;
    const qint64 now = clock_->now();
    if (now - lastCheck_ < qint64(realityMinutes_) * 60 * 1000)
        return;
    lastCheck_ = now;
    if (view_)
        view_->showRealityCheck(session());
}

void PlayLimits::signedIn(const QString&, std::optional<Money>)
{
    if (sessionStart_ || !clock_)
        return;
    sessionStart_ = clock_->now();
    lastCheck_ = *sessionStart_;
}

void PlayLimits::cardBought(const BoughtCard& card)
{
    catchUp();
    if (!card.price || card.price->cents() < 0 || card.price->cents() > kMaxCents)
        return;   // a price that is no price (the balance rose, or was unreadable) counts nothing
    const qint64 cents = card.price->cents();
    spentToday_ += cents;
    spentSession_ += cents;
    if (card.faces >= 1 && card.faces <= 4)
        prices_[size_t(card.faces)] = cents;
    save();
}

void PlayLimits::gameEnded(const GameOutcome& outcome)
{
    wonLastGame_ = !outcome.winningCards.isEmpty();
}

void PlayLimits::winnersHeard(const QString& payout, const QStringList&)
{
    if (!wonLastGame_)
        return;
    wonLastGame_ = false;
    const std::optional<Money> prize = Money::parse(payout.toLatin1());
    if (!prize || prize->cents() <= 0 || prize->cents() > kMaxCents)
        return;
    catchUp();
    wonToday_ += prize->cents();
    wonSession_ += prize->cents();
    save();
}

QByteArray PlayLimits::serialize() const
{
    QByteArray text = "# Vexo Bingo play limits: amounts in cents, times in UTC.\n";
    const auto line = [&](const QByteArray& key, const QByteArray& value) { text += key + '=' + value + '\n'; };
    for (int k = 0; k < kLimitKinds; ++k) {
        const Limit& l = limits_[size_t(k)];
        const QByteArray name = kKindNames[k];
        line(name, l.cents ? QByteArray::number(*l.cents) : "none");
        if (l.changing) {
            line(name + ".next", l.next ? QByteArray::number(*l.next) : "none");
            line(name + ".from", l.from.toUTC().toString(Qt::ISODate).toLatin1());
        }
    }
    line("reality-minutes", QByteArray::number(realityMinutes_));
    if (day_.isValid()) {
        line("day", day_.toString(Qt::ISODate).toLatin1());
        line("spent-today", QByteArray::number(spentToday_));
        line("won-today", QByteArray::number(wonToday_));
    }
    for (int f = 1; f <= 4; ++f)
        if (prices_[size_t(f)])
            line("price-" + QByteArray::number(f), QByteArray::number(*prices_[size_t(f)]));
    return text;
}

void PlayLimits::parse(const QByteArray& text)
{
    limits_ = {};
    realityMinutes_ = 0;
    day_ = QDate();
    spentToday_ = wonToday_ = 0;
    prices_ = {};
    std::array<std::optional<QDateTime>, kLimitKinds> from{};
    std::array<bool, kLimitKinds> hasNext{};
    for (const QByteArray& raw : text.left(64 * 1024).split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype eq = line.indexOf('=');
        if (line.startsWith('#') || eq <= 0)
            continue;
        const QByteArray key = line.left(eq);
        const QByteArray value = line.mid(eq + 1);
        for (int k = 0; k < kLimitKinds; ++k) {
            const QByteArray name = kKindNames[k];
            Limit& l = limits_[size_t(k)];
            if (key == name) {
                l.cents = value == "none" ? std::nullopt : Cents(value);
            } else if (key == name + ".next") {
                hasNext[size_t(k)] = value == "none" || Cents(value);
                l.next = value == "none" ? std::nullopt : Cents(value);
            } else if (key == name + ".from") {
                const QDateTime when = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODate);
                if (when.isValid())
                    from[size_t(k)] = when;
            }
        }
        if (key == "reality-minutes") {
            const int minutes = value.toInt();
            if (minutes == 15 || minutes == 30 || minutes == 60)
                realityMinutes_ = minutes;
        } else if (key == "day") {
            day_ = QDate::fromString(QString::fromLatin1(value), Qt::ISODate);
        } else if (key == "spent-today") {
            spentToday_ = Cents(value).value_or(0);
        } else if (key == "won-today") {
            wonToday_ = Cents(value).value_or(0);
        } else if (key.startsWith("price-") && key.size() == 7 && key[6] >= '1' && key[6] <= '4') {
            prices_[size_t(key[6] - '0')] = Cents(value);
        }
    }
    // A waiting change holds only with both its amount and its time, and waits at most a full
    // wait from now (a time written while the clock ran far ahead does not hold it for years).
    const QDateTime latest = wall_().addSecs(kWaitSeconds);
    for (int k = 0; k < kLimitKinds; ++k) {
        Limit& l = limits_[size_t(k)];
        l.changing = hasNext[size_t(k)] && from[size_t(k)];
        if (l.changing)
            l.from = qMin(*from[size_t(k)], latest);
        else
            l.next.reset();
    }
    if (!day_.isValid())
        spentToday_ = wonToday_ = 0;
}

void PlayLimits::load()
{
    QFile file(path());
    if (file.open(QIODevice::ReadOnly))
        parse(file.read(qMin(file.size(), qint64(64 * 1024))));
}

void PlayLimits::save() const
{
    QSaveFile file(path());
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(serialize()) < 0 || !file.commit()) {
        if (status_)
            status_->log(QStringLiteral("The play limits could not be written to ") + path());
    }
}
