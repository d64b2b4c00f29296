// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// What a copy killed half-way through a change leaves behind, cleared away after the
// sign-in window shows, in a thread of its own. A folder is read one entry at a time,
// and the folder lock is taken only around each removal, so that a Lib of 225,000
// files delays neither the start nor another desk.

#include "storage/status.h"

#include <QDateTime>
#include <QStringView>
#include <atomic>

namespace lunora::housekeeping {

// How old a temporary file must be before it counts as left behind. A save in progress
// holds its temporary file for milliseconds, and under the folder lock.
constexpr qint64 staleAfterSeconds = 10 * 60;

// Whether a file name is of the program's own temporary form, ".<name>.lunora-XXXXXX"
// (six letters or digits). Nothing else is ever taken for a temporary file: a person's
// copy ("arenden.txt.backup", "admin.ini.gammal") looks like the old form
// "<name>.<ext>.XXXXXX", which is therefore left alone.
bool isSaveTemporary(QStringView fileName);

// Removes the temporary files older than staleAfterSeconds at `now` from Lib, Lib/User
// and Errors; only plain files. Returns how many went. Stops between two entries once
// `stop` is set.
Result<int> removeStaleTemporaries(const QDateTime &now, const std::atomic_bool *stop = nullptr);

struct OrphanCount
{
    int deleted = 0; // files of removed cases deleted
    int listed = 0; // cases newly listed in Errors/Foraldralosa.txt
};

// First the removals that were cut short (storage/removalintents.h): a case noted there
// that the register no longer holds loses its files and gets its line in Borttagna.txt
// if it has none; a note whose case the register still holds is dropped. Then case files
// (<code>_eData.ini, _ArtData.txt, _Notes.txt, _Logg.txt) without a line in the
// register: those of a case that Borttagna.txt names as removed are deleted, its
// removal was cut short after the register lost the line. Any other case's are kept (a
// new case still open at a desk, a case closed unsaved, a line an older copy lost) and
// listed once. Both are written to Errors/Foraldralosa.txt: date, control code, files,
// what was done.
Result<OrphanCount> clearOrphans(const QDateTime &now, const std::atomic_bool *stop = nullptr);

} // namespace lunora::housekeeping
