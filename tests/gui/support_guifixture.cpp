#include "support_guifixture.h"

#include "datafolder.h"
#include "frmArende.h"
#include "frmArendeList.h"
#include "windowregistry.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QTableView>
#include <QTest>
#include <QTimer>

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

QString TestDataFolder::lib(const QString &name) const
{
    return m_dir.path() + QStringLiteral("/Lib/") + name;
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
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void missingChild(const char *name)
{
    qFatal("no child %s", name);
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

frmArende *openCase(const RegisterEntry &entry)
{
    auto *window = WindowRegistry::get<frmArende>();
    window->setRealName(QStringLiteral("Anna Ek"));
    window->openExistingCase(entry);
    WindowRegistry::show<frmArende>();
    return window;
}

void selectEntry(frmArendeList *overview, const RegisterEntry &entry)
{
    int row = 0;
    while (overview->entryAt(row) != entry)
        ++row;
    QTableView *list = overview->listView();
    list->setCurrentIndex(list->model()->index(row, 0));
    list->selectRow(row);
}

} // namespace lunora::test
