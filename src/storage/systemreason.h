// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

class QFileDevice;

// Why a file operation failed, in Swedish. The C library and Qt word the system's
// reasons in English unless a Swedish locale is installed and chosen, and these texts
// reach the user: in messages, the tools' output and the error logs.
namespace lunora {

// The reason for an errno value.
QString systemReason(int error);
// The reason a QFile gives, in Swedish where it is one of the system's reasons.
QString reasonOf(const QFileDevice &file);

} // namespace lunora
