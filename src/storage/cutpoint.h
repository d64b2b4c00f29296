// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QByteArrayView>

// The places between two writes of a change that must survive being cut there (a kill,
// a power cut, a crash): a removal of cases, a restore. Each change names its places;
// the tests run the change in a child process that ends itself at one of them, as a kill
// would (no destructor, no flush), and then check what the next start makes of it. In
// the program nobody arms it and a place costs one atomic load.
namespace lunora::cutpoint {

// A place between two writes, named for the tests ("register rewritten").
void reached(QByteArrayView name);

// Tests: the process ends with SIGKILL at the `occurrence`-th time (1 is the first) the
// place `name` is reached from now on.
void armForTesting(QByteArrayView name, int occurrence = 1);

} // namespace lunora::cutpoint
