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
    if (size < 1)
        return 0;
    static const auto core = FuzzCore();
    SetCatalogue& catalogue = core->catalogue(static_cast<SetKind>(data[0] % 3));
    catalogue.FillCatalogue(QByteArray(reinterpret_cast<const char*>(data + 1), int(size - 1)));
    for (int index = -1; index <= catalogue.entries(); ++index)
        catalogue.ChooseSet(index);
    const ClientSettings& s = core->settings().values();
    if (s.FunBingoCount < 0 || s.FunBingoIndex < 0 || s.FunBingoIndex > s.FunBingoCount)
        __builtin_trap();   // a rotation the next shout could not follow
    return 0;
}
