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
// Register rewrites (storage/registerrewrite.h) start from the file as it is on disk at
// that moment, not from the overview's list: lines the list does not know are kept,
// after the known ones, in file order. A line that the quoted form cannot carry (a
// double quote inside a value, written by an older copy in plain form) is written back
// with its own bytes.

#include "storage/notesfile.h"
#include "storage/records.h"
#include "storage/storetypes.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace lunora {

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
            Message,
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
        QString event {}; // Printout and Message: what the history says
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
    // the overview's rows; lines it does not name follow in file order. `written`, when
    // given, receives the register as written (see WrittenRegister); so do the removals'.
    static StoreResult replaceCase(
        const RegisterEntry &updated, const ListOrder &listOrder, WrittenRegister *written = nullptr);

    // The register without every line of these cases, then their files. NotFound
    // (nothing written or deleted) when none of them is in the register any more.
    // Files that cannot be deleted are passed over: the cases are gone from the register.
    static StoreResult removeCases(
        const QList<RegisterEntry> &cases, const ListOrder &listOrder, WrittenRegister *written = nullptr);

    // The overview's hidden actions: one quoted line appended, and lines taken out of
    // the register without touching the cases' files.
    static StoreResult addRegisterLine(const RegisterEntry &entry);
    static StoreResult removeRegisterLines(
        const QList<RegisterEntry> &cases, const ListOrder &listOrder, WrittenRegister *written = nullptr);

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
    // casehistory::printed() or savedAsPdf(), or labelsPrinted() or labelsSavedAsPdf().
    // The printout has happened already, so nothing here can undo it: a line that cannot
    // be written is noted in Errors\Historikfel.txt. CaseRemoved when a saved case is no
    // longer in the register: nothing is written, and the window says the case is gone.
    static StoreResult notePrintout(
        const QString &controlCode, const QString &event, CaseState state = CaseState::Unsaved);

    // A message sent to the customer or handed to the mail program, for the case's
    // history: `event` is casehistory::messageByEmail() or messageBySms(). Like a
    // printout it has happened already: a line that cannot be written is noted in
    // Errors\Historikfel.txt, and CaseRemoved says the case is gone.
    static StoreResult noteMessage(
        const QString &controlCode, const QString &event, CaseState state = CaseState::Unsaved);

    // Whether the register holds a line with this control code. Kept between calls and
    // read anew only when the register changed; for callers that hold the folder lock.
    static Result<bool> registerHolds(const QString &controlCode);

private:
    template <typename Body> static StoreResult run(Change &change, Body &&body);
    static void finished(const Change &change);
    static StoreResult noteEvent(
        Change::Kind kind, const QString &controlCode, const QString &event, CaseState state);
};

} // namespace lunora
