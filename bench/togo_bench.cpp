// Cost of the "to go" counts after one call: FacesToGo over six entered four-face cards,
// for each pattern kind, at several points of a game (10, 25 and 40 numbers called).
// The counts change nothing of a card, so the same cards serve every round. Time is the
// thread's CPU time; the best and the median of several batches are shown.
#include "benchcards.h"
#include "rules/patterns.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCards = 6;
constexpr int kBatches = 30;
constexpr int kRoundsPerBatch = 2000;

std::vector<BingoCard> MakeCards(int calls)
{
    std::vector<BingoCard> cards(kCards);
    for (int i = 0; i < kCards; ++i) {
        BingoCard& card = cards[size_t(i)];
        card.FaceCount = 4;
        card.LoadNumbers(NumbersText(i), QString::number(1000 + i));
        card.Entered = true;
        for (int k = 0; k < calls; ++k) {   // a fixed spread over the 75 numbers
            const int n = (k * 17) % 75 + 1;
            card.SetCalled((n - 1) / 15, n - 15 * ((n - 1) / 15), 1);
        }
    }
    return cards;
}

}   // namespace

int main()
{
    struct Kind { const char* name; const char* descriptor; };
    const Kind kinds[] = {
        {"A (1 line)", "A01000012"},
        {"A (2 lines)", "A02000012"},
        {"A (3 lines)", "A03000012"},
        {"A (6 lines)", "A06000012"},
        {"A (7 lines)", "A07000012"},
        {"A (8 lines)", "A08000012"},
        {"A (12 lines)", "A0<000012"},
        {"B (letter T)", "B0O444412"},
        {"C (letter L)", "C0@@@@O12"},
        {"D (6-cell blocks, 24 placements)", "D06000012"},
        {"F (coverall)", "F00000012"},
    };
    std::printf("to go = FacesToGo over %d entered 4-face cards after one call; thread CPU time,\n"
                "%d batches of %d rounds per kind and point of the game\n", kCards, kBatches, kRoundsPerBatch);
    long long sink = 0;
    double worst = 0;
    for (const Kind& kind : kinds) {
        PatternState state;
        state.LoadGamePattern(QByteArray(kind.descriptor));
        for (int calls : {10, 25, 40}) {
            const std::vector<BingoCard> cards = MakeCards(calls);
            std::vector<double> batches;
            int best = 99;
            for (int b = 0; b < kBatches; ++b) {
                const double start = CpuNs();
                for (int r = 0; r < kRoundsPerBatch; ++r) {
                    for (const BingoCard& card : cards) {
                        for (int left : state.FacesToGo(card, state.PatternKind)) {
                            sink += left;
                            if (left >= 0)
                                best = std::min(best, left);
                        }
                    }
                }
                batches.push_back((CpuNs() - start) / kRoundsPerBatch);
            }
            std::sort(batches.begin(), batches.end());
            const double median = batches[batches.size() / 2];
            worst = std::max(worst, median);
            std::printf("%-34s %2d called  best %6.0f ns  median %6.0f ns per call  closest %d to go  %s\n",
                        kind.name, calls, batches.front(), median, best, median < 50000.0 ? "ok" : "over 50 us");
        }
    }
    std::printf("slowest median %.2f us per call (goal under 50 us)\n(checksum %lld)\n", worst / 1000.0, sink);
    return 0;
}
