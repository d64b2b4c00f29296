#include "fileio.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace lunora::fileio {

namespace {
Status fileError(const QString &what, const QString &path, const QString &reason)
{
    return Status::failure(QStringLiteral("%1 %2: %3").arg(what, path, reason));
}

bool endsWithLineEnd(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // nothing to read means nothing to separate from
    const qint64 size = file.size();
    if (size <= 0)
        return true;
    if (!file.seek(size - 1))
        return true;
    char last = 0;
    if (file.read(&last, 1) != 1)
        return true;
    return last == '\n' || last == '\r';
}
} // namespace

bool exists(const QString &path)
{
    return QFileInfo(path).isFile();
}

Result<QByteArray> readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileError(QStringLiteral("Cannot read"), path, file.errorString());
    QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fileError(QStringLiteral("Cannot read"), path, file.errorString());
    return contents;
}

Status saveAll(const QString &path, const QByteArray &contents)
{
    QSaveFile file(path);
    // Never fall back to writing over the old file in place: a failure half-way would
    // leave it cut short.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fileError(QStringLiteral("Cannot write"), path, file.errorString());
    // The flush is checked here because commit() does not report a failure of its own
    // final flush (a full disk): it would rename a short file over the old one.
    if (file.write(contents) != contents.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fileError(QStringLiteral("Cannot write"), path, reason);
    }
    if (!file.commit())
        return fileError(QStringLiteral("Cannot write"), path, file.errorString());
    return {};
}

Status appendLine(const QString &path, const QByteArray &line)
{
    if (QFileInfo(path).isDir())
        return fileError(QStringLiteral("Cannot append to"), path, QStringLiteral("is a folder"));
    QByteArray data;
    if (!endsWithLineEnd(path))
        data = QByteArrayLiteral("\r\n");
    data += line;

    // One write of the whole line, so that the line is never split by another writer.
    // Unbuffered, so that nothing is left in a buffer that a later flush could still
    // push out after the fragment has been cut off.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fileError(QStringLiteral("Cannot append to"), path, file.errorString());
    const qint64 sizeBefore = file.size();
    if (file.write(data) != data.size() || !file.flush()) {
        const QString reason = file.errorString();
        // Whatever part of the line did fit (a full disk) is cut off again: a fragment
        // would read back as an entry of its own.
        file.resize(sizeBefore);
        file.close();
        return fileError(QStringLiteral("Cannot append to"), path, reason);
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fileError(QStringLiteral("Cannot append to"), path, file.errorString());
    return {};
}

Status remove(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return fileError(QStringLiteral("Cannot remove"), path, QStringLiteral("no such file"));
    if (!file.remove())
        return fileError(QStringLiteral("Cannot remove"), path, file.errorString());
    return {};
}

Status prepare(const QString &path)
{
    QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fileError(QStringLiteral("Not a file:"), path, QStringLiteral("is a folder"));
    if (!info.exists()) {
        // Append mode creates the file without truncating one that appeared meanwhile;
        // a missing folder makes the open fail, which is what we want.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            return fileError(QStringLiteral("Cannot create"), path, file.errorString());
        file.close();
    }
    const QFileDevice::Permissions perms = QFile::permissions(path);
    if (!(perms & QFileDevice::WriteOwner)) {
        if (!QFile::setPermissions(path, perms | QFileDevice::WriteOwner | QFileDevice::WriteUser))
            return fileError(
                QStringLiteral("Cannot make writable"), path, QStringLiteral("permission denied"));
    }
    return {};
}

} // namespace lunora::fileio
