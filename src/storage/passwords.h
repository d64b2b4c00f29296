// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/folderlock.h"
#include "storage/ini.h"
#include "storage/status.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Protected passwords. Where several desk accounts share a data folder through their
// group, every desk can read every user file; with the passwords in them as typed,
// anyone could sign in as the administrator. Once an administrator turns protection on,
// a user file keeps only a salted Argon2id hash of its password (key "PassHash" of
// section Main), and "PassWD" becomes a long random value that nobody knows, so that an
// older copy of the program, which compares "PassWD", refuses those users instead of
// letting anyone in. The file Lib/User/Losenordsskydd.txt marks the folder as protected:
// there a user file without a hash signs no one in.
//
// It is a choice, not a default, because older copies can sign none of those users in:
// a shop turns it on when every desk runs this version. Until then nothing here changes
// a byte of a user file.
namespace lunora::passwords {

enum class Verdict
{
    Match,
    Mismatch,
    NoHash, // a protected folder, but the user file holds no hash: it signs no one in
};

// Whether the passwords of the current data folder are protected.
bool isProtected();

// Whether `typed` is the password of the user file of `userId`, whose "PassWD" reads
// `storedPassword`. A hash, where the file holds one, is all that counts; without one,
// nothing counts in a protected folder, and elsewhere "PassWD" as it stands.
Result<Verdict> verify(const QString &userId, const QString &storedPassword, const QString &typed);

// Notes a sign-in refused for want of a hash in Errors/Inloggningsfel.txt ("Error.txt"
// keeps its one fixed kind of entry).
Status logRefusedSignIn(const QString &userId, const QDateTime &when);

// The user ids whose files hold no hash, sorted.
QStringList unprotectedUsers();

struct [[nodiscard]] Outcome
{
    enum class Error
    {
        None,
        Locked, // the folder lock was not had (lockError says why)
        FileFailed, // the file of `userId` could not be read or written
        MarkFailed, // every file is protected, but the mark could not be written
    };
    Error error = Error::None;
    FolderLock::Error lockError = FolderLock::Error::None;
    QString userId;
    QString detail; // what went wrong, for the message
    int protectedNow = 0; // user files that got their hash now
    bool ok() const { return error == Error::None; }
};

// Gives every user file of the current data folder that has no hash one, made from its
// "PassWD", then marks the folder protected. Each file is rewritten under the folder
// lock from the file on disk, its other keys and lines kept. The mark follows only when
// every file succeeded: a file that could not be protected keeps working (and readable)
// until the cause is mended and protection is asked for again.
Outcome protectFolder();

// The writes of a user file as they must be stored: unchanged in an unprotected folder,
// but where the folder is protected or the file at `path` holds a hash already, "PassWD"
// becomes a new random value and "PassHash" the hash of what "PassWD" was to be. Called
// under the folder lock, so that it sees the mark as the write will.
Result<QList<IniWrite>> storedForm(const QString &path, const QList<IniWrite> &writes);

// A restore: when `dataFolder` is protected, every user file of `restoredLib` (a Lib
// folder not in use yet, about to replace that of `dataFolder`) without a hash gets one
// and the folder is marked, whether the archive brought the mark or not; so that no
// archive brings a readable password back into a protected folder.
Status keepProtection(const QString &dataFolder, const QString &restoredLib);

// Tests: a cheaper hash. A hash carries its own cost, so any hash verifies.
void setHashCostForTesting(quint32 memoryKiB, quint32 passes);

} // namespace lunora::passwords
