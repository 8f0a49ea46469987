// The hall's parsers of outside input: HTTP requests, request lines, chat greetings, account
// lines, amounts.
#include "accounts.h"
#include "hallwire.h"
#include "httprequest.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const HttpRequest request = ParseHttpRequest(bytes, 4096);
    if (request.status == HttpRequest::Status::Complete && request.body.size() > 4096)
        __builtin_trap();
    (void)hallwire::ParseLogin(bytes);
    (void)hallwire::ParsePurchase(bytes);
    (void)hallwire::ParseWinnersRequest(bytes);
    if (const auto greeting = hallwire::ParseChatGreeting(bytes); greeting && greeting->user.isEmpty())
        __builtin_trap();
    (void)ParseAccountLine(bytes);
    if (const auto cents = hallwire::ParseMoney(bytes)) {
        if (hallwire::ParseMoney(hallwire::FormatMoney(*cents)) != cents)
            __builtin_trap();
    }
    return 0;
}
