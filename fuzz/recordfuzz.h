// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The checks shared by the case register and article file fuzzers. Both files are read
// by the same line reader; what differs is the number of fields and the write functions.
//
// For any bytes:
// - there is one record per line that holds more than blanks, whatever the line ends;
// - no field spans a line end;
// - line ends or blank lines added at the end change nothing: a last line without its
//   CR LF is not lost, and trailing blank lines invent no record;
// - the file functions read what the byte-level reader reads;
// - an append adds exactly the one record at the end, also after a last line without
//   its line end, or is refused and leaves the file as it was;
// - a rewrite reads back exactly, or is refused and leaves the file as it was.

#include "fuzzsupport.h"
#include "storage/cp1252.h"
#include "storage/status.h"

#include <QList>
#include <QString>
#include <fuzzer/FuzzedDataProvider.h>

namespace lunora::fuzz {

inline qsizetype linesWithText(QByteArrayView bytes)
{
    qsizetype count = 0;
    bool text = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (text)
                ++count;
            text = false;
        } else if (c != ' ' && c != '\t') {
            text = true;
        }
    }
    return count + (text ? 1 : 0);
}

// A value for one field: mostly Windows-1252 text, sometimes with what no line can
// carry (a quote, a line end, a character outside the code page).
inline QString takeField(FuzzedDataProvider &in)
{
    QString value = cp1252::decode(QByteArray::fromStdString(in.ConsumeRandomLengthString(48)));
    if (in.ConsumeIntegralInRange<int>(0, 15) == 0 && !value.isEmpty())
        value[in.ConsumeIntegralInRange<qsizetype>(0, value.size() - 1)] = QChar(0x4E2D);
    return value;
}

// Ops provides: Record, parse(bytes), load(path), appenders (a list of append
// functions), rewrite(path, records) and firstUnstorableField(record).
template <typename Ops> void fuzzRecordFile(const uint8_t *data, size_t size)
{
    using Record = typename Ops::Record;
    FuzzedDataProvider in(data, size);
    const QByteArray bytes = QByteArray::fromStdString(in.ConsumeRandomLengthString(4096));

    const QList<Record> records = Ops::parse(bytes);
    require(records.size() == linesWithText(bytes), "not one record per line with text", bytes);
    for (const Record &record : records) {
        for (const QString &field : record)
            require(!field.contains(u'\r') && !field.contains(u'\n'), "a field spans a line end", bytes);
    }
    require(
        Ops::parse(bytes + "\r\n") == records, "a line end after the last line changed the records", bytes);
    require(Ops::parse(bytes + "\r\n \t\r\n\r\n\n\r") == records, "trailing blank lines changed the records",
        bytes);

    const QString path = scratchFile("records.txt");
    writeFile(path, bytes);
    const auto loaded = Ops::load(path);
    require(loaded.ok() && loaded.value() == records, "loading the file gives other records than the bytes",
        bytes);

    // One append of a record made from the input.
    Record extra;
    for (QString &field : extra)
        field = takeField(in);
    const auto &appenders = Ops::appenders();
    const auto append = appenders[in.ConsumeIntegralInRange<qsizetype>(0, appenders.size() - 1)];
    const bool storable = Ops::firstUnstorableField(extra) < 0;
    const Status appended = append(path, extra);
    if (!storable) {
        require(!appended.ok(), "a record that cannot be stored was appended", bytes);
        require(readFile(path) == bytes, "a refused append changed the file", bytes);
    } else {
        require(appended.ok(), "an append to a writable file failed", bytes);
        const auto after = Ops::load(path);
        require(after.ok() && after.value() == records + QList<Record> { extra },
            "an append did not add exactly its record at the end", readFile(path));
    }

    // A rewrite with every record that was read, then with those that can be stored.
    writeFile(path, bytes);
    bool allStorable = true;
    QList<Record> storableRecords;
    for (const Record &record : records) {
        if (Ops::firstUnstorableField(record) < 0)
            storableRecords.append(record);
        else
            allStorable = false;
    }
    const Status rewritten = Ops::rewrite(path, records);
    if (!allStorable) {
        require(!rewritten.ok(), "records that cannot be stored were rewritten", bytes);
        require(readFile(path) == bytes, "a refused rewrite changed the file", bytes);
        require(Ops::rewrite(path, storableRecords).ok(), "a rewrite of storable records failed", bytes);
    } else {
        require(rewritten.ok(), "a rewrite of a writable file failed", bytes);
    }
    const auto reread = Ops::load(path);
    require(reread.ok() && reread.value() == storableRecords, "a rewrite does not read back exactly",
        readFile(path));
}

} // namespace lunora::fuzz
