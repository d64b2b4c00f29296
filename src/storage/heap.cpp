// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/heap.h"

#include "storage/workers.h"

#include <QThreadPool>
#include <atomic>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace lunora::heap {

void giveLargeBlocksBack()
{
#if defined(__GLIBC__)
    // A fixed threshold also stops the library from moving it. A megabyte keeps every
    // per-row allocation of a short list in the heap.
    (void)mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
#endif
}

void giveFreePagesBackSoon()
{
#if defined(__GLIBC__)
    static std::atomic<bool> waiting { false };
    if (waiting.exchange(true))
        return;
    // Off the window's thread: a trim walks every free stretch of every heap.
    workers()->start([] {
        // Before the trim, so that what is freed while it runs is trimmed by the next.
        waiting = false;
        (void)malloc_trim(0);
    });
#endif
}

} // namespace lunora::heap
