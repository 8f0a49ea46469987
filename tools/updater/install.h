#pragma once
// Puts the files of a verified package into the program folder, all or nothing.
#include "components/net/package.h"

#include <QList>
#include <QString>

// Stages every entry in .qzupdate-new/ and keeps a second name of each file it replaces in
// .qzupdate-kept/, writes the journal (components/net/installjournal.h), then renames the new
// files into place one by one. When every rename is done and on disk the install is committed:
// the kept files become .previous/ (the last update's leave only now) and the journal goes.
// When a step fails, every file is put back as it was, the new ones are removed and false is
// returned with the reason; an install stopped by a kill is put right at the next start. Nothing
// is written outside the folder.
//
// stopAfterRenames, for tests: stop after that many renames as a killed process would, leaving
// the journal and the files as they are (negative: never).
bool InstallFiles(const QString& folder, const QList<PackageEntry>& entries, QString* reason,
                  int stopAfterRenames = -1);
