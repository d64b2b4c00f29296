// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QByteArray>
#include <QFile>
#include <QFileDevice>
#include <QString>
#include <functional>

// Whole-file primitives. Every rewrite is atomic: the new contents are written to a
// hidden temporary file beside the old one (".<name>.lunora-XXXXXX"), synced to disk
// and renamed over it, so a failed write leaves the old file as it was.
//
// A file made here gets its owner's read and write bits and, where its folder is
// shared by its group (the group may write the folder), the group's; never anyone
// else's: case files and customer cards are not for every account of the machine.
namespace lunora::fileio {
// Whether a file of the data folder may be opened at all. Refused: anything but a
// plain file (a FIFO would hang the program, a device or folder is no data file), and
// a symbolic link whose target lies outside the data folder or is missing (reading it
// would read, and writing it would create or change, a file elsewhere). Folders may be
// links: a Lib that points to a share is a normal way to share a data folder, so
// "inside" means inside the data folder or any of its folders as they resolve. A path
// that does not exist yet passes. Every function below checks this first.
Status checkPlace(const QString &path);

bool exists(const QString &path);
Result<QByteArray> readAll(const QString &path); // missing file: failure
// The same in steps, for a reader that reads a file in parts: the file opened after the
// checks above (missing: failure), and then from where it stands to its end, `expected`
// bytes read straight into the buffer returned, and on when the file grew meanwhile.
Status openForReading(const QString &path, QFile &file);
Result<QByteArray> readOn(QFile &file, const QString &path, qsizetype expected);
// Atomic replace. An existing file keeps its mode and group; a new one gets the mode
// above, narrowed to `newFileMode` when that is given.
Status saveAll(const QString &path, const QByteArray &contents, QFileDevice::Permissions newFileMode = {});
// The same for contents too large to build in memory first: `produce` hands the
// contents, piece after piece in order, to the sink it is given. After a failed write
// further pieces are ignored; the old file stays as it was.
using Sink = std::function<void(QByteArrayView piece)>;
Status saveInPieces(const QString &path, const std::function<void(const Sink &sink)> &produce,
    QFileDevice::Permissions newFileMode = {});
// Atomic replace as saveAll, but the file gets the mode of a new file even where it
// existed (its group is kept): for files whose contents are no one else's and that an
// older copy may have left readable by every account.
Status savePrivately(const QString &path, const QByteArray &contents);
// Makes a file that must not exist yet, with the whole contents at once and the mode of
// a new file: written beside it and linked into place, so that nobody ever sees it half
// written and a file made meanwhile by another copy is never replaced. False (nothing
// written) when a file of that name exists.
Result<bool> createNew(const QString &path, const QByteArray &contents);
// Appends one piece of text. When the file does not end with a line end, one CR LF is
// written first so that the new line never merges with the old last line.
Status appendLine(const QString &path, const QByteArray &line);
Status remove(const QString &path); // missing file: failure
// Creates the file empty when missing and makes it writable (the folder must exist).
// The mode of a file is changed only where the file lies in the data folder.
Status prepare(const QString &path);
} // namespace lunora::fileio
