// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/scanburst.h"

#include <QElapsedTimer>
#include <QKeyEvent>

namespace lunora {

namespace {

ScanBurst::Clock &clock()
{
    static ScanBurst::Clock clock;
    return clock;
}

qint64 keyTime(const QKeyEvent *key)
{
    if (clock())
        return clock()(key);
    // The window system's stamp; a key made inside the program has none, and is timed
    // when it is handled.
    if (key->timestamp() != 0)
        return qint64(key->timestamp());
    static QElapsedTimer sinceStart;
    if (!sinceStart.isValid())
        sinceStart.start();
    return sinceStart.elapsed();
}

} // namespace

void ScanBurst::setClock(Clock clock)
{
    lunora::clock() = std::move(clock);
}

bool ScanBurst::follows(const QKeyEvent *key)
{
    const qint64 now = keyTime(key);
    // A stamp that goes back (a window system's counter wrapping) ends a burst too.
    const bool quick = m_last && now >= *m_last && now - *m_last <= MaxGapMs;
    m_last = now;
    return quick;
}

void ScanBurst::typed(const QKeyEvent *key)
{
    if (!follows(key))
        m_text.clear();
    m_text += key->text();
}

void ScanBurst::otherKey()
{
    m_text.clear();
    m_last.reset();
}

std::optional<QString> ScanBurst::enter(const QKeyEvent *key)
{
    const bool quick = follows(key);
    const QString text = std::exchange(m_text, QString());
    m_last.reset();
    if (!quick || text.size() < MinLength)
        return std::nullopt;
    return text;
}

} // namespace lunora
