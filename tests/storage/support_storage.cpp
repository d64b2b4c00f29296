#include "support_storage.h"

#include "datafolder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <unistd.h>

namespace lunora::test {

DataFolderFixture::DataFolderFixture()
{
    QDir root(m_dir.path());
    for (const char *sub : { "Lib", "Lib/User", "Lib/Logo", "Errors" })
        root.mkpath(QString::fromLatin1(sub));
    DataFolder::setRoot(m_dir.path());
}

DataFolderFixture::~DataFolderFixture()
{
    DataFolder::setRoot(QString());
}

QString DataFolderFixture::file(const QString &relative) const
{
    return m_dir.filePath(relative);
}

void useSwedishLocale()
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace lunora::test
