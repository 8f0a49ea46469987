#pragma once
// Packages: the gzip-compressed tar archives in which sound sets and program updates
// arrive. A package is read whole into memory and checked whole: one entry that breaks
// a rule refuses the package, so nothing of a bad package is ever written.
#include <QByteArray>
#include <QList>
#include <QString>

struct PackageLimits {
    int maxEntries = 512;
    qint64 maxEntryBytes = 8 * 1024 * 1024;
    qint64 maxTotalBytes = 64 * 1024 * 1024;
    // Entries may lie in folders ("sounds/x.wav"); each part of the path is then a
    // safe file name. Otherwise an entry is a plain file name.
    bool folders = false;
    // Only names ending in this (any letter case) are taken; empty: any.
    QString suffix;
};

struct PackageEntry {
    QString name;       // "/" separated, relative
    QByteArray data;
    bool executable = false;   // any execute bit set in the archive
};

struct Package {
    bool ok = false;
    QString error;      // why the package was refused, for the player
    QList<PackageEntry> entries;
};

// Reads a package. Only regular files are taken; links, devices and the like refuse
// the package, as do a name that could leave the destination folder, a name given
// twice, and anything past the limits. Folder entries are skipped, but every header,
// a folder's too, counts against maxEntries, and reading stops once the unpacked
// archive passes UnpackedCap: a small download cannot keep the reader busy for long.
Package ReadPackage(const QByteArray& bytes, const PackageLimits& limits);
// Room for one entry's header, its extended headers (long names, attributes) and the
// padding of its data to whole blocks, beyond the files' own bytes.
constexpr qint64 kHeaderRoom = 8 * 1024;
// How large the archive may be once unpacked: the files' bytes and room for each header
// and for the end of the archive.
qint64 UnpackedCap(const PackageLimits& limits);
// Whether a "/" separated relative path stays below its folder: every part is a safe
// file name (IsSafeFileName).
bool IsSafeRelativePath(const QString& path);
