#include "components/net/filenames.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>

QString ResolveFileCaseInsensitive(const QString& folder, const QString& relativePath)
{
    QString rel = relativePath;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString base = QDir(folder).absolutePath();
    const QString asGiven = QDir::cleanPath(base + QLatin1Char('/') + parts.join(QLatin1Char('/')));

    QString current = base;
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        QString next = current + QLatin1Char('/') + part;
        if (part != QLatin1String("..") && !QFileInfo::exists(next)) {
            // Read in the folder's own order, unsorted: a launch folder may hold thousands of
            // names. Of several that differ only in case the first in code-point order wins.
            QDirIterator entries(current, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            QString found;
            while (entries.hasNext()) {
                entries.next();
                const QString entry = entries.fileName();
                if (entry.compare(part, Qt::CaseInsensitive) == 0 && (found.isEmpty() || entry < found))
                    found = entry;
            }
            if (found.isEmpty())
                return asGiven;
            next = current + QLatin1Char('/') + found;
        }
        current = next;
    }
    if (!QFileInfo::exists(current))
        return asGiven;
    return QDir::cleanPath(current);
}

bool IsSafeFileName(const QString& name)
{
    // A leading dot covers "." and ".." and hidden files; a colon covers drive letters.
    if (name.isEmpty() || name.size() > 128 || name.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() == 0)
            return false;
    }
    return true;
}
