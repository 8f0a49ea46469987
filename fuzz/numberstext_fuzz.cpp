// Numbers texts as they come off the wire: any bytes, any face count.
// Input: byte 0 = face count (taken as a signed value), byte 1 = number of calls k,
// the next k bytes = call codes (code − 50), the rest = the numbers text.
#include "cards/patterns.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    BingoCard card;
    card.FaceCount = int(static_cast<int8_t>(data[0]));
    size_t calls = data[1];
    size_t at = 2;
    if (calls > size - at)
        calls = size - at;
    const uint8_t* codes = data + at;
    at += calls;
    const QByteArray text(reinterpret_cast<const char*>(data + at), qsizetype(size - at));

    const bool ok = card.LoadNumbers(text, QStringLiteral("1"));
    if (ok != (BingoCard::CheckNumbersText(text, card.FaceCount) == BingoCard::TextCheck::Ok))
        __builtin_trap();
    card.Entered = true;
    card.AutoDaubOn = (data[1] & 1) != 0;
    for (size_t i = 0; i < calls; ++i) {
        const int n = int(codes[i]) - 50;
        const int column = n >= 1 ? (n - 1) / 15 : -1;
        card.SetCalled(column, n - 15 * column, 1);   // out-of-range slots are ignored
        card.DaubCell(codes[i] % 6, (codes[i] >> 2) % 6, (codes[i] >> 4) % 6);
    }
    for (int face = 1; face <= 4; ++face)
        for (int column = 0; column < 5; ++column)
            for (int row = 0; row < 5; ++row) {
                const int n = card.CellNumber(face, column, row);
                if (n < 0 || n > 75 || (card.Marked[face][column][row] == 1 && n > 0 && !card.IsNumberCalled(n)))
                    __builtin_trap();
            }

    PatternState patterns;
    for (const char* descriptor : {"A02000012", "C0O000012", "D06000012", "F00000012"}) {
        patterns.LoadGamePattern(QByteArray(descriptor));
        const int wins = patterns.CheckBingo(card, patterns.PatternKind);
        if (wins < 0 || wins > 4)
            __builtin_trap();
    }
    (void)card.ShortId();
    return 0;
}
