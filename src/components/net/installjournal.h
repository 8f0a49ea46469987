#pragma once
// The journal of a program install. The updater changes the program folder by renames, one
// file at a time; before the first one it writes down every step and syncs that to disk. An
// install stopped half-way (killed, power lost) is then finished or undone by the next start of
// the updater or of the client, so the folder never holds a mix of old and new files.
//
// In the program folder, while an install runs:
//   .qzupdate-journal   the steps, written whole before the first rename, gone once installed
//   .qzupdate-new/      the new files, each staged under a number until it is renamed into place
//   .qzupdate-kept/     the files they replace; it becomes .previous/ once the install is whole,
//                       so .previous/ holds the last good state until then
//   .qzupdate-lock      locked by whoever installs or recovers
#include <QList>
#include <QString>
#include <QStringList>

inline constexpr char kInstallJournal[] = ".qzupdate-journal";
inline constexpr char kInstallStaging[] = ".qzupdate-new";
inline constexpr char kInstallKept[] = ".qzupdate-kept";
inline constexpr char kInstallPrevious[] = ".previous";

// One file of an install; paths relative to the program folder.
struct InstallStep {
    QString target;   // the file the package names
    QString staged;   // its new contents: .qzupdate-new/<number>
    QString kept;     // the former file: .qzupdate-kept/<target>; empty when there was none
};

struct InstallPlan {
    QList<InstallStep> steps;
    QStringList folders;      // made for the new files before the renames, outermost first
    bool committed = false;   // every rename is done and on disk
};

// The folder's install lock (an advisory lock on .qzupdate-lock), held while this lives.
class InstallLock {
public:
    explicit InstallLock(const QString& folder);
    ~InstallLock();
    InstallLock(const InstallLock&) = delete;
    InstallLock& operator=(const InstallLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Writes the plan as the folder's journal: whole (through a temporary name) and synced.
bool WriteInstallJournal(const QString& folder, const InstallPlan& plan);
// Puts back every file the plan's renames replaced, removes the new ones, the folders made for
// them, the staged and kept files and the journal; .previous/ is left alone. False when a file
// could not be put back: the journal then stays for the next try.
bool RollBackInstall(const QString& folder, const InstallPlan& plan);
// Ends a committed install: its kept files become .previous/ and the journal goes.
bool FinishInstall(const QString& folder);
// Syncs a folder's entries (the renames in it) to disk.
bool SyncFolder(const QString& folder);

// Run at every start of the updater and of the client. When the folder holds the journal of an
// install that was stopped, finishes it (when committed) or undoes it, under the install lock.
// Returns a sentence for the player saying what was done; empty when there was no journal (one
// stat then), or when an install is running right now.
QString RecoverInterruptedInstall(const QString& folder);
