// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/barcode.h"

#include <algorithm>
#include <memory>
#include <zint.h>

namespace lunora {

namespace {
struct SymbolDeleter
{
    void operator()(zint_symbol *symbol) const { ZBarcode_Delete(symbol); }
};
} // namespace

std::optional<Barcode> encodeCode128(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return std::nullopt;
    symbol->symbology = BARCODE_CODE128;
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = 0; // the label prints the number in its own large type
    symbol->output_options |= BARCODE_QUIET_ZONES;
    const QByteArray utf8 = text.toUtf8();
    const int error = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char *>(utf8.constData()), int(utf8.size()), 0);
    if (error >= ZINT_ERROR || !symbol->vector || !symbol->vector->rectangles || symbol->width <= 0)
        return std::nullopt;

    // zint's vector units per module depend on its scale; the bars themselves span
    // exactly the symbol's width in modules, which gives the unit without assuming it.
    double first = symbol->vector->width;
    double last = 0.0;
    for (const zint_vector_rect *rect = symbol->vector->rectangles; rect; rect = rect->next) {
        first = std::min(first, double(rect->x));
        last = std::max(last, double(rect->x + rect->width));
    }
    const double unit = (last - first) / symbol->width;
    if (unit <= 0.0)
        return std::nullopt;
    Barcode barcode;
    barcode.modules = symbol->vector->width / unit;
    for (const zint_vector_rect *rect = symbol->vector->rectangles; rect; rect = rect->next)
        barcode.bars.append({ rect->x / unit, rect->width / unit });
    return barcode;
}

} // namespace lunora
