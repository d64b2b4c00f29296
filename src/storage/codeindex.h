// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/caseregister.h"
#include "storage/records.h"

#include <QByteArrayView>
#include <QRandomGenerator>
#include <cstddef>
#include <cstring>
#include <vector>

namespace lunora {

// Where the lines of every control code are in the register: the first of each found
// through an open-addressed hash table, the others chained to it in file order. QHash,
// with its nodes and general hashing, cost more than the rest of a rewrite together.
class CodeIndex final
{
public:
    explicit CodeIndex(const caseregister::Table &table);

    // The first line on the code's chain (-1 once the chain is used up), or nullptr
    // for a code the register does not hold. The caller may move the head on: the
    // lines before it are then skipped.
    qint32 *head(QByteArrayView code) { return head(code, hash(code)); }
    qint32 *head(QByteArrayView code, std::size_t h)
    {
        Slot &slot = find(code, h);
        return slot.key < 0 ? nullptr : &slot.head;
    }

    // The look-ups are inline: a rewrite asks for every case of the list.
    //
    // Eight bytes at a time, mixed by multiplication. The seed, fixed per process, keeps
    // a register made to collide from making every look-up a long walk.
    static std::size_t hash(QByteArrayView bytes)
    {
        static const quint64 seed = QRandomGenerator::system()->generate64();
        quint64 h = seed ^ (static_cast<quint64>(bytes.size()) * 0x9E3779B97F4A7C15ull);
        const char *p = bytes.data();
        qsizetype n = bytes.size();
        for (; n >= 8; p += 8, n -= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
            h ^= h >> 31;
        }
        quint64 word = 0;
        if (n > 0)
            std::memcpy(&word, p, static_cast<std::size_t>(n));
        h = (h ^ word) * 0x94D049BB133111EBull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }

    // A look-up reads from all over memory: the slot, then the line's place in the
    // table, its control code and its chain. A caller that goes through many codes
    // reads these for the next few hundred in tight loops first (see storage/readahead.h).
    // The control code is taken from the table's kept key places: splitting the line
    // for it made a sorted list's first rewrite split every line twice more.
    quint32 touchSlot(std::size_t h) const { return static_cast<quint32>(m_slots[h & m_mask].key); }
    quint32 touchLine(std::size_t h) const
    {
        const Slot &slot = m_slots[h & m_mask];
        if (slot.key < 0 || slot.tag != tagOf(h))
            return 0;
        const QByteArrayView code = m_table.keyFields(slot.key).controlCode;
        return static_cast<quint32>(m_next[static_cast<std::size_t>(slot.key)])
            + (code.isEmpty() ? 0u : static_cast<uchar>(code.front()));
    }

    qsizetype next(qsizetype row) const { return m_next[static_cast<std::size_t>(row)]; }

private:
    struct Slot
    {
        qint32 key = -1; // a line of the code, whose control code is the slot's key; -1: empty
        qint32 head = -1;
        quint32 tag = 0; // the upper half of the code's hash
    };

    static quint32 tagOf(std::size_t h) { return static_cast<quint32>(static_cast<quint64>(h) >> 32); }

    // The slot of the code: its own, or the empty one where it would go. The slot's tag
    // spares reading the register's bytes for every other code on the way: those reads
    // go all over the register and cost more than the rest of the look-up.
    Slot &find(QByteArrayView code, std::size_t h)
    {
        const quint32 tag = tagOf(h);
        for (std::size_t i = h & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (slot.key < 0 || (slot.tag == tag && m_table.keyFields(slot.key).controlCode == code))
                return slot;
        }
    }

    const caseregister::Table &m_table;
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::vector<qint32> m_next;
};

} // namespace lunora
