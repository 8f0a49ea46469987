// Numbers texts as they come off the wire: any bytes, any face count.
// Input: byte 0 = face count (taken as a signed value), byte 1 = number of calls k,
// the next k bytes = call codes (code − 50), the rest = the numbers text.
#include "rules/patterns.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    BingoCard card;
    card.FaceCount = int(static_cast<int8_t>(data[0]));
    const CallsAndText input = SplitCallsAndText(data, size);
    const QByteArray& text = input.text;
    const size_t calls = input.calls;
    const uint8_t* codes = input.codes;

    const bool ok = card.LoadNumbers(text, QStringLiteral("1"));
    if (ok != (BingoCard::CheckNumbersText(text, card.FaceCount) == BingoCard::TextCheck::Ok))
        __builtin_trap();
    card.Entered = true;
    card.AutoDaubOn = (data[1] & 1) != 0;
    for (size_t i = 0; i < calls; ++i) {
        CallOnCard(card, codes[i]);
        card.DaubCell(codes[i] % 6, (codes[i] >> 2) % 6, (codes[i] >> 4) % 6);
    }
    for (int face = 1; face <= 4; ++face)
        for (int column = 0; column < 5; ++column)
            for (int row = 0; row < 5; ++row) {
                const int n = card.CellNumber(face, column, row);
                if (n < 0 || n > 75 || (card.isMarked(face, column, row) && n > 0 && !card.IsNumberCalled(n)))
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
