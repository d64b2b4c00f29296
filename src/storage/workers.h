// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

class QThreadPool;

namespace lunora {

// The thread pool for the program's own background jobs: reading, sorting and searching
// the register, trimming the heap. Not Qt's global pool: Qt paints large areas of a
// window in slices on that one and waits for them, so a job of seconds there held every
// repaint of the window until it ended. Owned by the application object, which waits for
// its jobs when it goes. For the window's thread only.
QThreadPool *workers();

} // namespace lunora
