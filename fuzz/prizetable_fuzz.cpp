// The prize table of a progressive jackpot.
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzInitialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GameCore* core = &FuzzCore();
    core->FillJackpotTable(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    core->Pattern.ProgressiveJackpot = true;
    for (int i = 0; i < 3; ++i)
        core->RefreshRecentCalls();
    core->CallCount = 0;
    return 0;
}
