// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// Another desk holding a data folder's lock, for tests of what this copy does while it
// waits.

#include <QString>
#include <sys/types.h>

namespace lunora::test {

// A child process that takes the folder's record lock with nothing but system calls (a
// window test's process has threads, so the child must not allocate) and holds it for
// holdMs, or until it is destroyed when holdMs is negative. locked() says whether the
// child got the lock.
class OtherDesk final
{
public:
    explicit OtherDesk(const QString &dataFolder, int holdMs = -1);
    ~OtherDesk();
    OtherDesk(const OtherDesk &) = delete;
    OtherDesk &operator=(const OtherDesk &) = delete;

    bool locked() const { return m_locked; }

private:
    pid_t m_pid = -1;
    bool m_locked = false;
};

} // namespace lunora::test
