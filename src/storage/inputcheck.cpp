// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/inputcheck.h"

#include "storage/cp1252.h"
#include "storage/datafolder.h"

namespace lunora::inputcheck {

namespace {
bool hasLineBreak(QStringView value)
{
    return value.contains(u'\r') || value.contains(u'\n');
}
} // namespace

Problem recordValue(QStringView value)
{
    if (hasLineBreak(value))
        return Problem::LineBreak;
    if (value.contains(u'"'))
        return Problem::DoubleQuote;
    if (!cp1252::canEncode(value))
        return Problem::NotWindows1252;
    return Problem::None;
}

Problem iniValue(QStringView value)
{
    if (hasLineBreak(value))
        return Problem::LineBreak;
    if (value.contains(u'['))
        return Problem::Bracket;
    if (!cp1252::canEncode(value))
        return Problem::NotWindows1252;
    return Problem::None;
}

Problem fileName(QStringView name)
{
    return isSafeFileName(name) ? Problem::None : Problem::UnsafeFileName;
}

} // namespace lunora::inputcheck
