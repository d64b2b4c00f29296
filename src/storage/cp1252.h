// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Every file of the data folder is Windows-1252 text. Formats work on bytes; text is
// converted only where it enters or leaves the program. Bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value
// and back, so decode followed by encode never changes a byte.
namespace lunora::cp1252 {
QString decode(QByteArrayView bytes);
// Decodes into `text`, replacing what it held; reuses its room when it has enough.
void decodeInto(QByteArrayView bytes, QString &text);
QByteArray encode(QStringView text); // characters outside Windows-1252 become '?'
bool canEncode(QStringView text); // true when encode() loses nothing
char toLower(char c); // A-Z and the accented capitals
QByteArray toLower(QByteArrayView bytes);
} // namespace lunora::cp1252
