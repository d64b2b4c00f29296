// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>
#include <utility>

namespace lunora {

// Outcome of a storage operation. Storage never shows anything to the user; the
// error text is for the caller, which decides what message the user sees.
class Status
{
public:
    Status() = default;
    static Status failure(QString message)
    {
        Status s;
        s.m_ok = false;
        s.m_error = std::move(message);
        return s;
    }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const QString &error() const { return m_error; }

private:
    bool m_ok = true;
    QString m_error;
};

// A value or the reason why there is none.
template <typename T> class Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(Status failure)
        : m_status(std::move(failure))
    {
    }

    bool ok() const { return m_status.ok(); }
    explicit operator bool() const { return m_status.ok(); }
    const QString &error() const { return m_status.error(); }
    const Status &status() const { return m_status; }
    const T &value() const { return m_value; }
    T &value() { return m_value; }
    T takeValue() { return std::move(m_value); }

private:
    T m_value {};
    Status m_status;
};

} // namespace lunora
