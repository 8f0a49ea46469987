// The language file: any bytes give a table; lookups never fail.
#include "shell/language.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LanguageTable table;
    table.parse(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    for (int id : {0, 10, 100, 1300, 1600, -1})
        (void)table.text(id);
    return 0;
}
