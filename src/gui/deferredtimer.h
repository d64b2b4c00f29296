// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QObject>
#include <QTimer>

namespace lunora {

// A timer that does nothing until it is given an interval, then fires once and stops
// itself. Windows use it to hand work to each other: the work runs after the handler
// that started it has returned. Interval 0 stops it again before it fires.
class DeferredTimer final : public QObject
{
    Q_OBJECT

public:
    explicit DeferredTimer(const QString &name, QObject *parent);

    void setInterval(int milliseconds);
    int interval() const;
    bool isActive() const;

signals:
    void fired();

private:
    void onTimeout();

    QTimer m_timer;
};

} // namespace lunora
