// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// What every test shares: a data folder of its own, the files' bytes, the sample
// cases, and an event loop that lets the windows' 1-ms timers tick as they do in the
// running program.

#include "storage/casestore.h"
#include "storage/records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>

namespace lunora::test {

// An empty data folder as an installation brings it (Lib, Lib/User, Lib/Logo and
// Errors) in a temporary directory, which is the program's data folder while it lives.
class TestDataFolder final
{
public:
    TestDataFolder();
    ~TestDataFolder();
    TestDataFolder(const TestDataFolder &) = delete;
    TestDataFolder &operator=(const TestDataFolder &) = delete;

    // False when the directory or one of its folders could not be made.
    bool isValid() const { return m_valid; }
    QString path() const;
    QString root() const { return path(); }
    // A file below the folder ("Lib/arenden.txt").
    QString file(const QString &relative) const;
    // A file in Lib.
    QString lib(const QString &name) const;
    // The register Lib/arenden.txt.
    QString registerFile() const { return lib(QStringLiteral("arenden.txt")); }

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

// A home folder of its own: HOME and XDG_CONFIG_HOME point into a temporary directory
// and XDG_DOCUMENTS_DIR is unset while it lives, so that the desk's settings file and
// the folder a saved file is proposed in belong to the test. The old values come back
// when it goes.
class TemporaryHome final
{
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome &) = delete;
    TemporaryHome &operator=(const TemporaryHome &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
    QList<QPair<QByteArray, std::optional<QByteArray>>> m_saved;
};

// The locale of the program's users, for numbers and dates as they see them.
void useSwedishLocale();

// A file's bytes, or "<missing>" when it cannot be read.
QByteArray readBytes(const QString &path);
// Replaces a file's bytes; a file that cannot be written fails the test.
void writeBytes(const QString &path, const QByteArray &bytes);
// Root ignores file permissions, so tests that rely on them cannot run as root.
bool runningAsRoot();

// Runs the event loop until the condition holds or the time is up, and says whether it
// holds. Unlike QTest::qWaitFor it never sleeps between checks.
bool runUntil(const std::function<bool()> &condition, int timeoutMs);

RegisterEntry entryOf(const QStringList &values);
ArticleRow rowOf(const QStringList &values);

// Two cases of the register: an urgent open one and a closed one.
extern const RegisterEntry CaseA;
extern const RegisterEntry CaseB;
// Two article rows.
extern const ArticleRow RowA;
extern const ArticleRow RowB;

// The register line of entries in quoted form, and the bytes of an article file.
QByteArray quotedLines(const QList<RegisterEntry> &entries);
QByteArray articleLines(const QList<ArticleRow> &rows);
// The case store's keys of these cases, as the overview hands them over.
QList<CaseKey> keys(const QList<RegisterEntry> &entries);
// A register with these entries and, for each, a data file and an article file with
// the given rows.
void writeCases(
    const TestDataFolder &folder, const QList<RegisterEntry> &entries, const QList<ArticleRow> &rows = {});

} // namespace lunora::test
