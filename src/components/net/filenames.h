#pragma once
// File names on a case-sensitive file system for a program whose data names files
// without regard to letter case ("Welcome" and "welcome" are the same sound).
#include <QString>

// Resolves relativePath ("/" or "\\" separated) below folder, matching each component
// case-insensitively against the directory listing (an exact match wins). Returns the
// absolute path of the existing file or folder, or folder + the path as given (with
// "/" separators) when no match exists.
QString ResolveFileCaseInsensitive(const QString& folder, const QString& relativePath);

// The one rule for every file name that comes from outside (the server, the service
// directory, a catalogue): a plain name in one of our folders. Not empty, at most 128
// characters, no leading dot (so not "." or ".."), no "/", "\\", ":" (a drive) or NUL.
bool IsSafeFileName(const QString& name);
