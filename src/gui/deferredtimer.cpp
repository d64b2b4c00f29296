// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/deferredtimer.h"

namespace lunora {

DeferredTimer::DeferredTimer(const QString &name, QObject *parent)
    : QObject(parent)
{
    setObjectName(name);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DeferredTimer::onTimeout);
}

void DeferredTimer::setInterval(int milliseconds)
{
    if (milliseconds <= 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(milliseconds);
}

int DeferredTimer::interval() const
{
    return m_timer.isActive() ? m_timer.interval() : 0;
}

bool DeferredTimer::isActive() const
{
    return m_timer.isActive();
}

void DeferredTimer::onTimeout()
{
    // Stopped before the work runs, so that the work may start it again.
    m_timer.stop();
    emit fired();
}

} // namespace lunora
