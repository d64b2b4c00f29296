// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/heap.h"

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

} // namespace lunora::heap
