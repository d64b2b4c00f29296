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

// What readValue gives for each of several keys, found in one pass over the file with
// no copy of a line: for lists that read many keys of many files. Made once for the
// section and keys, then used on file after file.
class ValueScanner
{
public:
    ValueScanner(QByteArrayView section, const QList<QByteArray> &keys);
    // values[k] becomes the value of keys[k], a view into `file` (empty when missing).
    void scan(QByteArrayView file, QList<QByteArrayView> &values) const;

private:
    QByteArray m_section; // lower case, without the brackets
    QList<QByteArray> m_prefixes; // lower-case key and '='
};
QList<QByteArray> readValues(QByteArrayView file, QByteArrayView section, const QList<QByteArray> &keys);
// Fails only when a position passes 32,767 characters, as the format's writers always did.
Result<QByteArray> writeValue(
    QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value);
// What WriteIniAll makes of a file's bytes, without the file: the writes applied in
// order, lone LFs of a hand-made file taken for line ends first. For rewrites of files
// that no other desk can see yet, which need no lock.
Result<QByteArray> writeValues(QByteArrayView file, const QList<IniWrite> &writes);
} // namespace ini

} // namespace lunora
