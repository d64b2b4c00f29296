// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/storetypes.h"

#include "storage/cp1252.h"
#include "storage/datafolder.h"

#include <QFileInfo>

namespace lunora {

StoreResult StoreResult::failure(StoreError kind, QString message, int field)
{
    StoreResult result;
    result.kind = kind;
    result.field = field;
    result.message = std::move(message);
    return result;
}

CaseKey caseKeyOf(QByteArrayView controlCode, QByteArrayView caseNumber, QByteArrayView created)
{
    CaseKey key;
    key.controlCode = controlCode.toByteArray();
    if (controlCode.isEmpty()) {
        key.caseNumber = caseNumber.toByteArray();
        key.created = created.toByteArray();
    }
    return key;
}

CaseKey caseKeyOf(const RegisterEntry &entry)
{
    return caseKeyOf(cp1252::encode(entry[ControlCode]), cp1252::encode(entry[CaseNumber]),
        cp1252::encode(entry[Created]));
}

ListOrder::ListOrder(const QList<CaseKey> &keys)
{
    reserve(keys.size());
    for (const CaseKey &key : keys)
        append(key.controlCode, key.caseNumber, key.created);
}

ListOrder::Row ListOrder::at(qsizetype i) const
{
    const qint32 row = m_rows[static_cast<std::size_t>(i)];
    if (row < 0)
        return m_views[static_cast<std::size_t>(-1 - row)];
    const caseregister::Table::KeyFields fields = m_held.keyFields(row);
    return rowOf(fields.controlCode, fields.caseNumber, fields.created);
}

void ListOrder::appendCopy(const CaseKey &key)
{
    const CaseKey &copy = m_copies.emplace_back(key);
    append(copy.controlCode, copy.caseNumber, copy.created);
}

StoreResult missingLib()
{
    const QString lib = DataFolder::path(u"\\Lib");
    if (QFileInfo(lib).isDir())
        return {};
    return StoreResult::failure(StoreError::MissingFolder, QStringLiteral("Mappen %1 finns inte").arg(lib));
}

StoreResult unwritable(const Status &status)
{
    return StoreResult::failure(StoreError::Unwritable, status.error());
}

} // namespace lunora
