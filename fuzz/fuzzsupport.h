#pragma once
// Pieces the fuzz targets share: a headless game core behind views that draw
// nothing, and the split of an input into call codes and the text under test.
#include "rules/bingocard.h"
#include "game/coreparts.h"
#include "game/gamecore.h"
#include "views/nullviews.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <memory>

// Call once from LLVMFuzzerInitialize: the core's sockets and timers need an application.
inline void FuzzInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
}

// A started core for one input, its program folder a temporary folder that nothing
// else uses; the game-server and web ports point at nothing.
inline std::unique_ptr<GameCore> FuzzCore()
{
    static QTemporaryDir folder;
    static NullViews views;
    static GameClock clock(1000);
    CoreConfig config;
    config.folder = folder.path();
    config.defaultWebHost = QStringLiteral("127.0.0.1:1");
    config.ports = LinkPorts{1, 1, 1};
    auto core = std::make_unique<GameCore>(config, views.views(), &clock, nullptr);
    core->FormCreate();
    return core;
}

// Input laid out as: byte 0 free for the target, byte 1 = number of calls k, the next
// k bytes = call codes (number + 50), the rest = the text under test.
struct CallsAndText {
    const uint8_t* codes = nullptr;
    size_t calls = 0;
    QByteArray text;
};

inline CallsAndText SplitCallsAndText(const uint8_t* data, size_t size)
{
    CallsAndText input;
    size_t calls = data[1];
    const size_t at = 2;
    if (calls > size - at)
        calls = size - at;
    input.codes = data + at;
    input.calls = calls;
    input.text = QByteArray(reinterpret_cast<const char*>(data + at + calls), qsizetype(size - at - calls));
    return input;
}

// Marks a call code on a card's called table (out-of-range slots are ignored).
inline void CallOnCard(BingoCard& card, uint8_t code)
{
    const int n = int(code) - 50;
    const int column = n >= 1 ? (n - 1) / 15 : -1;
    card.SetCalled(column, n - 15 * column, 1);
}
