// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Fuzzes the article file reader and writers: see recordfuzz.h for the rules checked.

#include "recordfuzz.h"
#include "storage/casefiles.h"

using namespace lunora;

namespace {

struct ArticleOps
{
    using Record = ArticleRow;
    using Append = Status (*)(const QString &, const ArticleRow &);

    static QList<Record> parse(QByteArrayView bytes) { return articlefile::parse(bytes); }
    static Result<QList<Record>> load(const QString &path) { return articlefile::load(path); }
    static Status rewrite(const QString &path, const QList<Record> &records)
    {
        return articlefile::rewrite(path, records);
    }
    static int firstUnstorableField(const Record &record)
    {
        return articlefile::firstUnstorableField(record);
    }
    static const QList<Append> &appenders()
    {
        static const QList<Append> list = { &articlefile::appendRow };
        return list;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    lunora::fuzz::fuzzRecordFile<ArticleOps>(data, size);
    return 0;
}
