// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/casestore.h"

#include "storage/casefiles.h"
#include "storage/casehistory.h"
#include "storage/caseregister.h"
#include "storage/codeindex.h"
#include "storage/cp1252.h"
#include "storage/cutpoint.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/filestamp.h"
#include "storage/folderlock.h"
#include "storage/inputcheck.h"
#include "storage/registerrewrite.h"
#include "storage/removalintents.h"

#include <QDateTime>
#include <QFileInfo>
#include <memory>
#include <mutex>
#include <vector>

namespace lunora {

QStringList caseFiles(const QString &controlCode)
{
    const Result<QString> data = paths::caseDataFile(controlCode);
    const Result<QString> articles = paths::articleFile(controlCode);
    const Result<QString> notes = paths::notesFile(controlCode);
    const Result<QString> history = paths::historyFile(controlCode);
    if (!data || !articles || !notes || !history)
        return {};
    return { data.value(), articles.value(), notes.value(), history.value() };
}

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");

// A value read back unchanged from a plain line: no comma splits it, and the reader
// neither skips a leading blank nor takes a leading quote for a quoted field.
bool plainCarries(QStringView value)
{
    if (value.contains(u','))
        return false;
    return value.isEmpty() || (value.front() != u' ' && value.front() != u'\t' && value.front() != u'"');
}

// The check of a register line. A double quote is refused unless `keepQuotesOf` holds
// the same value in that field: lines written by older copies may hold one, and a case
// must stay changeable as long as that value is not retyped.
StoreResult checkEntry(const RegisterEntry &entry, const RegisterEntry *keepQuotesOf)
{
    for (int f = 0; f < RegisterFieldCount; ++f) {
        const inputcheck::Problem problem = inputcheck::recordValue(entry[f]);
        if (problem == inputcheck::Problem::None)
            continue;
        if (problem == inputcheck::Problem::DoubleQuote && keepQuotesOf && (*keepQuotesOf)[f] == entry[f])
            continue;
        return StoreResult::failure(
            StoreError::UnstorableValue, QStringLiteral("Fält %1 kan inte sparas").arg(f + 1), f);
    }
    return {};
}

// The line of a changed case: quoted, or plain when a value kept from an older copy
// holds a double quote. Empty when neither form carries the values.
QByteArray replacementLine(const RegisterEntry &entry)
{
    bool quotes = false;
    for (const QString &value : entry)
        quotes = quotes || value.contains(u'"');
    if (!quotes)
        return caseregister::formatQuoted(entry);
    for (const QString &value : entry) {
        if (!plainCarries(value))
            return {};
    }
    return caseregister::formatPlain(entry);
}

// The control codes of the register as it was when last looked at, kept between calls:
// a change of a saved case asks whether its code is still there, and reading 100,000
// lines for every row added would cost more than the row. Read anew only when the
// register's stamp has changed. Asked under the folder lock; the mutex keeps the
// start-up's clean-up, which runs in a thread of its own, from reading it half-made.
class RegisterCodes final
{
public:
    Result<bool> holds(const QString &path, QByteArrayView code)
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        const FileStamp now = FileStamp::of(path);
        if (!m_index || now != m_stamp) {
            m_index.reset();
            m_table = {};
            if (now.exists) {
                Result<caseregister::Table> loaded = caseregister::Table::load(path);
                if (!loaded)
                    return loaded.status();
                m_table = loaded.takeValue();
            }
            m_index = std::make_unique<CodeIndex>(m_table);
            m_stamp = now;
        }
        return m_index->head(code) != nullptr;
    }

private:
    std::mutex m_mutex;
    FileStamp m_stamp;
    caseregister::Table m_table;
    std::unique_ptr<CodeIndex> m_index; // points into m_table
};

// Both removals take every line of the cases out and keep the others in the list's
// order.
RegisterPlan removalPlan(
    const QList<RegisterEntry> &cases, const ListOrder &listOrder, WrittenRegister *written)
{
    RegisterPlan plan;
    plan.written = written;
    for (const RegisterEntry &entry : cases)
        plan.drop << caseKeyOf(entry);
    plan.listOrder = &listOrder;
    return plan;
}

// ---- Article files ------------------------------------------------------------------

struct ArticleLines
{
    QList<QByteArray> raw; // each line as stored, without its line end
    QList<ArticleRow> rows;
};

Result<ArticleLines> readArticleLines(const QString &path)
{
    ArticleLines lines;
    if (!QFileInfo::exists(path))
        return lines;
    Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    const QByteArray &data = bytes.value();
    qsizetype start = 0;
    while (start <= data.size()) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        const QByteArrayView line(data.constData() + start, end - start);
        bool blank = true;
        for (char c : line)
            blank = blank && (c == ' ' || c == '\t');
        if (!blank) {
            lines.raw << line.toByteArray();
            lines.rows << articlefile::parse(line).value(0);
        }
        start = end + 1;
    }
    return lines;
}

QByteArray articleLine(const ArticleLines &lines, qsizetype i)
{
    const ArticleRow &row = lines.rows.at(i);
    for (const QString &value : row) {
        if (value.contains(u'"'))
            return lines.raw.at(i) + CrLf;
    }
    return articlefile::formatRow(row);
}

StoreResult articlePath(const QString &controlCode, QString &path)
{
    if (StoreResult lib = missingLib(); !lib)
        return lib;
    const Result<QString> found = paths::articleFile(controlCode);
    if (!found)
        return StoreResult::failure(StoreError::UnsafeName, found.error());
    path = found.value();
    return {};
}

// Rewrites the article file without the lines `skip` marks, then `last` when given.
StoreResult rewriteArticles(
    const QString &path, const ArticleLines &lines, const std::vector<bool> &skip, const ArticleRow *last)
{
    QByteArray contents;
    for (qsizetype i = 0; i < lines.rows.size(); ++i) {
        if (!skip[static_cast<std::size_t>(i)])
            contents += articleLine(lines, i);
    }
    if (last)
        contents += articlefile::formatRow(*last);
    if (const Status saved = fileio::saveAll(path, contents); !saved)
        return unwritable(saved);
    return {};
}

} // namespace

// ---- The operations -------------------------------------------------------------------

template <typename Body> StoreResult CaseStore::run(Change &change, Body &&body)
{
    // Every change runs under the folder lock, from its first read of a file to its
    // last write: another desk on the same folder cannot rewrite the register or an
    // article file between the moment this one reads it and the moment it writes it.
    const FolderLock lock = FolderLock::acquire();
    if (!lock) {
        if (lock.error() == FolderLock::Error::Unavailable) {
            if (StoreResult lib = missingLib(); !lib)
                return lib;
            return StoreResult::failure(StoreError::Unwritable, lock.errorText());
        }
        return StoreResult::failure(StoreError::Busy, lock.errorText());
    }
    // A saved case removed at another desk since this one opened it: its files went
    // with it, and whatever were written now would belong to a case no list shows.
    if (change.state == CaseState::Saved) {
        const Result<bool> holds = registerHolds(change.controlCodes.value(0));
        if (!holds)
            return StoreResult::failure(StoreError::Unreadable, holds.error());
        if (!holds.value())
            return StoreResult::failure(
                StoreError::CaseRemoved, QStringLiteral("Ärendet finns inte längre i registret"));
    }
    StoreResult result = body();
    if (result)
        finished(change);
    return result;
}

void CaseStore::finished(const Change &change)
{
    // Still under the folder lock: the history of a case follows the order of its
    // changes even when several desks work on it. One time for every line of a change.
    const QDateTime now = QDateTime::currentDateTime();
    const QString code = change.controlCodes.value(0);
    switch (change.kind) {
    case Change::Kind::SaveCase:
        (void)casehistory::append(code, now, { casehistory::created() });
        break;
    case Change::Kind::ReplaceCase:
        (void)casehistory::append(code, now, casehistory::replaced(change.before.value(0), change.entry));
        break;
    case Change::Kind::RemoveCases:
        // Noted in Borttagna.txt by the removal itself, before the files went.
        break;
    case Change::Kind::AddRegisterLine:
        (void)casehistory::append(code, now, { casehistory::registerLineAdded() });
        break;
    case Change::Kind::RemoveRegisterLines:
        for (const RegisterEntry &removed : change.before)
            (void)casehistory::append(removed[ControlCode], now, { casehistory::registerLineRemoved() });
        break;
    case Change::Kind::AddArticleRow:
        (void)casehistory::append(code, now, { casehistory::rowAdded(change.rows.value(0)) });
        break;
    case Change::Kind::ReplaceArticleRow:
        (void)casehistory::append(
            code, now, { casehistory::rowChanged(change.rows.value(0), change.rows.value(1)) });
        break;
    case Change::Kind::RemoveArticleRows: {
        QStringList events;
        for (const ArticleRow &row : change.rows)
            events << casehistory::rowRemoved(row);
        (void)casehistory::append(code, now, events);
        break;
    }
    case Change::Kind::SaveNotes:
        if (change.notesChanged)
            (void)casehistory::append(code, now, { casehistory::notesChanged() });
        break;
    case Change::Kind::Printout:
    case Change::Kind::Message:
        (void)casehistory::append(code, now, { change.event });
        break;
    }
}

StoreResult CaseStore::notePrintout(const QString &controlCode, const QString &event, CaseState state)
{
    return noteEvent(Change::Kind::Printout, controlCode, event, state);
}

StoreResult CaseStore::noteMessage(const QString &controlCode, const QString &event, CaseState state)
{
    return noteEvent(Change::Kind::Message, controlCode, event, state);
}

StoreResult CaseStore::noteEvent(
    Change::Kind kind, const QString &controlCode, const QString &event, CaseState state)
{
    Change change { kind, { controlCode }, {}, {}, {}, true, event };
    change.state = state;
    const StoreResult noted = run(change, []() { return StoreResult(); });
    // A removed case has no history left to add to.
    if (noted.kind == StoreError::CaseRemoved)
        return noted;
    // Without the lock no line could be written in order; it is noted as lost instead.
    if (!noted && !controlCode.isEmpty()) {
        const QDateTime now = QDateTime::currentDateTime();
        (void)fileio::appendLine(paths::historyErrorLog(),
            casehistory::formatLine(now,
                { controlCode + QStringLiteral("_Logg.txt"), casehistory::userName(), event,
                    noted.message }));
    }
    return noted;
}

Result<bool> CaseStore::registerHolds(const QString &controlCode)
{
    static RegisterCodes codes;
    if (controlCode.isEmpty())
        return false;
    return codes.holds(paths::caseRegister(), cp1252::encode(controlCode));
}

StoreResult CaseStore::checkNewCase(const RegisterEntry &entry)
{
    if (StoreResult checked = checkEntry(entry, nullptr); !checked)
        return checked;
    if (inputcheck::fileName(entry[ControlCode]) != inputcheck::Problem::None)
        return StoreResult::failure(
            StoreError::UnsafeName, QStringLiteral("Kontrollkoden kan inte bli ett filnamn"));
    return {};
}

StoreResult CaseStore::checkReplacement(const RegisterEntry &entry, const RegisterEntry &original)
{
    if (StoreResult checked = checkEntry(entry, &original); !checked)
        return checked;
    if (replacementLine(entry).isEmpty()) {
        for (int f = 0; f < RegisterFieldCount; ++f) {
            if (!plainCarries(entry[f]))
                return StoreResult::failure(
                    StoreError::UnstorableValue, QStringLiteral("Fält %1 kan inte sparas").arg(f + 1), f);
        }
    }
    return {};
}

StoreResult CaseStore::checkArticleRow(const ArticleRow &row)
{
    for (int f = 0; f < ArticleFieldCount; ++f) {
        if (inputcheck::recordValue(row[f]) != inputcheck::Problem::None)
            return StoreResult::failure(
                StoreError::UnstorableValue, QStringLiteral("Fält %1 kan inte sparas").arg(f + 1), f);
    }
    return {};
}

StoreResult CaseStore::checkNotes(const CaseNotes &notes)
{
    const notesfile::Field field = notesfile::firstUnstorableField(notes);
    if (field == notesfile::Field::None)
        return {};
    return StoreResult::failure(StoreError::UnstorableNote,
        QStringLiteral("%1 kan inte sparas").arg(notesfile::fieldCaption(field)), int(field));
}

StoreResult CaseStore::saveNotes(const QString &controlCode, const CaseNotes &notes, CaseState state)
{
    Change change { Change::Kind::SaveNotes, { controlCode }, {}, {} };
    change.state = state;
    return run(change, [&]() -> StoreResult {
        if (StoreResult checked = checkNotes(notes); !checked)
            return checked;
        const Result<QString> path = paths::notesFile(controlCode);
        if (!path)
            return StoreResult::failure(
                StoreError::UnsafeName, QStringLiteral("Kontrollkoden kan inte bli ett filnamn"));
        if (StoreResult lib = missingLib(); !lib)
            return lib;
        // Saving what the file holds already is no change to the case's history.
        const Result<CaseNotes> before = notesfile::load(path.value());
        change.notesChanged = !before || before.value() != notes;
        if (const Status stored = notesfile::store(path.value(), notes); !stored)
            return unwritable(stored);
        return {};
    });
}

StoreResult CaseStore::saveNewCase(const RegisterEntry &entry, const CaseNotes &notes)
{
    Change change { Change::Kind::SaveCase, { entry[ControlCode] }, entry, {} };
    return run(change, [&entry, &notes]() -> StoreResult {
        if (StoreResult checked = checkNewCase(entry); !checked)
            return checked;
        if (StoreResult checked = checkNotes(notes); !checked)
            return checked;
        if (StoreResult lib = missingLib(); !lib)
            return lib;
        const QString dataPath = paths::caseDataFile(entry[ControlCode]).value();
        CaseRecord record;
        record.caseNumber = entry[CaseNumber];
        record.created = entry[Created];
        record.customerNumber = entry[CustomerNumber];
        record.customerName = entry[CustomerName];
        record.telephone = entry[Telephone];
        record.priority = entry[Priority];
        record.status = entry[CaseStatus];
        record.controlCode = entry[ControlCode];
        record.signature = entry[Signature];

        const bool dataFileExisted = fileio::exists(dataPath);
        if (const Status written = casedatafile::write(dataPath, record); !written)
            return unwritable(written);
        const QString notesPath = paths::notesFile(entry[ControlCode]).value();
        if (const Status stored = notesfile::store(notesPath, notes); !stored) {
            if (!dataFileExisted)
                (void)casedatafile::remove(dataPath);
            return unwritable(stored);
        }
        if (const Status appended = caseregister::appendPlain(paths::caseRegister(), entry); !appended) {
            // A data file without its register line would be a case that no list shows.
            if (!dataFileExisted)
                (void)casedatafile::remove(dataPath);
            (void)notesfile::remove(notesPath);
            return unwritable(appended);
        }
        return {};
    });
}

StoreResult CaseStore::replaceCase(
    const RegisterEntry &updated, const ListOrder &listOrder, WrittenRegister *written)
{
    Change change { Change::Kind::ReplaceCase, { updated[ControlCode] }, updated, {} };
    return run(change, [&]() -> StoreResult {
        // Characters that cannot be stored at all are refused before the file is read;
        // double quotes are allowed where the old line holds the same value.
        for (int f = 0; f < RegisterFieldCount; ++f) {
            const inputcheck::Problem problem = inputcheck::recordValue(updated[f]);
            if (problem != inputcheck::Problem::None && problem != inputcheck::Problem::DoubleQuote)
                return StoreResult::failure(
                    StoreError::UnstorableValue, QStringLiteral("Fält %1 kan inte sparas").arg(f + 1), f);
        }
        RegisterPlan plan;
        plan.drop = { caseKeyOf(updated) };
        plan.listOrder = &listOrder;
        plan.written = written;
        plan.lastLine = replacementLine(updated);
        plan.checkDropped = [&updated](const RegisterEntry &old) {
            return checkReplacement(updated, old);
        };
        const RegisterOutcome outcome = rewriteRegister(plan);
        change.before = outcome.dropped;
        return outcome.result;
    });
}

StoreResult CaseStore::removeCases(
    const QList<RegisterEntry> &cases, const ListOrder &listOrder, WrittenRegister *written)
{
    Change change { Change::Kind::RemoveCases, {}, {}, {} };
    for (const RegisterEntry &entry : cases)
        change.controlCodes << entry[ControlCode];
    return run(change, [&]() -> StoreResult {
        if (StoreResult lib = missingLib(); !lib)
            return lib;
        // What the removal is about to do is noted before the register changes: if it is
        // cut short anywhere after the rewrite, the clean-up at the next start still
        // deletes the files the removal promised to delete.
        const QDateTime now = QDateTime::currentDateTime();
        QList<QByteArray> intents;
        QStringList noted;
        for (const RegisterEntry &entry : cases) {
            if (caseFiles(entry[ControlCode]).isEmpty() || noted.contains(entry[ControlCode]))
                continue;
            noted << entry[ControlCode];
            intents << casehistory::formatLine(
                now, { casehistory::userName(), entry[CaseNumber], entry[CustomerName], entry[ControlCode] });
        }
        if (const Status recorded = removalintents::record(intents); !recorded)
            return unwritable(recorded);
        cutpoint::reached("intent recorded");
        const RegisterOutcome outcome = rewriteRegister(removalPlan(cases, listOrder, written));
        if (!outcome.result) {
            (void)removalintents::drop(noted);
            return outcome.result;
        }
        cutpoint::reached("register rewritten");
        // The register no longer names these cases; their files go now. One that cannot
        // be deleted stays behind unseen, which loses nothing.
        for (qsizetype i = 0; i < cases.size(); ++i) {
            if (!outcome.found.at(i))
                continue;
            const RegisterEntry &removed = outcome.dropped.at(i);
            change.before << removed;
            if (!removed[ControlCode].isEmpty() || !removed[CaseNumber].isEmpty())
                (void)casehistory::appendRemoved(
                    now, removed[CaseNumber], removed[CustomerName], removed[ControlCode]);
            cutpoint::reached("removal noted");
            for (const QString &file : caseFiles(cases.at(i)[ControlCode])) {
                if (fileio::exists(file)) {
                    (void)fileio::remove(file);
                    cutpoint::reached("case file deleted");
                }
            }
        }
        // A note left behind (the file could not be rewritten) is dropped by the
        // clean-up, which finds the removal done.
        (void)removalintents::drop(noted);
        return {};
    });
}

StoreResult CaseStore::addRegisterLine(const RegisterEntry &entry)
{
    Change change { Change::Kind::AddRegisterLine, { entry[ControlCode] }, entry, {} };
    return run(change, [&]() -> StoreResult {
        if (StoreResult checked = checkEntry(entry, nullptr); !checked)
            return checked;
        if (StoreResult lib = missingLib(); !lib)
            return lib;
        if (const Status appended = caseregister::appendQuoted(paths::caseRegister(), entry); !appended)
            return unwritable(appended);
        return {};
    });
}

StoreResult CaseStore::removeRegisterLines(
    const QList<RegisterEntry> &cases, const ListOrder &listOrder, WrittenRegister *written)
{
    Change change { Change::Kind::RemoveRegisterLines, {}, {}, {} };
    for (const RegisterEntry &entry : cases)
        change.controlCodes << entry[ControlCode];
    return run(change, [&]() -> StoreResult {
        const RegisterOutcome outcome = rewriteRegister(removalPlan(cases, listOrder, written));
        for (qsizetype i = 0; i < cases.size(); ++i) {
            if (outcome.found.value(i))
                change.before << outcome.dropped.at(i);
        }
        return outcome.result;
    });
}

StoreResult CaseStore::addArticleRow(const QString &controlCode, const ArticleRow &row, CaseState state)
{
    Change change { Change::Kind::AddArticleRow, { controlCode }, {}, { row } };
    change.state = state;
    return run(change, [&]() -> StoreResult {
        if (StoreResult checked = checkArticleRow(row); !checked)
            return checked;
        QString path;
        if (StoreResult found = articlePath(controlCode, path); !found)
            return found;
        if (const Status appended = articlefile::appendRow(path, row); !appended)
            return unwritable(appended);
        return {};
    });
}

StoreResult CaseStore::replaceArticleRow(
    const QString &controlCode, const ArticleRow &old, const ArticleRow &updated, CaseState state)
{
    Change change { Change::Kind::ReplaceArticleRow, { controlCode }, {}, { old, updated } };
    change.state = state;
    return run(change, [&]() -> StoreResult {
        if (StoreResult checked = checkArticleRow(updated); !checked)
            return checked;
        QString path;
        if (StoreResult found = articlePath(controlCode, path); !found)
            return found;
        const Result<ArticleLines> lines = readArticleLines(path);
        if (!lines)
            return StoreResult::failure(StoreError::Unreadable, lines.error());
        const qsizetype at = lines.value().rows.indexOf(old);
        if (at < 0)
            return StoreResult::failure(StoreError::NotFound, QStringLiteral("Raden finns inte i filen"));
        std::vector<bool> skip(static_cast<std::size_t>(lines.value().rows.size()), false);
        skip[static_cast<std::size_t>(at)] = true;
        return rewriteArticles(path, lines.value(), skip, &updated);
    });
}

StoreResult CaseStore::removeArticleRows(
    const QString &controlCode, const QList<ArticleRow> &removed, CaseState state)
{
    Change change { Change::Kind::RemoveArticleRows, { controlCode }, {}, removed };
    change.state = state;
    return run(change, [&]() -> StoreResult {
        QString path;
        if (StoreResult found = articlePath(controlCode, path); !found)
            return found;
        const Result<ArticleLines> lines = readArticleLines(path);
        if (!lines)
            return StoreResult::failure(StoreError::Unreadable, lines.error());
        const QList<ArticleRow> &rows = lines.value().rows;
        std::vector<bool> skip(static_cast<std::size_t>(rows.size()), false);
        for (const ArticleRow &row : removed) {
            qsizetype at = -1;
            for (qsizetype i = 0; i < rows.size() && at < 0; ++i) {
                if (!skip[static_cast<std::size_t>(i)] && rows.at(i) == row)
                    at = i;
            }
            if (at < 0)
                return StoreResult::failure(
                    StoreError::NotFound, QStringLiteral("En rad finns inte i filen"));
            skip[static_cast<std::size_t>(at)] = true;
        }
        return rewriteArticles(path, lines.value(), skip, nullptr);
    });
}

} // namespace lunora
