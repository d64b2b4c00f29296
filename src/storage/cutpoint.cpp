// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/cutpoint.h"

#include <QByteArray>
#include <atomic>
#include <csignal>
#include <mutex>

namespace lunora::cutpoint {

namespace {

std::atomic_bool s_armed { false };

struct Armed
{
    std::mutex mutex;
    QByteArray name;
    int left = 0;
};

Armed &armed()
{
    static Armed state;
    return state;
}

} // namespace

void reached(QByteArrayView name)
{
    if (!s_armed.load(std::memory_order_relaxed))
        return;
    Armed &state = armed();
    const std::lock_guard<std::mutex> guard(state.mutex);
    if (state.name != name || --state.left > 0)
        return;
    // As a kill: nothing of this process runs any more, whatever it held is let go by
    // the system.
    ::raise(SIGKILL);
}

void armForTesting(QByteArrayView name, int occurrence)
{
    Armed &state = armed();
    const std::lock_guard<std::mutex> guard(state.mutex);
    state.name = name.toByteArray();
    state.left = occurrence;
    s_armed = occurrence > 0;
}

} // namespace lunora::cutpoint
