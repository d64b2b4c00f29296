// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/records.h"

#include "storage/cp1252.h"

namespace lunora {

bool isStorableValue(QStringView value)
{
    for (QChar c : value) {
        if (c == u'"' || c == u'\r' || c == u'\n')
            return false;
    }
    return cp1252::canEncode(value);
}

} // namespace lunora
