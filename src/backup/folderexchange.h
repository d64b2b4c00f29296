// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

// The renames a restore swaps folders with. Where the file system can, two folders trade
// names in one step, so that at every instant each name holds one of them, whenever the
// process is cut.
namespace lunora::backup {

enum class Exchange
{
    Done,
    Unsupported, // the file system cannot (some network file systems): use two renames
    Failed, // errno says why
};

// Gives `a` the folder of `b` and `b` that of `a`, in one step (renameat2 with
// RENAME_EXCHANGE: ext4, XFS, Btrfs and tmpfs offer it). Both must exist.
Exchange exchangeFolders(const QString &a, const QString &b);

// Renames `from` to `to` only where nothing is called `to`: never over a folder or file
// that is there (false with errno EEXIST).
bool renameNoReplace(const QString &from, const QString &to);

// Whether the folder (or file) is there, and which one it is: a folder keeps its
// identity through renames, so a restore recognises its folders wherever they are.
struct FolderId
{
    quint64 device = 0;
    quint64 inode = 0;
    bool exists() const { return inode != 0; }
    friend bool operator==(const FolderId &, const FolderId &) = default;
};
FolderId folderId(const QString &path); // not followed when a link

// Tests: act as a file system that cannot exchange.
void setExchangeForTesting(bool available);

} // namespace lunora::backup
