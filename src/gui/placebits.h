// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lunora {

// One bit for each place of a long order, into which a place is inserted or from which
// one is erased a word at a time: at a million places that is 16 000 words moved,
// where std::vector<bool> moves a million bits one by one.
class PlaceBits
{
public:
    std::size_t size() const { return m_size; }
    // New places are clear.
    void resize(std::size_t size);
    bool operator[](std::size_t at) const { return (m_words[at / WordBits] >> (at % WordBits)) & 1u; }
    void set(std::size_t at, bool bit);
    // The places from `at` on move one up.
    void insert(std::size_t at, bool bit);
    // The places after `at` move one down.
    void erase(std::size_t at);

    bool operator==(const PlaceBits &other) const = default;

private:
    static constexpr std::size_t WordBits = 64;

    // Bits past the last place are kept clear, so that a place made by growing is.
    std::vector<std::uint64_t> m_words;
    std::size_t m_size = 0;
};

} // namespace lunora
