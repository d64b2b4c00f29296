// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace lunora {

// "Säkerhetskopiera…" and "Återställ…" of the overview's Data menu. Both choose a file or
// folder, then work on a thread of their own behind a progress box, so that the windows
// stay responsive with hundreds of thousands of case files; the messages come when the
// work is done.
namespace backupjobs {
// Asks for the folder (the user's remembered one first), writes the archive there and
// says where it is once it has been read back.
void startBackup(QWidget *parent, const QString &userId);
// Asks for an archive, checks it and shows what it holds, asks, then backs up the
// present state and restores the archive. `restored` runs after a successful restore.
void startRestore(QWidget *parent, const QString &userId, std::function<void()> restored);

// The folder the dialogs start in for this user.
QString startFolder(const QString &userId);
} // namespace backupjobs

} // namespace lunora
