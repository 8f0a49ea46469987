// The settings line: any bytes are read into settings and written out again; what is written
// keeps its fifteen fields, and once written reads back as the same settings.
#include "shell/settings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray line(reinterpret_cast<const char*>(data), int(size));
    ClientSettings s;
    QString caption;
    ApplySettingsLine(line, s, &caption);
    ClientSettings again;
    const QByteArray written = SettingsLine(s);
    ApplySettingsLine(written, again, nullptr);
    // What was written once (its values cleaned) is written the same ever after.
    ClientSettings third;
    ApplySettingsLine(SettingsLine(again), third, nullptr);
    if (written.count('#') != 15 || written.contains('\n') || SettingsLine(third) != SettingsLine(again))
        std::abort();
    (void)SettingValue(line.left(4), line);
    return 0;
}
