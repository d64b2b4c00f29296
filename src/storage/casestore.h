// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The case store: the one place where the files of a case change.
//
// Windows never write case files themselves. They call one of the operations below,
// which checks its input, writes, undoes what it began when a step fails, and returns
// a StoreResult: the window branches on its kind and words the Swedish message.
//
// Extending the store:
// - Every public operation runs through CaseStore::run(). Whatever must wrap every
//   change (holding a lock on the folder, re-reading a file under that lock) goes
//   there, and whatever must follow every successful change (the history line naming
//   the signed-in user, storage/casehistory.h) goes into CaseStore::finished(), which
//   runs still under the lock. The Change handed to both says what is being done to
//   which case; the body fills in what stood in the files before.
// - A new file that belongs to a case is named in caseFiles(): removing a case takes
//   away every file listed there. A file to be written with a new case goes into
//   saveNewCase() beside the data file, and is taken away again with it on failure.
// - A new operation gets a Change::Kind, runs its body through run() and returns a
//   StoreResult whose kind is one of StoreError (add a kind when no existing one says
//   what went wrong; windows switch over the kinds they know).
//
// Register rewrites start from the file as it is on disk at that moment, not from the
// overview's list: lines the list does not know are kept, after the known ones, in
// file order. A line that the quoted form cannot carry (a double quote inside a value,
// written by an older copy in plain form) is written back with its own bytes.

#include "storage/caseregister.h"
#include "storage/notesfile.h"
#include "storage/records.h"
#include "storage/status.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace lunora {

enum class StoreError
{
    None,
    NotFound, // the case or article row is no longer in its file; nothing was written
    Unreadable, // a file exists but cannot be read; nothing was written
    Unwritable, // a file cannot be written (read-only, locked, disk full); all as before
    UnstorableValue, // a value the format cannot carry; StoreResult::field says which
    UnsafeName, // the control code is no plain file name
    MissingFolder, // the data folder has no Lib folder
    UnstorableNote, // a note the notes file cannot carry; StoreResult::field is a notesfile::Field
    Busy, // another desk held the folder lock for 10 s, or the user gave up waiting
          // ("Avbryt"); nothing was written. Windows show showFolderBusy() (gui/lockwaitbox.h).
    CaseRemoved, // a saved case is no longer in the register (removed at another desk);
                 // nothing was written
};

// Whether a case's files may be changed without its register line. A saved case's
// changes first check, under the lock, that the register still holds its control
// code. A new case, not saved yet, has no line: its rows and notes are written before
// it is (they stay with the case when the window closes unsaved).
enum class CaseState
{
    Unsaved,
    Saved,
};

struct [[nodiscard]] StoreResult
{
    StoreError kind = StoreError::None;
    // For UnstorableValue: the RegisterField or ArticleField that holds the value.
    int field = -1;
    // What went wrong, for logs and tests; never shown as it stands.
    QString message;

    bool ok() const { return kind == StoreError::None; }
    explicit operator bool() const { return ok(); }
    static StoreResult failure(StoreError kind, QString message, int field = -1);
};

// Where a case stands in the overview's list: its control code and, for cases without
// one (written by hand or by very old copies), its case number and date as well. The
// bytes are those of the register file (Windows-1252).
struct CaseKey
{
    QByteArray controlCode;
    QByteArray caseNumber; // only when controlCode is empty
    QByteArray created; // only when controlCode is empty
    friend bool operator==(const CaseKey &, const CaseKey &) = default;
};
CaseKey caseKeyOf(const RegisterEntry &entry);
CaseKey caseKeyOf(QByteArrayView controlCode, QByteArrayView caseNumber, QByteArrayView created);

// The overview's rows in the list's order, as a rewrite of the register takes them: the
// key of each row's case. The keys are views into the bytes the list holds (or into the
// keys the order was made from), since copying 100,000 keys costs more than the rest of
// a removal: a ListOrder is made for one call and not kept.
class ListOrder
{
public:
    struct Row
    {
        QByteArrayView controlCode;
        QByteArrayView caseNumber; // only when controlCode is empty
        QByteArrayView created; // only when controlCode is empty
    };

    ListOrder() = default;
    // Views into `keys`, which must outlive the order (a temporary passed to a call
    // does).
    ListOrder(const QList<CaseKey> &keys); // NOLINT(google-explicit-constructor)

    void reserve(qsizetype size) { m_rows.reserve(static_cast<std::size_t>(size)); }
    // Views into bytes that stay unchanged while the order is used.
    void append(QByteArrayView controlCode, QByteArrayView caseNumber, QByteArrayView created)
    {
        if (controlCode.isEmpty())
            m_rows.push_back({ controlCode, caseNumber, created });
        else
            m_rows.push_back({ controlCode, {}, {} });
    }
    // A key the order keeps a copy of, for a row whose bytes the list does not hold.
    void appendCopy(const CaseKey &key);
    // The table the views point into, held by the order as well: a call may wait for
    // the folder lock with a box open, and a list that reloads meanwhile frees its own.
    void hold(const caseregister::Table &table) { m_held = table; }

    qsizetype size() const { return static_cast<qsizetype>(m_rows.size()); }
    const Row &at(qsizetype i) const { return m_rows[static_cast<std::size_t>(i)]; }

private:
    std::vector<Row> m_rows;
    std::deque<CaseKey> m_copies;
    caseregister::Table m_held;
};

// The files of a case, by control code; none for a code that is no plain file name.
QStringList caseFiles(const QString &controlCode);

class CaseStore final
{
public:
    // What an operation is about to do, for run() and finished().
    struct Change
    {
        enum class Kind
        {
            SaveCase,
            ReplaceCase,
            RemoveCases,
            AddRegisterLine,
            RemoveRegisterLines,
            AddArticleRow,
            ReplaceArticleRow,
            RemoveArticleRows,
            SaveNotes,
            Printout,
        };
        Kind kind;
        QStringList controlCodes; // the cases concerned
        RegisterEntry entry {}; // SaveCase and ReplaceCase: the line written
        QList<ArticleRow> rows; // article operations: the rows added, replaced or removed
        // Filled in by the operation from what the files held before it wrote: for
        // ReplaceCase the case's old line; for RemoveCases and RemoveRegisterLines one
        // line per case taken out (none for a case the register no longer held).
        QList<RegisterEntry> before {};
        bool notesChanged = true; // SaveNotes: false when the file held these notes already
        QString event {}; // Printout: what the history says
        CaseState state = CaseState::Unsaved; // Saved: run() refuses a case removed meanwhile
    };

    // A first check of a case's values before anything is asked or written (the same
    // check saveNewCase and replaceCase make). UnstorableValue names the first field.
    static StoreResult checkNewCase(const RegisterEntry &entry);
    // A changed case may keep a double quote that its old line (`original`) holds in the
    // same field: older copies wrote such lines, and the case must stay changeable.
    static StoreResult checkReplacement(const RegisterEntry &entry, const RegisterEntry &original);
    static StoreResult checkArticleRow(const ArticleRow &row);

    // A new case: its data file, then its line appended to the register in plain form.
    // When the line cannot be added the data file is taken away again.
    // The case's notes (device, serial number, fault) are written with it, beside the
    // data file, and taken away with it when the line cannot be added.
    static StoreResult saveNewCase(const RegisterEntry &entry, const CaseNotes &notes = {});

    // The notes of a case, alone: nothing else of the case changes. Empty notes take the
    // notes file away. UnstorableNote names the field a character cannot be stored in.
    static StoreResult checkNotes(const CaseNotes &notes);
    static StoreResult saveNotes(
        const QString &controlCode, const CaseNotes &notes, CaseState state = CaseState::Unsaved);

    // The register without every line of the case (found by its key), in the list's
    // order, with the new line last; in one atomic rewrite. NotFound (nothing written)
    // when the register holds no line of the case any more. `listOrder` is the order of
    // the overview's rows; lines it does not name follow in file order.
    static StoreResult replaceCase(const RegisterEntry &updated, const ListOrder &listOrder);

    // The register without every line of these cases, then their files. NotFound
    // (nothing written or deleted) when none of them is in the register any more.
    // Files that cannot be deleted are passed over: the cases are gone from the register.
    static StoreResult removeCases(const QList<RegisterEntry> &cases, const ListOrder &listOrder);

    // The overview's hidden actions: one quoted line appended, and lines taken out of
    // the register without touching the cases' files.
    static StoreResult addRegisterLine(const RegisterEntry &entry);
    static StoreResult removeRegisterLines(const QList<RegisterEntry> &cases, const ListOrder &listOrder);

    // Article rows of the case with the given control code. Rows are found in the file
    // by their values: `old` and `removed` are rows as the window shows them.
    // CaseRemoved (nothing written) for a saved case that another desk removed.
    static StoreResult addArticleRow(
        const QString &controlCode, const ArticleRow &row, CaseState state = CaseState::Unsaved);
    // The first line holding `old` leaves its place and `updated` becomes the last line.
    static StoreResult replaceArticleRow(const QString &controlCode, const ArticleRow &old,
        const ArticleRow &updated, CaseState state = CaseState::Unsaved);
    static StoreResult removeArticleRows(
        const QString &controlCode, const QList<ArticleRow> &removed, CaseState state = CaseState::Unsaved);

    // A printout of the case (on paper or as a PDF file) for its history: `event` is
    // casehistory::printed() or savedAsPdf(). The printout has happened already, so
    // nothing here can undo it: a line that cannot be written is noted in
    // Errors\Historikfel.txt. CaseRemoved when a saved case is no longer in the register:
    // nothing is written, and the window says the case is gone.
    static StoreResult notePrintout(
        const QString &controlCode, const QString &event, CaseState state = CaseState::Unsaved);

    // Whether the register holds a line with this control code. Kept between calls and
    // read anew only when the register changed; for callers that hold the folder lock.
    static Result<bool> registerHolds(const QString &controlCode);

private:
    template <typename Body> static StoreResult run(Change &change, Body &&body);
    static void finished(const Change &change);
};

} // namespace lunora
