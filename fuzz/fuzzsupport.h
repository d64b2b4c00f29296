// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// Shared by the fuzz targets: how a broken rule is reported, and temporary files.

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace lunora::fuzz {

// Prints the rule that broke and the bytes involved, then aborts, so that libFuzzer
// stores the input that led here as a reproducer.
[[noreturn]] inline void fail(const char *rule, QByteArrayView detail = {})
{
    std::fprintf(stderr, "\n*** broken rule: %s\n", rule);
    if (!detail.isEmpty()) {
        const QByteArray escaped = QByteArray(detail.data(), detail.size()).toPercentEncoding(" =[],\"");
        std::fprintf(stderr, "*** %s\n", escaped.constData());
    }
    std::abort();
}

inline void require(bool condition, const char *rule, QByteArrayView detail = {})
{
    if (!condition)
        fail(rule, detail);
}

// One folder for the whole run: the targets write a file or two per input, and making a
// folder for every input would cost more than the work under test. It lies in memory
// where it can: every rewrite syncs its file to disk, which on a real disk would make
// the fuzzer a hundred times slower.
inline QString scratchFile(const char *name)
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
            ? QStringLiteral("/dev/shm/lunora-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/lunora-fuzz-XXXXXX"));
    if (!dir.isValid())
        fail("the fuzzer could not make its scratch folder");
    return dir.filePath(QString::fromLatin1(name));
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("the fuzzer could not write its scratch file");
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("the fuzzer could not read its scratch file");
    return file.readAll();
}

} // namespace lunora::fuzz
