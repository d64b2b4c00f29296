// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

namespace lunora {

// Tells whether other copies of the program (or lunora-backup) are working on a data
// folder. Every running copy holds a shared lock on the file "lunora.presence" at the
// top of the data folder for as long as it runs; an operation that must be alone (a
// restore, which replaces Lib and Errors) turns that lock into an exclusive one, which
// succeeds only while no other copy holds its shared lock.
//
// The file lies beside Lib, not in it, so that it stays the same file while a restore
// replaces Lib. The locks are open-file-description locks: they belong to this handle
// alone, so no other lock of this process (the folder lock) can drop them, and they go
// when the process ends, however it ends.
class Presence final
{
public:
    Presence() = default;
    ~Presence();
    Presence(const Presence &) = delete;
    Presence &operator=(const Presence &) = delete;

    // Takes the shared lock of a data folder; false (with errorText()) when the file
    // cannot be made or locked. A copy that cannot announce itself still runs: it only
    // cannot be protected from a restore that the others cannot see it against.
    bool enter(const QString &dataFolder);
    void leave();
    bool entered() const { return m_fd >= 0; }

    // Turns the shared lock into the only lock on the folder, without waiting: false
    // while any other copy is present. back to shared with endAlone().
    bool beginAlone();
    void endAlone();

    const QString &errorText() const { return m_errorText; }
    static QString presenceFilePath(const QString &dataFolder);

    // The presence of this running program, entered at start-up.
    static Presence &application();

private:
    bool setLock(short type);

    int m_fd = -1;
    QString m_errorText;
};

} // namespace lunora
