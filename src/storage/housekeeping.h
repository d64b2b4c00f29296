// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QDateTime>

namespace lunora::housekeeping {

// How old a temporary file must be before it counts as left behind. A save in progress
// holds its temporary file for milliseconds, and under the folder lock.
constexpr qint64 staleAfterSeconds = 10 * 60;

// Removes the temporary files that the program's atomic saves leave behind when a copy
// is killed half-way ("arenden.txt.AbC123", "<id>.ini.x9Yz0Q": the file's name, a dot
// and six letters or digits) from Lib, Lib/User and Errors, when they are older than
// staleAfterSeconds at `now`. Only plain files of that pattern are touched. Runs under
// the folder lock; returns how many files went.
Result<int> removeStaleTemporaries(const QDateTime &now);

} // namespace lunora::housekeeping
