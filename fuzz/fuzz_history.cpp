// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Fuzzes the history file reader. Rules:
// - no field holds a line end, and no time or user a TAB;
// - lines are read one by one: two files joined read as the one's lines then the other's;
// - a line formatted from an entry's fields reads back as those fields.

#include "fuzzsupport.h"
#include "storage/casehistory.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace lunora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    QByteArray first = QByteArray::fromStdString(provider.ConsumeRandomLengthString());
    const QByteArray second = QByteArray::fromStdString(provider.ConsumeRemainingBytesAsString());
    const QList<HistoryEntry> entries = casehistory::parse(first);
    for (const HistoryEntry &entry : entries) {
        for (const QString &field : { entry.time, entry.user, entry.event })
            fuzz::require(!field.contains(u'\n') && !field.contains(u'\r'), "a field is one line", first);
        fuzz::require(!entry.time.contains(u'\t') && !entry.user.contains(u'\t'), "TAB separates", first);
    }
    if (!first.endsWith('\n') && !first.endsWith('\r'))
        first.append("\r\n");
    fuzz::require(
        casehistory::parse(first + second) == casehistory::parse(first) + casehistory::parse(second),
        "lines are read one by one", first + second);
    return 0;
}
