// Sound-set packages: any bytes are read with a set's limits, and a package taken holds
// only plain ".wav" names, each once in any letter case, within the set's caps.
#include "calls/setcatalogue.h"
#include "components/net/filenames.h"

#include <QSet>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const PackageLimits limits = SetPackageLimits();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const Package package = ReadPackage(bytes, limits);
    if (!package.ok) {
        if (package.error.isEmpty())
            __builtin_trap();   // a refusal the player could not be told about
        return 0;
    }
    if (package.entries.size() > limits.maxEntries)
        __builtin_trap();
    QSet<QString> names;
    qint64 total = 0;
    for (const PackageEntry& entry : package.entries) {
        total += entry.data.size();
        if (!IsSafeFileName(entry.name) || !entry.name.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)
            || names.contains(entry.name.toLower()) || entry.data.size() > limits.maxEntryBytes
            || total > limits.maxTotalBytes)
            __builtin_trap();   // a file that could leave sounds/, overwrite another, or overrun the caps
        names.insert(entry.name.toLower());
    }
    return 0;
}
