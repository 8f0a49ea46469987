// Any text as an amount of money: it reads as nothing or as cents that write back to the
// same amount.
#include "rules/money.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), int(size));
    const std::optional<Money> m = Money::parse(text);
    if (m && Money::parse(m->wire()) != m)
        std::abort();
    return 0;
}
