// The web login reply: any body fills a service directory.
#include "shell/directory.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char*>(data), int(size));
    ServiceDirectory d;
    d.parse(reply);
    (void)DirectoryValue("URL&http://", reply, "/%");
    return 0;
}
