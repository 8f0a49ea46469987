// The play limits file: any bytes are read as limits and written out again; once written, the
// limits read back the same, and no amount outside its bound is ever held.
#include "limits/playlimits.h"

#include <QDateTime>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QDateTime now(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
    PlayLimits limits(QStringLiteral("/nonexistent-vexobingo-fuzz"), [now] { return now; }, nullptr, nullptr,
                      nullptr);
    limits.parse(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    const QByteArray written = limits.serialize();
    PlayLimits again(QStringLiteral("/nonexistent-vexobingo-fuzz"), [now] { return now; }, nullptr, nullptr,
                     nullptr);
    again.parse(written);
    if (again.serialize() != written)
        std::abort();
    for (int k = 0; k < kLimitKinds; ++k) {
        const LimitState s = limits.limit(LimitKind(k));
        if ((s.amount && (s.amount->cents() < 0 || s.amount->cents() > PlayLimits::kMaxCents))
            || (s.changing && s.from > now.addSecs(PlayLimits::kWaitSeconds)))
            std::abort();
    }
    (void)limits.refusal(int(size % 6));
    return 0;
}
