// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QDateTime>
#include <QString>
#include <atomic>
#include <functional>

// Backups of a data folder: one zip archive of Lib and Errors with every file's bytes
// unchanged, written by libarchive, verified before it is called done; and the restore
// of such an archive in place of Lib and Errors. Qt Core only: the windows and the
// command-line tool word the messages.
namespace lunora::backup {

enum class Error
{
    None,
    DataFolderMissing, // no Lib in the data folder
    TargetMissing, // the folder for the archive does not exist
    ReadFailed, // a file of the data folder could not be read
    LockFailed, // the folder lock could not be had
    WriteFailed, // the archive could not be written (full disk, no permission)
    VerifyFailed, // the archive did not read back as written
    Cancelled,
    NotAnArchive, // the file is no zip archive that can be read
    Corrupt, // an entry does not read back (size, checksum)
    NotABackup, // a zip archive, but not of a data folder (no Lib, foreign or unsafe paths)
    InUse, // another copy of the program has the data folder open
    SafetyBackupFailed, // the backup of the current state before a restore failed
    ReplaceFailed, // Lib and Errors could not be replaced; the previous state is kept
};

// Called from the working thread with the files done so far and the files in all.
using Progress = std::function<void(qint64 done, qint64 total)>;

struct [[nodiscard]] Outcome
{
    Error error = Error::None;
    QString detail; // what went wrong, for the message and the log
    QString archivePath; // a backup: the archive; a restore: the backup of the replaced state
    qint64 files = 0;
    bool ok() const { return error == Error::None; }
};

// What an archive holds, as a restore shows it before asking.
struct Summary
{
    qint64 files = 0;
    qint64 bytes = 0;
    qint64 caseCount = 0; // lines of Lib/arenden.txt
    QString newestDate; // the latest creation date (YYYY-MM-DD) among them, or empty
};

struct [[nodiscard]] Inspection
{
    Error error = Error::None;
    QString detail;
    Summary summary;
    bool ok() const { return error == Error::None; }
};

// "Lunora-<data folder name>-YYYY-MM-DD-HHMM.zip".
QString archiveFileName(const QString &dataFolder, const QDateTime &when);

// Files of the data folder that a backup leaves out: the folder lock's file and
// temporary files of interrupted writes. The path is relative, with '/'.
bool isLeftOut(const QString &relativePath);

// Writes the archive of dataFolder's Lib and Errors into targetFolder (mode 0600, never
// over an existing file), each file read under the folder lock, then reopens it and
// checks every entry's size and checksum. Nothing is left under the archive's name
// unless all of that succeeded.
Outcome create(const QString &dataFolder, const QString &targetFolder, const QDateTime &when,
    const Progress &progress = {}, const std::atomic_bool *cancel = nullptr);

// Reads the whole archive and checks it: a zip whose entries all read back with their
// sizes and checksums, holding Lib (and Errors) of a data folder and nothing else.
Inspection inspect(const QString &archivePath, const Progress &progress = {});

// Replaces Lib and Errors of dataFolder by the archive's. The archive is checked first
// (a bad one changes nothing), then the current state is backed up into safetyFolder,
// then the archive is unpacked beside Lib and swapped in. A failure at any step leaves
// the previous Lib and Errors in place. The caller makes sure that no other copy of the
// program is working on the folder (see Presence).
Outcome restore(const QString &dataFolder, const QString &archivePath, const QString &safetyFolder,
    const QDateTime &when, const Progress &progress = {});

// Tests: the archive writer fails (no space left) once this many bytes have been
// written; a negative limit turns this off.
void setWriteLimitForTesting(qint64 bytes);

} // namespace lunora::backup
