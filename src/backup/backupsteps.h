// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/folderlock.h"

#include <QString>
#include <atomic>

// Small helpers the backup and the restore share.
namespace lunora::backup {

QString systemText(int error);
// Makes a folder's entries (a rename, a new file) reach the disk.
void syncFolder(const QString &folder);

// Waits for the folder lock without showing anything: backups and restores run in a
// thread of their own or in a tool without windows. Gives up when cancelled.
class QuietWaiter final : public FolderLock::Waiter
{
public:
    explicit QuietWaiter(const std::atomic_bool *cancel = nullptr)
        : m_cancel(cancel)
    {
    }
    bool wait(std::chrono::milliseconds) override;

private:
    const std::atomic_bool *m_cancel;
};

} // namespace lunora::backup
