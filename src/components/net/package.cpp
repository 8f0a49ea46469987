#include "components/net/package.h"

#include "components/net/filenames.h"

#include <QSet>
#include <QStringList>
#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace {

struct ArchiveCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};

Package Refuse(const QString& why)
{
    Package p;
    p.error = why;
    return p;
}

}   // namespace

qint64 UnpackedCap(const PackageLimits& limits)
{
    return limits.maxTotalBytes + qint64(limits.maxEntries + 1) * kHeaderRoom;
}

bool IsSafeRelativePath(const QString& path)
{
    if (path.isEmpty() || path.size() > 255)
        return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    for (const QString& part : parts)
        if (!IsSafeFileName(part))
            return false;
    return true;
}

Package ReadPackage(const QByteArray& bytes, const PackageLimits& limits)
{
    std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
    archive_read_support_filter_gzip(a.get());
    archive_read_support_format_tar(a.get());
    if (archive_read_open_memory(a.get(), bytes.constData(), size_t(bytes.size())) != ARCHIVE_OK)
        return Refuse(QStringLiteral("the package is not a readable archive"));

    Package package;
    QSet<QString> seen;
    qint64 total = 0;
    int headers = 0;
    // Filter 0 is the one nearest the tar reader: its count is the unpacked stream read so far. It is
    // checked at each header; a file's own bytes past it are bounded by maxEntryBytes.
    const qint64 cap = UnpackedCap(limits);
    archive_entry* entry = nullptr;
    for (;;) {
        const int r = archive_read_next_header(a.get(), &entry);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK)
            return Refuse(QStringLiteral("the package is damaged"));
        // Every header counts, folders too: a flood of folder headers costs as much to read as files.
        if (++headers > limits.maxEntries)
            return Refuse(QStringLiteral("the package holds too many entries"));
        if (archive_filter_bytes(a.get(), 0) > cap)
            return Refuse(QStringLiteral("the package is too large unpacked"));
        const char* rawName = archive_entry_pathname(entry);
        QString name = QString::fromUtf8(rawName ? rawName : "");
        if (name.startsWith(QLatin1String("./")))
            name.remove(0, 2);
        const mode_t type = archive_entry_filetype(entry);
        if (type == AE_IFDIR)
            continue;
        if (type != AE_IFREG || archive_entry_hardlink(entry) || archive_entry_symlink(entry))
            return Refuse(QStringLiteral("the package holds something other than files: ") + name);
        const bool nameOk = limits.folders ? IsSafeRelativePath(name) : IsSafeFileName(name);
        if (!nameOk || (!limits.suffix.isEmpty() && !name.endsWith(limits.suffix, Qt::CaseInsensitive)))
            return Refuse(QStringLiteral("the package holds a file it may not: ") + name);
        const QString key = name.toLower();
        if (seen.contains(key))
            return Refuse(QStringLiteral("the package names a file twice: ") + name);
        seen.insert(key);
        // The size in the header is checked before anything is read, and again while reading.
        const qint64 declared = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
        if (declared < 0 || declared > limits.maxEntryBytes || total + declared > limits.maxTotalBytes)
            return Refuse(QStringLiteral("the package holds a file that is too large: ") + name);
        QByteArray data;
        data.reserve(qsizetype(declared));
        char buffer[16384];
        for (;;) {
            const la_ssize_t n = archive_read_data(a.get(), buffer, sizeof buffer);
            if (n < 0)
                return Refuse(QStringLiteral("the package is damaged"));
            if (n == 0)
                break;
            if (data.size() + n > limits.maxEntryBytes || total + data.size() + n > limits.maxTotalBytes)
                return Refuse(QStringLiteral("the package holds a file that is too large: ") + name);
            data.append(buffer, qsizetype(n));
        }
        total += data.size();
        package.entries.append({name, data, (archive_entry_perm(entry) & 0111) != 0});
    }
    package.ok = true;
    return package;
}
