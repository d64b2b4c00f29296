// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "backup/restorerecord.h"

#include <QString>

// A restore cut short, finished or undone. Every program of ours calls
// recoverCutRestore() at start, before it reads anything of the data folder, and a
// restore does the same before it begins: a restore cut before every folder was in place
// is undone (the previous Lib and Errors back where they were), one cut after is
// finished; either way its staging folders go and its safety copy stays.
namespace lunora::backup {

struct Recovery
{
    enum class Kind
    {
        Nothing, // no restore was cut short
        Finished, // the restored folders are in place
        Undone, // the previous folders are back
        Busy, // a restore is running in another process now: nothing to recover
        Unsettled, // the folders are not as the record says: nothing was renamed or removed
    };
    Kind kind = Kind::Nothing;
    QString detail; // Unsettled: what was found
    QString archive; // the archive the restore was of
    QString safetyCopy;
    QString staging; // Unsettled: where the folders of the restore still lie

    // The one line that tells the user what happened; empty for Nothing and Busy.
    QString message() const;
};

// Settles what the record says, under the restore lock the caller holds: undoes a
// restore before the stage Swapped, finishes one at it. Removes the record when done;
// keeps it (and every folder it names) when the folders are not what it says.
Recovery settleRestore(const RestoreRecord &record, const QString &dataFolder);

// The start of a program: settles a restore cut short in the data folder, if any, and
// writes what it did to Errors/Aterstallning.txt. Takes the restore lock only when
// there is something to settle.
Recovery recoverCutRestore(const QString &dataFolder);
// The same under the restore lock the caller holds (a restore about to begin).
Recovery recoverUnderLock(const QString &dataFolder);

} // namespace lunora::backup
