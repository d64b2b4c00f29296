// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// Reads ahead of a pass that goes through the register out of file order (a rewrite in
// the list's order, the list's keys in sorted order). Such a pass first reads the next
// few hundred entries it needs in a tight loop, where the reads from all over memory
// overlap, and then finds them in the cache, instead of waiting for each one in turn
// (prefetch hints did much less here). The values returned mean nothing; summed and
// handed to keep(), they keep the reads from being left out.

#include "storage/caseregister.h"
#include "storage/records.h"

#include <QByteArrayView>

namespace lunora::readahead {

constexpr qsizetype Batch = 256; // entries read ahead at a time

// Keeps the sum of such reads from being left out as unused.
inline void keep(quint32 value)
{
    volatile quint32 kept = value;
    (void)kept;
}

// The entry's key fields: where they lie and the first byte of the control code.
inline quint32 place(const caseregister::Table &table, qsizetype row)
{
    return static_cast<uchar>(*table.keyFields(row).controlCode.data());
}

// The entry's line: a register line is two or three cache lines long; longer ones are
// rare. Its kept key places say where it lies (from the case number, its first field,
// to the control code), so its end need not be looked for.
inline quint32 line(const caseregister::Table &table, qsizetype row)
{
    const caseregister::Table::KeyFields fields = table.keyFields(row);
    const char *start = fields.caseNumber.data();
    const char *end = fields.controlCode.data() + fields.controlCode.size();
    quint32 value = 0;
    for (const char *at = start; at < end && at < start + 256; at += 64)
        value += static_cast<uchar>(*at);
    return value;
}

} // namespace lunora::readahead
