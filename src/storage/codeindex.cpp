// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/codeindex.h"

namespace lunora {

CodeIndex::CodeIndex(const caseregister::Table &table)
    : m_table(table)
    , m_next(static_cast<std::size_t>(table.size()), -1)
{
    std::size_t count = 16;
    while (count < static_cast<std::size_t>(table.size()) * 2)
        count *= 2;
    m_slots.assign(count, Slot {});
    m_mask = count - 1;
    // From the last line to the first, so that each chain runs in file order.
    for (qsizetype row = table.size() - 1; row >= 0; --row) {
        const QByteArrayView code = table.keyFields(row).controlCode;
        const std::size_t h = hash(code);
        Slot &slot = find(code, h);
        if (slot.key < 0) {
            slot.key = static_cast<qint32>(row);
            slot.tag = tagOf(h);
        }
        m_next[static_cast<std::size_t>(row)] = slot.head;
        slot.head = static_cast<qint32>(row);
    }
}

} // namespace lunora
