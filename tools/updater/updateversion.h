#pragma once
// The version of a program update. Every package holds an entry VERSION at its top, so the
// signature over the package covers its version; installed, that file tells the next update
// which version the program folder holds. A version is one to four numbers joined by dots.
#include "components/net/package.h"

#include <QRegularExpression>
#include <QVersionNumber>

inline constexpr char kVersionEntry[] = "VERSION";

// The version a VERSION file gives; null when it is not one.
inline QVersionNumber ReadVersion(const QByteArray& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,9}){0,3}$"));
    const QString line = QString::fromLatin1(text.trimmed());
    if (text.size() > 64 || !form.match(line).hasMatch())
        return {};
    return QVersionNumber::fromString(line);
}

// The version a package's VERSION entry gives; null when it has none.
inline QVersionNumber PackageVersion(const QList<PackageEntry>& entries)
{
    for (const PackageEntry& entry : entries)
        if (entry.name == QLatin1String(kVersionEntry))
            return ReadVersion(entry.data);
    return {};
}
