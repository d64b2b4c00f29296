// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// Zip archives made in a test as other tools would make them, entry by entry through
// libarchive, including the entries no backup of ours ever holds.

#include <QByteArray>
#include <QString>

struct archive;

namespace lunora::test {

class ZipWriter final
{
public:
    explicit ZipWriter(const QString &path);
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    void folder(const QByteArray &name, int mode = 0755);
    void file(const QByteArray &name, const QByteArray &bytes, int mode = 0644);
    // An entry of `size` zero bytes, written in pieces.
    void zeros(const QByteArray &name, qint64 size);
    void link(const QByteArray &name, const QByteArray &target);
    // Finishes the archive; false when anything could not be written.
    bool close();

private:
    void header(const QByteArray &name, unsigned type, int mode, qint64 size);
    struct archive *m_archive = nullptr;
    bool m_ok = true;
};

// Gives the entry of that name another file type and mode in the archive's central
// directory (where readers take it from): a FIFO, a device.
bool setEntryMode(const QString &zipPath, const QByteArray &name, quint16 mode);
// Sets the compression method the entry's local and central headers name, its data left
// as it is.
bool setEntryMethod(const QString &zipPath, const QByteArray &name, quint16 method);

} // namespace lunora::test
