// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "common/testsupport.h"

#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <unistd.h>

namespace lunora::test {

TestDataFolder::TestDataFolder()
{
    m_valid = m_dir.isValid();
    for (const char *folder : { "Lib", "Lib/User", "Lib/Logo", "Errors" })
        m_valid = m_valid && QDir(m_dir.path()).mkpath(QString::fromLatin1(folder));
    DataFolder::setRoot(m_dir.path());
}

TestDataFolder::~TestDataFolder()
{
    DataFolder::setRoot(QString());
}

QString TestDataFolder::path() const
{
    return m_dir.path();
}

QString TestDataFolder::file(const QString &relative) const
{
    return m_dir.filePath(relative);
}

QString TestDataFolder::lib(const QString &name) const
{
    return m_dir.path() + QStringLiteral("/Lib/") + name;
}

TemporaryHome::TemporaryHome()
{
    const QByteArray home = QDir(m_dir.path()).absolutePath().toLocal8Bit();
    for (const char *name : { "HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR" }) {
        m_saved.append({ name,
            qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt });
    }
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qunsetenv("XDG_DOCUMENTS_DIR");
}

TemporaryHome::~TemporaryHome()
{
    for (const auto &[name, value] : std::as_const(m_saved)) {
        if (value)
            qputenv(name.constData(), *value);
        else
            qunsetenv(name.constData());
    }
}

void useSwedishLocale()
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

bool runUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, &loop, [&]() {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start();
    if (!condition())
        loop.exec();
    return condition();
}

RegisterEntry entryOf(const QStringList &values)
{
    RegisterEntry entry;
    for (int i = 0; i < RegisterFieldCount; ++i)
        entry[i] = values.value(i);
    return entry;
}

ArticleRow rowOf(const QStringList &values)
{
    ArticleRow row;
    for (int i = 0; i < ArticleFieldCount; ++i)
        row[i] = values.value(i);
    return row;
}

const RegisterEntry CaseA = entryOf({ QStringLiteral("101215 4711"), QStringLiteral("2010-12-15"),
    QStringLiteral("K-17"), QStringLiteral("Anna Andersson"), QStringLiteral("08-123456"),
    QStringLiteral("Brådskande"), QStringLiteral("Under behandling"),
    QStringLiteral("{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}"), QStringLiteral("Anna Ek") });
const RegisterEntry CaseB = entryOf({ QStringLiteral("110102 12"), QStringLiteral("2011-01-02"),
    QStringLiteral("K-99"), QStringLiteral("Bo Berg"), QStringLiteral("031-777"), QStringLiteral("Normal"),
    QStringLiteral("Avslutad"), QStringLiteral("{BBBBBBBB-2222-4222-8222-BBBBBBBBBBBB}"),
    QStringLiteral("Bertil Ström") });
const ArticleRow RowA = rowOf({ QStringLiteral("A-1"), QStringLiteral("Skruv"), QStringLiteral("2"),
    QStringLiteral("st"), QStringLiteral("12,50"), QStringLiteral("25,00") });
const ArticleRow RowB = rowOf({ QStringLiteral("B-2"), QStringLiteral("Arbete"), QStringLiteral("1"),
    QStringLiteral("tim"), QStringLiteral("400,00"), QStringLiteral("400,00") });

QByteArray quotedLines(const QList<RegisterEntry> &entries)
{
    QByteArray bytes;
    for (const RegisterEntry &entry : entries)
        bytes += caseregister::formatQuoted(entry);
    return bytes;
}

QList<CaseKey> keys(const QList<RegisterEntry> &entries)
{
    QList<CaseKey> result;
    for (const RegisterEntry &entry : entries)
        result << caseKeyOf(entry);
    return result;
}

QByteArray articleLines(const QList<ArticleRow> &rows)
{
    QByteArray bytes;
    for (const ArticleRow &row : rows)
        bytes += articlefile::formatRow(row);
    return bytes;
}

void writeCases(
    const TestDataFolder &folder, const QList<RegisterEntry> &entries, const QList<ArticleRow> &rows)
{
    writeBytes(folder.registerFile(), quotedLines(entries));
    for (const RegisterEntry &entry : entries) {
        const QString code = entry[ControlCode];
        writeBytes(folder.lib(code + QStringLiteral("_eData.ini")),
            QByteArray("[Main]\r\nxID=") + entry[CaseNumber].toUtf8() + "\r\n");
        writeBytes(folder.lib(code + QStringLiteral("_ArtData.txt")), articleLines(rows));
    }
}

} // namespace lunora::test
