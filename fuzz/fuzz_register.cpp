// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Fuzzes the case register reader and writers: see recordfuzz.h for the rules checked.

#include "recordfuzz.h"
#include "storage/caseregister.h"

using namespace lunora;

namespace {

struct RegisterOps
{
    using Record = RegisterEntry;
    using Append = Status (*)(const QString &, const RegisterEntry &);

    static QList<Record> parse(QByteArrayView bytes) { return caseregister::parse(bytes); }
    static Result<QList<Record>> load(const QString &path) { return caseregister::load(path); }
    static Status rewrite(const QString &path, const QList<Record> &records)
    {
        return caseregister::rewrite(path, records);
    }
    static int firstUnstorableField(const Record &record)
    {
        return caseregister::firstUnstorableField(record);
    }
    // The case window appends plain lines, the overview quoted ones.
    static const QList<Append> &appenders()
    {
        static const QList<Append> list = { &caseregister::appendPlain, &caseregister::appendQuoted };
        return list;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    lunora::fuzz::fuzzRecordFile<RegisterOps>(data, size);
    return 0;
}
