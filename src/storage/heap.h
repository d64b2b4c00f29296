// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

namespace lunora::heap {

// Large blocks (the register's bytes and line starts, a rewrite's copy, sort orders) are
// taken from the system and given back to it on their own, whichever thread frees them.
// Without this the C library raises its threshold for such blocks after the first one
// is freed, and a register-sized table let go stays in the heap as a hole that the next
// one of a slightly different size does not fit: the list's swap to a new table after
// each of its writes would then grow the process by a table each time. Called once at
// the start, before any thread runs.
void giveLargeBlocksBack();

// Gives the pages of freed memory in the C library's heaps back to the system, soon and
// on the thread pool. A large block still comes out of a heap when a freed stretch there
// is big enough for it, and the rows' many small strings leave such stretches; freed,
// their pages stay the process's until trimmed, so every swap of the list's table would
// raise the resident size by what the last one left behind. Called after such a swap;
// calls that come while one is waiting to run are one.
void giveFreePagesBackSoon();

} // namespace lunora::heap
