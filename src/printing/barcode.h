// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace lunora {

// A Code 128 symbol as libzint encodes it, measured in modules (the width of the
// narrowest bar), its quiet zones included: the printout only scales the bars to the
// module width it chooses, so the encoding, the check character and the quiet zones
// are zint's.
struct Barcode
{
    struct Bar
    {
        double left = 0.0; // from the outer edge of the left quiet zone
        double width = 0.0;
    };
    double modules = 0.0; // the whole symbol, both quiet zones included
    QList<Bar> bars;
};

// Nothing when zint cannot encode the text (a character outside Latin-1, too long).
std::optional<Barcode> encodeCode128(const QString &text);

} // namespace lunora
