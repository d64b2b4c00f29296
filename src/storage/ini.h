// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFileDevice>
#include <QList>
#include <QString>

namespace lunora {

// The INI engine of every INI file of the data folder (user, case data, customer and
// company files). Names are compared without regard to letter case, values are kept
// byte for byte. Each call opens, works and closes; nothing is cached.
Result<QString> ReadIni(const QString &path, const QString &section, const QString &key);
Status WriteIni(const QString &path, const QString &section, const QString &key, const QString &value);

struct IniWrite
{
    QString section;
    QString key;
    QString value;
};
// Applies several WriteIni calls in order and stores the result once, atomically: the
// file ends exactly as after the single calls, but a failure leaves it untouched.
// A file that does not exist yet is created with `newFileMode` when it is given.
Status WriteIniAll(
    const QString &path, const QList<IniWrite> &writes, QFileDevice::Permissions newFileMode = {});

namespace ini {
// The byte-level rules, free of any file access (used by the functions above, the
// tests and the fuzzers). Section, key and value are Windows-1252 bytes.
QByteArray readValue(QByteArrayView file, QByteArrayView section, QByteArrayView key);
// Fails only when a position passes 32,767 characters, as the format's writers always did.
Result<QByteArray> writeValue(
    QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value);
} // namespace ini

} // namespace lunora
