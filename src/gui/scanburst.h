// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QKeyEvent;

namespace lunora {

// Tells a barcode scanner from a person at the keyboard. A scanner types a label's
// number and Enter a key every few milliseconds; nobody types a case number so fast by
// hand, nor Enter right after it. The overview feeds every key typed into it, and at
// an Enter learns whether the keys just before came as a scan and which text they typed,
// so that a scan replaces what the search field held instead of being appended to it.
//
// Keys are judged by the time the window system stamped on them, not by when they are
// handled: keys typed by hand while the window was busy arrive all at once, and must
// not be taken for a scan.
class ScanBurst
{
public:
    // The longest pause between two keys of a scan, Enter included, and the fewest
    // characters a scan types (a case number has at least eight).
    static constexpr qint64 MaxGapMs = 40;
    static constexpr int MinLength = 6;

    // A printable character typed, or any other key (which ends a burst).
    void typed(const QKeyEvent *key);
    void otherKey();
    // Enter: the text of the scan that ends here, or nothing when the keys came by hand.
    // Either way the next key starts afresh.
    std::optional<QString> enter(const QKeyEvent *key);

    // The clock keys are judged by, in milliseconds. Tests set their own (key events they
    // make carry no time); an empty function gives back the window system's stamps.
    using Clock = std::function<qint64(const QKeyEvent *)>;
    static void setClock(Clock clock);

private:
    // Whether the key follows the last one at scanner speed; notes it as the last.
    bool follows(const QKeyEvent *key);

    QString m_text; // typed since the last pause
    std::optional<qint64> m_last; // when the last key came
};

} // namespace lunora
