// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

namespace lunora {

// For the command-line tools: run as root (a cron job of root, an administrator
// trying a tool by hand) on a data folder that belongs to another user, a tool first
// becomes that user, with the folder's group. Otherwise the lock and presence files,
// a user file or an archive it makes would belong to root, and no desk could change
// the folder any more. Says so on standard error, under the tool's name. Returns false
// (after saying why) when the switch fails: the tool must then stop before it touches
// the folder. Run by anyone else, or on a folder of root's, it changes nothing.
bool runAsFolderOwner(const QString &dataFolder, const char *toolName);

} // namespace lunora
