// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The means to make the file system misbehave in a test (read-only files, folders and
// mounts, a full disk); each undoes itself when it goes out of scope.

#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

class QTemporaryDir;

namespace lunora::test {

// Makes files and folders read-only until destroyed. Root may write to files whatever
// their permission bits say, so for root the immutable flag of the file system is set
// instead (a folder with it takes no new, renamed or deleted entries, as a read-only
// folder does for other users). ok() is false when that is not possible here.
class ReadOnly final
{
public:
    explicit ReadOnly(const QStringList &paths);
    ~ReadOnly();
    ReadOnly(const ReadOnly &) = delete;
    ReadOnly &operator=(const ReadOnly &) = delete;
    bool ok() const { return m_ok; }

private:
    QStringList m_done;
    QMap<QString, int> m_modes;
    bool m_ok = true;
};

// A read-only bind mount of a folder onto itself (root only): every write below it fails
// as on a write-protected medium.
class ReadOnlyMount final
{
public:
    explicit ReadOnlyMount(const QString &folder);
    ~ReadOnlyMount();
    ReadOnlyMount(const ReadOnlyMount &) = delete;
    ReadOnlyMount &operator=(const ReadOnlyMount &) = delete;
    bool ok() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

// A small memory file system (root only) that fill() leaves without a free byte.
class SmallDisk final
{
public:
    explicit SmallDisk(int kibibytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool ok() const { return m_mounted; }
    QString path() const;
    // Writes one file until the disk refuses more; true when it is full.
    bool fill();
    // Frees the disk again (the filler file is deleted).
    void drain();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_mounted = false;
};

} // namespace lunora::test
