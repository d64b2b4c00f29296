#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace lunora::test {

// A fresh data folder with the installed folders (Lib, Lib/User, Lib/Logo, Errors),
// made the program's data folder for as long as it lives.
class DataFolderFixture final
{
public:
    DataFolderFixture();
    ~DataFolderFixture();
    DataFolderFixture(const DataFolderFixture &) = delete;
    DataFolderFixture &operator=(const DataFolderFixture &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString file(const QString &relative) const; // "Lib/arenden.txt"

private:
    QTemporaryDir m_dir;
};

// Pins the Swedish number format the program is made for.
void useSwedishLocale();

QByteArray readBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes);
// Root ignores file permissions, so tests that rely on them cannot run as root.
bool runningAsRoot();

} // namespace lunora::test
