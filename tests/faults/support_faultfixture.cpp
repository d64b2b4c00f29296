// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "faultfixture.h"
#include "storage/caseregister.h"
#include "storage/cp1252.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora::faults {

namespace {

RegisterEntry entryOf(const QStringList &values)
{
    RegisterEntry entry;
    for (int i = 0; i < RegisterFieldCount; ++i)
        entry[i] = values.value(i);
    return entry;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

const RegisterEntry CaseA = entryOf({ "101215 4711", "2010-12-15", "K-17", "Anna Andersson", "08-123456",
    "Brådskande", "Under behandling", "{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}", "Anna Ek" });
const RegisterEntry CaseB = entryOf({ "110102 12", "2011-01-02", "K-99", "Bo Berg", "031-777", "Normal",
    "Avslutad", "{BBBBBBBB-2222-4222-8222-BBBBBBBBBBBB}", "Bertil Ström" });
const QString UserId = QStringLiteral("anna");
const QString UserPassword = QStringLiteral("pw");
const QString CustomerPhone = QStringLiteral("08-123456");

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

QByteArray quotedRegister(const QList<RegisterEntry> &entries)
{
    QByteArray bytes;
    for (const RegisterEntry &entry : entries)
        bytes += caseregister::formatQuoted(entry);
    return bytes;
}

bool populate(const QString &root)
{
    QDir dir(root);
    for (const char *folder : { "Lib/User", "Lib/Logo", "Errors" }) {
        if (!dir.mkpath(QString::fromLatin1(folder)))
            return false;
    }
    const auto lib = [&root](const QString &name) {
        return root + QStringLiteral("/Lib/") + name;
    };
    QImage logo(64, 32, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    const QByteArray articlesA = "\"17\",\"Skruv\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n"
                                 "\"A-01\",\"Arbete\",\"1\",\"tim\",\"650,00\",\"650,00\"\r\n";
    const QByteArray articlesB = "\"18\",\"Kedja\",\"1\",\"st\",\"149,00\",\"149,00\"\r\n";
    const QByteArray dataA = cp1252::encode(QStringLiteral(
        "[Main]\r\nxSign=Anna Ek\r\nxCode={AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}\r\nxRegDate=2010-12-15\r\n"
        "xID=101215 4711\r\n\r\n[Type]\r\nxPrio=Brådskande\r\n\r\n[Status]\r\nxStat=Nytt ärende\r\n\r\n"
        "[Customer]\r\nxCPhone=08-123456\r\nxCName=Anna Andersson\r\nxCID=K-17\r\n"));
    const QByteArray dataB = "[Main]\r\nxSign=Bertil\r\nxID=110102 12\r\n";
    return writeFile(lib(QStringLiteral("User/anna.ini")),
               "[Main]\r\nRealName=Anna Ek\r\nIndex=0\r\nPassWD=pw\r\nUser=anna\r\n")
        && writeFile(lib(QStringLiteral("CompanyInfo.ini")),
            cp1252::encode(QStringLiteral("[Main]\r\nRad1=Verkstan AB\r\nRad2=Storgatan 1\r\n"
                                          "Rad3=123 45 Småstad\r\nRad4=Tel 0123-456\r\n")))
        && logo.save(lib(QStringLiteral("Logo/logo.bmp")), "BMP")
        && writeFile(lib(QStringLiteral("arenden.txt")), quotedRegister({ CaseA, CaseB }))
        && writeFile(lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")), articlesA)
        && writeFile(lib(CaseA[ControlCode] + QStringLiteral("_eData.ini")), dataA)
        && writeFile(lib(CaseB[ControlCode] + QStringLiteral("_ArtData.txt")), articlesB)
        && writeFile(lib(CaseB[ControlCode] + QStringLiteral("_eData.ini")), dataB)
        && writeFile(lib(CustomerPhone + QStringLiteral(".ini")),
            "[Main]\r\nxID=K-17\r\nxName=Anna Andersson\r\nxPhone1=08-123456\r\n")
        && writeFile(root + QStringLiteral("/Errors/Error.txt"),
            "2020-01-01, kl. 10:00:00                Fel vid inl\xE4sning, information saknas....\r\n\r\n");
}

Snapshot snapshot(const QString &root)
{
    Snapshot result;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = base.relativeFilePath(path);
        if (info.isDir() && !info.isSymLink()) {
            result.insert(relative + u'/', QByteArray());
            continue;
        }
        QFile file(path);
        // An unreadable file counts as present with a marker, so that it is still seen to
        // vanish or change into something readable.
        result.insert(relative, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return result;
}

QStringList damaged(const Snapshot &before, const Snapshot &after, const QStringList &allowed)
{
    const auto isAllowed = [&allowed](const QString &name) {
        for (const QString &pattern : allowed) {
            if (pattern.endsWith(u'*') ? name.startsWith(pattern.chopped(1)) : name == pattern)
                return true;
        }
        return false;
    };
    QStringList result;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (isAllowed(it.key()))
            continue;
        const auto now = after.constFind(it.key());
        if (now == after.cend())
            result << it.key() + QStringLiteral(" (gone)");
        else if (it.key() == QStringLiteral("Errors/Error.txt") && now.value().startsWith(it.value()))
            continue; // the error log only ever grows: an entry added is no damage
        else if (now.value() != it.value())
            result << it.key()
                    + QStringLiteral(" (%1 bytes, was %2)").arg(now.value().size()).arg(it.value().size());
    }
    return result;
}

} // namespace lunora::faults
