#pragma once
// Puts the files of a verified package into the program folder, all or nothing.
#include "components/net/package.h"

#include <QList>
#include <QString>

// Writes every entry beside its target first, keeps each file it replaces in
// "<folder>/.previous/" (emptied first), then renames the new files into place. When any
// step fails, every file is put back as it was, the new ones are removed and false is
// returned with the reason. Nothing is written outside the folder.
bool InstallFiles(const QString& folder, const QList<PackageEntry>& entries, QString* reason);
