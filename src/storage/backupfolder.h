// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QString>

// The folder a user last chose for backups, one line in Lib\User\<id>.backup. A file of
// its own, so the user file keeps exactly the keys it always had. The path is kept in
// UTF-8: a folder's name may hold any character the file system allows.
namespace lunora::backupfolder {
// The remembered folder, or the empty text when none is remembered (or the id cannot
// name a file).
QString read(const QString &userId);
Status write(const QString &userId, const QString &folder);
} // namespace lunora::backupfolder
