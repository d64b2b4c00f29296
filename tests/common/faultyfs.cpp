// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "common/faultyfs.h"

#include "common/testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora::test {

namespace {

bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

ReadOnly::ReadOnly(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (runningAsRoot()) {
            if (!setImmutable(path, true)) {
                m_ok = false;
                return;
            }
            m_done << path;
            continue;
        }
        struct stat info
        {
        };
        if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
            m_ok = false;
            return;
        }
        m_modes.insert(path, static_cast<int>(info.st_mode & 07777));
        if (::chmod(QFile::encodeName(path).constData(), info.st_mode & 07555) != 0) {
            m_ok = false;
            return;
        }
    }
}

ReadOnly::~ReadOnly()
{
    for (const QString &path : std::as_const(m_done))
        setImmutable(path, false);
    for (auto it = m_modes.cbegin(); it != m_modes.cend(); ++it)
        ::chmod(QFile::encodeName(it.key()).constData(), static_cast<mode_t>(it.value()));
}

ReadOnlyMount::ReadOnlyMount(const QString &folder)
    : m_folder(folder)
{
    if (!runningAsRoot())
        return;
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        return;
    m_mounted = true;
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        ::umount2(path.constData(), MNT_DETACH);
        m_mounted = false;
    }
}

ReadOnlyMount::~ReadOnlyMount()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

SmallDisk::SmallDisk(int kibibytes)
    : m_dir(std::make_unique<QTemporaryDir>())
{
    if (!runningAsRoot() || !m_dir->isValid())
        return;
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0755";
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir->path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData())
        == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir->path()).constData(), MNT_DETACH);
}

QString SmallDisk::path() const
{
    return m_dir->path();
}

bool SmallDisk::fill()
{
    QFile filler(m_dir->path() + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::Append))
        return false;
    // Page by page, then byte by byte, until not even one byte is taken.
    const QByteArray page(4096, 'x');
    while (filler.write(page) == page.size()) { }
    while (filler.write("x", 1) == 1) { }
    filler.close();
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(filler.fileName()).constData(), &info) == 0 && info.st_size > 0;
}

void SmallDisk::drain()
{
    QFile::remove(m_dir->path() + QStringLiteral("/filler"));
}

} // namespace lunora::test
