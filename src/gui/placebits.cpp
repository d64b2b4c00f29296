// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/placebits.h"

namespace lunora {

void PlaceBits::resize(std::size_t size)
{
    m_words.resize((size + WordBits - 1) / WordBits);
    m_size = size;
    if (size % WordBits != 0)
        m_words.back() &= (std::uint64_t(1) << (size % WordBits)) - 1;
}

void PlaceBits::set(std::size_t at, bool bit)
{
    const std::uint64_t mask = std::uint64_t(1) << (at % WordBits);
    std::uint64_t &word = m_words[at / WordBits];
    word = bit ? word | mask : word & ~mask;
}

void PlaceBits::insert(std::size_t at, bool bit)
{
    if (m_size % WordBits == 0)
        m_words.push_back(0);
    ++m_size;
    const std::size_t first = at / WordBits;
    // Each word from the last down takes the top bit of the one below it.
    for (std::size_t w = m_words.size() - 1; w > first; --w)
        m_words[w] = (m_words[w] << 1) | (m_words[w - 1] >> (WordBits - 1));
    const std::uint64_t below = (std::uint64_t(1) << (at % WordBits)) - 1;
    std::uint64_t &word = m_words[first];
    word = (word & below) | ((word & ~below) << 1);
    set(at, bit);
}

void PlaceBits::erase(std::size_t at)
{
    const std::size_t first = at / WordBits;
    const std::uint64_t below = (std::uint64_t(1) << (at % WordBits)) - 1;
    std::uint64_t &word = m_words[first];
    // The bits above `at` move down over it.
    word = (word & below) | ((word >> 1) & ~below);
    for (std::size_t w = first; w + 1 < m_words.size(); ++w) {
        m_words[w] |= (m_words[w + 1] & 1u) << (WordBits - 1);
        m_words[w + 1] >>= 1;
    }
    --m_size;
    if (m_size % WordBits == 0)
        m_words.pop_back();
}

} // namespace lunora
