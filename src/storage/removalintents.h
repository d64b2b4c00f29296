// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The removals of cases under way. Before a removal rewrites the register it notes each
// case it is about to remove in Lib\Borttagning-pagar.txt, and it takes the notes out
// again once the case's files are gone. A removal cut short in between (a kill, a power
// cut) leaves its notes behind, and the start-up's clean-up finishes what it promised:
// the files of a noted case the register no longer holds are deleted, and a note whose
// case the register still holds (the removal failed) is dropped.
//
// A note is the line the removal writes to Borttagna.txt (time, user, case number,
// customer name, control code, TAB between them, CR LF), so that the clean-up can write
// it there for a removal that was cut before it did. Windows-1252 text; lines the
// program does not understand are kept. Older copies never open the file. Every write
// runs under the folder lock the caller holds.

#include "storage/status.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lunora::removalintents {

struct Intent
{
    QString controlCode;
    QByteArray line; // as it stands in the file, with its CR LF
};

// Adds the lines (each a Borttagna.txt line, CR LF included). The file is rewritten
// atomically and synced before this returns: the register's rewrite must never reach
// the disk before the note of what it is for.
Status record(const QList<QByteArray> &lines);

// The notes of the file, in file order; none when there is no file.
Result<QList<Intent>> load();

// Takes out every note of these control codes; the file goes with its last line.
Status drop(const QStringList &controlCodes);

} // namespace lunora::removalintents
