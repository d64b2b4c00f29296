// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/printdevice.h"

namespace lunora {

PrintDevice::~PrintDevice() = default;

} // namespace lunora
