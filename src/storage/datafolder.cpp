// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/datafolder.h"

#include <QCoreApplication>
#include <QDir>

namespace lunora {

namespace {
QString s_root;

Result<QString> safePath(const QString &name, QStringView prefix, QStringView suffix)
{
    if (!isSafeFileName(name))
        return Status::failure(QStringLiteral("%1 kan inte bli ett filnamn").arg(name));
    return DataFolder::path(prefix.toString() + name + suffix.toString());
}
} // namespace

void DataFolder::setRoot(const QString &root)
{
    s_root = root;
    while (s_root.size() > 1 && (s_root.endsWith(u'/') || s_root.endsWith(u'\\')))
        s_root.chop(1);
}

QString DataFolder::root()
{
    if (!s_root.isEmpty())
        return s_root;
    return QCoreApplication::applicationDirPath();
}

QString DataFolder::path(QStringView relative)
{
    QString rel = relative.toString();
    rel.replace(u'\\', u'/');
    if (!rel.startsWith(u'/'))
        rel.prepend(u'/');
    return QDir::toNativeSeparators(root() + rel);
}

bool isSafeFileName(QStringView name)
{
    // 255 bytes is the longest file name of common Linux file systems; the longest
    // suffix added to a name is "_ArtData.txt".
    constexpr qsizetype longestName = 255 - 12;
    if (name == u"." || name == u"..")
        return false;
    if (name.toUtf8().size() > longestName)
        return false;
    for (QChar c : name) {
        if (c == u'/' || c == u'\\' || c == QChar(0))
            return false;
    }
    return true;
}

QString paths::caseRegister()
{
    return DataFolder::path(u"\\Lib\\arenden.txt");
}

QString paths::companyFile()
{
    return DataFolder::path(u"\\Lib\\CompanyInfo.ini");
}

QString paths::logoFile()
{
    return DataFolder::path(u"\\Lib\\Logo\\logo.bmp");
}

QString paths::errorLog()
{
    return DataFolder::path(u"\\Errors\\Error.txt");
}

QString paths::removedCasesFile()
{
    return DataFolder::path(u"\\Lib\\Borttagna.txt");
}

QString paths::removalIntentsFile()
{
    return DataFolder::path(u"\\Lib\\Borttagning-pagar.txt");
}

QString paths::historyErrorLog()
{
    return DataFolder::path(u"\\Errors\\Historikfel.txt");
}

QString paths::orphanLog()
{
    return DataFolder::path(u"\\Errors\\Foraldralosa.txt");
}

QString paths::userFolder()
{
    return DataFolder::path(u"\\Lib\\User");
}

QString paths::passwordProtectionFile()
{
    return DataFolder::path(u"\\Lib\\User\\Losenordsskydd.txt");
}

QString paths::signInErrorLog()
{
    return DataFolder::path(u"\\Errors\\Inloggningsfel.txt");
}

Result<QString> paths::userFile(const QString &userId)
{
    // An empty id would name the file ".ini": an account anyone could sign in to with
    // an empty id field once that file exists. No account has an empty id.
    if (userId.isEmpty())
        return Status::failure(QStringLiteral("Ett tomt användar-ID ger ingen användarfil"));
    return safePath(userId, u"\\Lib\\User\\", u".ini");
}

Result<QString> paths::customerFile(const QString &telephone)
{
    return safePath(telephone, u"\\Lib\\", u".ini");
}

Result<QString> paths::caseDataFile(const QString &controlCode)
{
    return safePath(controlCode, u"\\Lib\\", u"_eData.ini");
}

Result<QString> paths::articleFile(const QString &controlCode)
{
    return safePath(controlCode, u"\\Lib\\", u"_ArtData.txt");
}

Result<QString> paths::notesFile(const QString &controlCode)
{
    return safePath(controlCode, u"\\Lib\\", u"_Notes.txt");
}

Result<QString> paths::historyFile(const QString &controlCode)
{
    return safePath(controlCode, u"\\Lib\\", u"_Logg.txt");
}

} // namespace lunora
