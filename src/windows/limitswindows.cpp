#include "windows/limitswindows.h"

#include "game/gamecore.h"
#include "limits/playlimits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <class W>
W* Named(W* w, const char* name, const QString& accessible, const QString& description = {})
{
    w->setObjectName(QLatin1String(name));
    w->setAccessibleName(accessible);
    if (!description.isEmpty())
        w->setAccessibleDescription(description);
    return w;
}

QLabel* Plain(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

const int kRealityChoices[] = {0, 15, 30, 60};

}   // namespace

QString PlayedText(qint64 seconds)
{
    const qint64 minutes = qMax<qint64>(0, seconds) / 60;
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// ---------------------------------------------------------------- Play Limits

PlayLimitsWindow::PlayLimitsWindow(GameCore* core, QWidget* parent) : CentredDialog(parent), core_(core)
{
    setObjectName(QStringLiteral("TPlayLimits"));
    setWindowTitle(QStringLiteral("Play Limits"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = Plain(this, "LimitsIntro");
    intro->setText(QStringLiteral("Set how much you may spend and lose. Lowering a limit takes effect at once; "
                                  "raising or removing one takes effect after 24 hours."));
    layout->addWidget(intro);
    auto* form = new QGridLayout;
    form->setColumnStretch(2, 1);
    const struct {
        const char* name;
        const char* caption;
        const char* description;
    } kinds[kLimitKinds] = {
        {"DailySpend", "&Daily spending limit", "The most you may spend on cards in one day"},
        {"SessionSpend", "&Session spending limit", "The most you may spend on cards from signing in until you quit"},
        {"DailyLoss", "Daily &loss limit", "The most you may lose in one day: spent less won"},
    };
    for (int k = 0; k < kLimitKinds; ++k) {
        Row& row = rows_[size_t(k)];
        const QString caption = QLatin1String(kinds[k].caption);
        QString plain = caption;
        plain.remove(QLatin1Char('&'));
        row.on = Named(new QCheckBox(caption, this), (QByteArray(kinds[k].name) + "On").constData(), plain,
                       QLatin1String(kinds[k].description));
        row.amount = Named(new QLineEdit(this), (QByteArray(kinds[k].name) + "Amount").constData(),
                           plain + QStringLiteral(" amount"), QStringLiteral("An amount such as 20.00"));
        row.amount->setPlaceholderText(QStringLiteral("0.00"));
        row.amount->setMaxLength(16);
        row.amount->setFixedWidth(110);
        row.waiting = Plain(this, (QByteArray(kinds[k].name) + "Waiting").constData());
        connect(row.on, &QCheckBox::toggled, row.amount, &QWidget::setEnabled);
        form->addWidget(row.on, 2 * k, 0);
        form->addWidget(row.amount, 2 * k, 1);
        form->addWidget(row.waiting, 2 * k + 1, 0, 1, 3);
    }
    reality_ = Named(new QComboBox(this), "RealityCheck", QStringLiteral("Reality check"),
                     QStringLiteral("How often you are shown the time and money of this session"));
    reality_->addItems({QStringLiteral("Off"), QStringLiteral("Every 15 minutes"), QStringLiteral("Every 30 minutes"),
                        QStringLiteral("Every 60 minutes")});
    auto* realityLabel = new QLabel(QStringLiteral("&Reality check:"), this);
    realityLabel->setBuddy(reality_);
    form->addWidget(realityLabel, 2 * kLimitKinds, 0);
    form->addWidget(reality_, 2 * kLimitKinds, 1, 1, 2);
    layout->addLayout(form);
    message_ = Plain(this, "LimitsMessage");
    layout->addWidget(message_);
    auto* buttons = new QDialogButtonBox(this);
    auto* saveButton = Named(buttons->addButton(QStringLiteral("S&ave"), QDialogButtonBox::AcceptRole), "LimitsSave",
                             QStringLiteral("Save"), QStringLiteral("Sets the limits as they stand in the window"));
    saveButton->setDefault(true);
    auto* close = Named(buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole), "LimitsClose",
                        QStringLiteral("Close"));
    connect(saveButton, &QPushButton::clicked, this, &PlayLimitsWindow::save);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void PlayLimitsWindow::fill(const LimitsForm& form)
{
    shown_ = form;
    for (int k = 0; k < kLimitKinds; ++k) {
        const LimitState& state = form.limits[size_t(k)];
        Row& row = rows_[size_t(k)];
        row.on->setChecked(state.amount.has_value());
        row.amount->setEnabled(state.amount.has_value());
        row.amount->setText(state.amount ? state.amount->text() : QString());
        QString waiting;
        if (state.changing) {
            const QString when = QLocale().toString(state.from, QLocale::ShortFormat);
            waiting = state.next ? QStringLiteral("Raised to %1 from %2.").arg(state.next->text(), when)
                                 : QStringLiteral("Removed from %1.").arg(when);
        }
        row.waiting->setText(waiting);
        row.waiting->setVisible(!waiting.isEmpty());
    }
    int choice = 0;
    for (int i = 0; i < 4; ++i)
        if (kRealityChoices[i] == form.realityMinutes)
            choice = i;
    reality_->setCurrentIndex(choice);
}

void PlayLimitsWindow::save()
{
    if (!core_)
        return;
    std::array<std::optional<Money>, kLimitKinds> wanted{};
    for (int k = 0; k < kLimitKinds; ++k) {
        const Row& row = rows_[size_t(k)];
        if (!row.on->isChecked())
            continue;
        const std::optional<Money> amount = Money::parse(row.amount->text().trimmed().toLatin1());
        if (!amount || amount->cents() < 0 || amount->cents() > PlayLimits::kMaxCents) {
            message_->setText(QStringLiteral("\"%1\" is not an amount. Write it like 20.00.").arg(row.amount->text()));
            row.amount->setFocus();
            return;
        }
        wanted[size_t(k)] = amount;
    }
    PlayLimits& limits = core_->limits();
    QStringList said;
    for (int k = 0; k < kLimitKinds; ++k) {
        const LimitState& state = shown_.limits[size_t(k)];
        // Unchanged: the amount in force, or the one already waiting.
        if (wanted[size_t(k)] == state.amount || (state.changing && wanted[size_t(k)] == state.next))
            continue;
        limits.setLimit(LimitKind(k), wanted[size_t(k)]);
    }
    limits.setRealityMinutes(kRealityChoices[qBound(0, reality_->currentIndex(), 3)]);
    limits.ShowLimits();   // fills this window again, with what now waits
    message_->setText(QStringLiteral("Saved."));
}

// ---------------------------------------------------------------- reality check

RealityCheckWindow::RealityCheckWindow(GameCore* core, QWidget* parent) : CentredDialog(parent)
{
    setObjectName(QStringLiteral("TRealityCheck"));
    setWindowTitle(QStringLiteral("Reality Check"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    text_ = Plain(this, "RealityText");
    text_->setAccessibleName(QStringLiteral("This session"));
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(this);
    auto* keep = Named(buttons->addButton(QStringLiteral("&Keep playing"), QDialogButtonBox::AcceptRole), "KeepPlaying",
                       QStringLiteral("Keep playing"));
    keep->setDefault(true);
    auto* leave = Named(buttons->addButton(QStringLiteral("&Leave the game"), QDialogButtonBox::RejectRole),
                        "LeaveGame", QStringLiteral("Leave the game"),
                        QStringLiteral("Quits once the game under way has ended"));
    connect(keep, &QPushButton::clicked, this, &QDialog::hide);
    connect(leave, &QPushButton::clicked, this, [this, core] {
        hide();
        if (core)
            core->LeaveAfterGame();
    });
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void RealityCheckWindow::fill(const RealityFigures& f)
{
    const Money net = Money::fromCents(f.won.cents() - f.spent.cents());
    text_->setText(QStringLiteral("You have played for %1 this session.\n\nSpent: %2\nWon: %3\nNet: %4")
                       .arg(PlayedText(f.playedSeconds), f.spent.text(), f.won.text(), net.text()));
}
