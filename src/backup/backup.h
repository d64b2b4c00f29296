// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>

// Backups of a data folder: one zip archive of Lib and Errors with every file's bytes
// unchanged, written by libarchive, verified before it is called done; and the restore
// of such an archive in place of Lib and Errors. Qt Core only: the windows and the
// command-line tool word the messages.
namespace lunora {
class Presence;
}

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
    TooLarge, // an entry unpacks to far more than it packs (a zip bomb)
    NoSpace, // the unpacked archive would not leave a tenth of the disk free
    CannotSwap, // Lib or Errors cannot be replaced by a rename (see detail); nothing changed
    NameTooLong, // an entry's name or path is longer than the data folder's file system takes
};

// Called from the working thread with the files done so far and the files in all.
using Progress = std::function<void(qint64 done, qint64 total)>;

struct [[nodiscard]] Outcome
{
    Error error = Error::None;
    QString detail; // what went wrong, for the message and the log
    QString archivePath; // a backup: the archive; a restore: the backup of the replaced state
    // A restore from an archive that lay inside Lib or Errors: the copy of it that was
    // taken out of the folders before they were replaced.
    QString archiveCopyPath;
    qint64 files = 0;
    bool ok() const { return error == Error::None; }
};

// What an archive holds, as a restore shows it before asking.
struct Summary
{
    qint64 files = 0;
    qint64 bytes = 0; // unpacked
    qint64 caseCount = 0; // lines of Lib/arenden.txt
    QString newestDate; // the latest creation date (YYYY-MM-DD) among them, or empty
    qint64 longestName = 0; // bytes of the longest name between two '/' of an entry
    qint64 longestPath = 0; // bytes of the longest entry path ("Lib/User/anna.ini")
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

// Files of the data folder that a backup leaves out: the lock and presence files and
// temporary files of interrupted writes. The path is relative, with '/'.
bool isLeftOut(const QString &relativePath);

// Writes the archive of dataFolder's Lib and Errors into targetFolder (mode 0600, never
// over an existing file), the files read under the folder lock in batches of at most
// some 40 ms, the lock left free for a while between two batches. Lib and Errors are
// followed when they are links; links below them never. A file that cannot be read
// fails the backup. The finished archive is read back from disk and compared with the
// list of what it was to hold (names, sizes, checksums); nothing is left under the
// archive's name unless all of that succeeded.
Outcome create(const QString &dataFolder, const QString &targetFolder, const QDateTime &when,
    const Progress &progress = {}, const std::atomic_bool *cancel = nullptr);

// Reads the whole archive and checks it: a zip whose entries all read back with their
// sizes and checksums, holding Lib (and Errors) of a data folder and nothing else, no
// entry unpacking to far more than it packs. Counts the cases while it reads.
Inspection inspect(const QString &archivePath, const Progress &progress = {});

// Runs after Lib and Errors have been swapped in, before the replaced folders go: a
// failure swaps the previous folders back and fails the restore with its text.
using AfterRestore = std::function<Status(const QString &dataFolder)>;

struct RestoreRequest
{
    QString dataFolder;
    QString archivePath;
    // Where the backup of the replaced state may go, in order of preference: the first
    // folder that exists, can be written and lies outside Lib and Errors is used.
    QStringList safetyFolders;
    QDateTime when;
    // The caller's presence: the restore holds it alone for its whole length (refusing
    // while another copy is present) and moves its lock in Lib to the new Lib.
    Presence *presence = nullptr;
    AfterRestore afterRestore;
};

// The folders a restore offers for its safety backup when none is asked for: the
// preferred one (if any), the archive's folder, the data folder's parent folder.
QStringList safetyFolderChoices(
    const QString &dataFolder, const QString &archivePath, const QString &preferred);

// Replaces Lib and Errors of the data folder by the archive's, where they lie (a Lib
// that is a link stays a link: the folder it leads to is replaced). Every check is made
// before anything changes: the archive in full, the places of the folders, the free
// space, the safety folder. Then the current state is backed up, the archive unpacked
// beside the folders and swapped in by renames under the folder lock. A failure at any
// step leaves the previous Lib and Errors in place.
Outcome restore(const RestoreRequest &request, const Progress &progress = {});
// The same with one safety folder and no presence (the caller keeps the others away).
Outcome restore(const QString &dataFolder, const QString &archivePath, const QString &safetyFolder,
    const QDateTime &when, const Progress &progress = {});

// Tests: the archive writer fails (no space left) once this many bytes have been
// written; a negative limit turns this off.
void setWriteLimitForTesting(qint64 bytes);
// Tests: how long one batch of files is read under the folder lock; zero ends a batch
// after every file, a negative value restores the normal length.
void setBatchWorkForTesting(std::chrono::milliseconds work);

} // namespace lunora::backup
