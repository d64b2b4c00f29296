// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The rewrite of the case register behind the case store's replacement and removals:
// the file as it is on disk is read, the lines of some cases are taken out, the others
// are put in the overview's order (lines the list does not name follow in file order),
// a new line may go last, and the whole is saved atomically. Runs under the folder lock
// the store holds; nothing here takes it.

#include "storage/records.h"
#include "storage/storetypes.h"

#include <QByteArray>
#include <QList>
#include <functional>

namespace lunora {

struct RegisterPlan
{
    QList<CaseKey> drop; // every line of these cases leaves the register
    const ListOrder *listOrder = nullptr;
    QByteArray lastLine; // appended after the others when not empty
    // When set, a line dropped for drop[i] is checked with this before anything is
    // written (the replacement's double quotes against the old line).
    std::function<StoreResult(const RegisterEntry &old)> checkDropped;
    // When set, made when the file was exactly listOrder's held table (see
    // WrittenRegister) and the rewrite succeeded.
    WrittenRegister *written = nullptr;
};

struct RegisterOutcome
{
    StoreResult result;
    QList<bool> found; // per drop key: whether the register held a line of it
    QList<RegisterEntry> dropped; // per drop key: its last line taken out (empty when none)
};

// NotFound (nothing written) when the register holds no line of any case to drop;
// MissingFolder, Unreadable or Unwritable (nothing changed) when the file cannot be
// read or written; otherwise the failure checkDropped returns, before anything is
// written.
RegisterOutcome rewriteRegister(const RegisterPlan &plan);

} // namespace lunora
