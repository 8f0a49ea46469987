// Cost of one "Bingo!" claim: CheckBingo summed over six entered four-face cards with
// about forty numbers called, for each pattern kind. The check paints winning cells
// red and re-derives the marks (it changes nothing else of a card), so before every
// claim the cards' colours and marks are put back from a pristine set; that restore is
// timed on its own and taken off. Time is the thread's CPU time, so a
// machine shared with other work does not count its waits; the best and the median of
// several batches are shown.
#include "benchcards.h"
#include "rules/patterns.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCards = 6;
constexpr int kBatches = 30;
constexpr int kClaimsPerBatch = 2000;
constexpr int kCopies = 8;   // working sets used in turn

std::array<BingoCard, kCards> MakeCards()
{
    std::array<BingoCard, kCards> cards;
    for (int i = 0; i < kCards; ++i) {
        BingoCard& card = cards[i];
        card.FaceCount = 4;
        card.LoadNumbers(NumbersText(i), QString::number(1000 + i));
        card.Entered = true;
        card.AutoDaubOn = i % 2 == 0;
        // 40 calls: a fixed spread over the 75 numbers.
        for (int k = 0; k < 40; ++k) {
            const int n = (k * 17) % 75 + 1;
            const int column = (n - 1) / 15;
            card.SetCalled(column, n - 15 * column, 1);
        }
    }
    return cards;
}

using Cards = std::array<BingoCard, kCards>;

void Restore(Cards& cards, const Cards& pristine)
{
    for (int i = 0; i < kCards; ++i) {
        cards[i].CellColour = pristine[i].CellColour;
        cards[i].Marked = pristine[i].Marked;
    }
}

}   // namespace

int main()
{
    const std::array<BingoCard, kCards> pristine = MakeCards();
    struct Kind { const char* name; const char* descriptor; };
    const Kind kinds[] = {
        {"A (2 lines)", "A02000012"},
        {"B (letter T)", "B0O444412"},
        {"C (letter L)", "C0@@@@O12"},
        {"D (6-cell blocks, 24 placements)", "D06000012"},
        {"F (coverall)", "F00000012"},
    };
    std::printf("claim = CheckBingo over %d entered 4-face cards with 40 calls; thread CPU time,\n"
                "%d batches of %d claims per kind, restores timed apart and taken off\n",
                kCards, kBatches, kClaimsPerBatch);
    std::vector<Cards> work(kCopies, pristine);
    long long sink = 0;
    for (const Kind& kind : kinds) {
        PatternState state;
        state.LoadGamePattern(QByteArray(kind.descriptor));
        std::vector<double> batches;
        int wins = 0;
        for (int b = 0; b < kBatches; ++b) {
            // Restores alone, then restores and claims; the difference is the claims.
            double start = CpuNs();
            for (int i = 0; i < kClaimsPerBatch; ++i)
                Restore(work[i % kCopies], pristine);
            const double copies = CpuNs() - start;
            start = CpuNs();
            for (int i = 0; i < kClaimsPerBatch; ++i) {
                Cards& cards = work[i % kCopies];
                Restore(cards, pristine);
                int claim = 0;
                for (BingoCard& card : cards)
                    claim += state.CheckBingo(card, state.PatternKind);
                wins = claim;
                sink += claim;
            }
            const double both = CpuNs() - start;
            batches.push_back((both - copies) / kClaimsPerBatch);
        }
        std::sort(batches.begin(), batches.end());
        const double best = batches.front();
        const double median = batches[batches.size() / 2];
        std::printf("%-34s best %6.0f ns  median %6.0f ns per claim  winning faces %d  %s\n", kind.name,
                    best, median, wins, median < 5000.0 ? "ok" : "over 5 us");
    }
    std::printf("(checksum %lld)\n", sink);
    return 0;
}
