// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

namespace lunora {

// Tells whether other copies of the program (or lunora-backup) are working on a data
// folder. Every running copy holds a shared lock on two files for as long as it runs:
// "lunora.presence" at the top of its data folder, and "Lib/lunora.presence". The one in
// Lib is seen by every machine that shares Lib over the network, each with a data folder
// of its own. An operation that must be alone (a restore, which replaces Lib and Errors)
// turns both locks into exclusive ones, which succeeds only while no other copy holds
// its shared lock.
//
// A restore replaces Lib, and with it the presence file in it: it locks the new Lib's
// file alone before the swap (holdNewLib) and lets go of the old one after (swapDone).
// The locks are open-file-description locks: they belong to this handle alone, so no
// other lock of this process (the folder lock) can drop them, and they go when the
// process ends, however it ends.
class Presence final
{
public:
    Presence() = default;
    ~Presence();
    Presence(const Presence &) = delete;
    Presence &operator=(const Presence &) = delete;

    // Takes the shared locks of a data folder; false (with errorText()) when the file at
    // its top cannot be made or locked. One in Lib that cannot be made (a read-only Lib)
    // is done without. A copy that cannot announce itself still runs: it only cannot be
    // protected from a restore that the others cannot see it against.
    bool enter(const QString &dataFolder);
    void leave();
    bool entered() const { return m_fd >= 0; }

    // Turns the shared lock into the only lock on the folder, without waiting: false
    // while any other copy is present. back to shared with endAlone().
    bool beginAlone();
    void endAlone();

    // While alone: locks the presence file of a Lib that is about to take the present
    // one's place (creating it there), alone too.
    bool holdNewLib(const QString &libFolder);
    // After the swap: keeps the new Lib's lock and drops the old one's, or the other way
    // round when the swap did not happen.
    void swapDone(bool swapped);

    const QString &errorText() const { return m_errorText; }
    static QString presenceFilePath(const QString &dataFolder);
    static QString libPresenceFilePath(const QString &libFolder);

    // The presence of this running program, entered at start-up.
    static Presence &application();

private:
    bool setLock(int fd, short type);
    int openFile(const QString &path);

    int m_fd = -1;
    int m_libFd = -1;
    int m_newLibFd = -1;
    QString m_errorText;
};

} // namespace lunora
