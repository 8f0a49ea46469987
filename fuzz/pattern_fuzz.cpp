// Pattern descriptors as they come off the wire: any bytes, then a claim on a few
// entered cards. Input: byte 0 = face count (low 3 bits) and autodaub (bit 3),
// byte 1 = number of calls k, the next k bytes = call codes, the rest = descriptor.
#include "rules/patterns.h"
#include "fuzzsupport.h"

namespace {

QByteArray NumbersText(int seed)
{
    QByteArray text;
    for (int i = 0; i < 100; ++i)
        text.append(char(50 + 1 + (i * 7 + seed * 13) % 75));
    return text;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const CallsAndText input = SplitCallsAndText(data, size);
    const QByteArray& descriptor = input.text;
    const size_t calls = input.calls;
    const uint8_t* codes = input.codes;

    PatternState state;
    state.Reset();
    const bool loaded = state.LoadGamePattern(descriptor);
    if (loaded != (descriptor.size() >= 9))
        __builtin_trap();
    if (state.PatternCount < 0 || state.PatternCount > 50)
        __builtin_trap();

    BingoCard cards[3];
    for (int i = 0; i < 3; ++i) {
        cards[i].FaceCount = (data[0] & 7) - i;   // may be 0 or negative
        cards[i].AutoDaubOn = (data[0] & 8) != 0;
        cards[i].LoadNumbers(NumbersText(i), QString::number(i));
        cards[i].Entered = i != 2 || (data[0] & 16) != 0;
        for (size_t k = 0; k < calls; ++k)
            CallOnCard(cards[i], codes[k]);
    }
    int total = 0;
    for (int round = 0; round < 2; ++round)
        for (auto& card : cards) {
            const int wins = state.CheckBingo(card, state.PatternKind);
            if (wins < 0 || wins > 4)
                __builtin_trap();
            total += wins;
        }
    (void)total;
    state.Reset();
    return 0;
}
