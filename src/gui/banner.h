// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

class QPixmap;
class QSize;

namespace lunora {

// The banner across the top of the overview and the customer card; a plain dark
// ground of the given size when the picture is missing, so white text stays legible.
QPixmap bannerPicture(const QSize &size);

} // namespace lunora
