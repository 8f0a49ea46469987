#pragma once
// Pieces the card benchmarks share: the thread's CPU time and the numbers of a card.
#include <QByteArray>
#include <ctime>

inline double CpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// Four faces, each column holding distinct numbers of its own range; seed varies the card.
inline QByteArray NumbersText(int seed)
{
    QByteArray text;
    for (int face = 0; face < 4; ++face)
        for (int column = 0; column < 5; ++column)
            for (int row = 0; row < 5; ++row)
                text.append(char(50 + 15 * column + (row * 3 + face * 4 + seed * 7) % 15 + 1));
    return text;
}
