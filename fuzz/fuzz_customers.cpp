// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Fuzzes the customer-card list: a few files of any names and bytes in Lib. Rules:
// - every card listed is a regular, non-empty <telephone>.ini that is no other file;
// - every such file is listed once;
// - listing creates nothing.

#include "fuzzsupport.h"
#include "storage/customercards.h"
#include "storage/datafolder.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace lunora;

namespace {

bool isCardName(const QString &name)
{
    if (!name.endsWith(QLatin1String(".ini")))
        return false;
    const QString telephone = name.chopped(4);
    return !telephone.isEmpty() && telephone.compare(QLatin1String("CompanyInfo"), Qt::CaseInsensitive) != 0
        && !telephone.endsWith(QLatin1String("_eData"), Qt::CaseInsensitive);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString root = QFileInfo(fuzz::scratchFile("x")).absolutePath() + QStringLiteral("/kort");
    QDir(root).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/Lib/User"));
    DataFolder::setRoot(root);
    FuzzedDataProvider provider(data, size);
    for (int i = provider.ConsumeIntegralInRange(0, 4); i > 0; --i) {
        const QString name = QString::fromStdString(provider.ConsumeRandomLengthString(24));
        const QByteArray bytes = QByteArray::fromStdString(provider.ConsumeRandomLengthString(512));
        if (name.isEmpty() || name.contains(u'/') || name == QLatin1String(".")
            || name == QLatin1String(".."))
            continue;
        // A name of the folder "User" or with a NUL cannot be written: it is simply not there.
        QFile file(root + QStringLiteral("/Lib/") + name);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    }
    const QStringList before = QDir(root + QStringLiteral("/Lib"))
                                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QStringList expected;
    for (const QFileInfo &info :
        QDir(root + QStringLiteral("/Lib")).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (isCardName(info.fileName()) && info.size() > 0)
            expected.append(info.fileName().chopped(4));
    }
    const Result<QList<customercards::Card>> cards = customercards::listAll();
    fuzz::require(cards.ok(), "a folder of files lists");
    QStringList listed;
    for (const customercards::Card &card : cards.value())
        listed.append(card.telephone);
    listed.sort();
    expected.sort();
    fuzz::require(listed == expected, "every card is listed once, nothing else", listed.join(u'|').toUtf8());
    fuzz::require(
        QDir(root + QStringLiteral("/Lib")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
            == before,
        "listing creates nothing");
    return 0;
}
