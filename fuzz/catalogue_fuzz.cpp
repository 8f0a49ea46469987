// Catalogue replies: any body fills a list, and choosing any entry of it (declining
// every download) stores a choice the settings file can hold.
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzInitialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GameCore* core = &FuzzCore();
    if (size < 1)
        return 0;
    const int kind = data[0] % 3;
    core->FillCatalogue(kind, QByteArray(reinterpret_cast<const char*>(data + 1), int(size - 1)));
    for (int index = -1; index <= core->Catalogues[size_t(kind)].Entries; ++index)
        core->ChooseSet(kind, index);
    if (core->Settings.FunBingoCount < 0)
        __builtin_trap();   // a count the rotation could not use
    return 0;
}
