// The settings line: any bytes are read into settings and written out again.
#include "shell/settings.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray line(reinterpret_cast<const char*>(data), int(size));
    ClientSettings s;
    QString caption;
    ApplySettingsLine(line, s, &caption);
    ClientSettings again;
    ApplySettingsLine(SettingsLine(s), again, nullptr);
    (void)SettingValue(line.left(4), line);
    return 0;
}
