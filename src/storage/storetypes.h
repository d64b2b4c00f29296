// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// What the case store and the register rewrite share: the result every change of the
// case files returns, and the keys by which a case is found in the register and in the
// overview's order. Both include this; the rewrite never needs the store itself.

#include "storage/caseregister.h"
#include "storage/filestamp.h"
#include "storage/records.h"
#include "storage/status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <algorithm>
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

// Whether a register line's key fields name the case of `key` (a CaseKey or a
// ListOrder::Row): by its control code, or by case number and date where there is none.
template <typename Key> bool isCaseOf(const caseregister::Table::KeyFields &fields, const Key &key)
{
    return fields.controlCode == key.controlCode
        && (!key.controlCode.isEmpty()
            || (fields.caseNumber == key.caseNumber && fields.created == key.created));
}

// The overview's rows in the list's order, as a rewrite of the register takes them: the
// key of each row's case. A row of the table the order holds is kept by its number, any
// other as views into the keys the order was made from: copying 100,000 keys costs more
// than the rest of a removal. A ListOrder is made for one call and not kept.
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
        m_views.push_back(rowOf(controlCode, caseNumber, created));
        m_rows.push_back(-static_cast<qint32>(m_views.size()));
    }
    // A row of the held table (see hold()), by its number: four bytes a row, where views
    // would take 48, and its key fields are found when the row is looked at.
    void appendHeld(qsizetype row) { m_rows.push_back(static_cast<qint32>(row)); }
    // A key the order keeps a copy of, for a row whose bytes the list does not hold.
    void appendCopy(const CaseKey &key);
    // The table the views point into, held by the order as well: a call may wait for
    // the folder lock with a box open, and a list that reloads meanwhile frees its own.
    void hold(const caseregister::Table &table) { m_held = table; }
    const caseregister::Table &held() const { return m_held; }

    qsizetype size() const { return static_cast<qsizetype>(m_rows.size()); }
    Row at(qsizetype i) const;
    // The row of the held table the i-th row is, or -1 for a key kept otherwise.
    qint32 heldRow(qsizetype i) const { return std::max(m_rows[static_cast<std::size_t>(i)], qint32(-1)); }

private:
    static Row rowOf(QByteArrayView controlCode, QByteArrayView caseNumber, QByteArrayView created)
    {
        if (controlCode.isEmpty())
            return { controlCode, caseNumber, created };
        return { controlCode, {}, {} };
    }

    // A row of m_held (>= 0), or -1 - its place in m_views.
    std::vector<qint32> m_rows;
    std::vector<Row> m_views;
    std::deque<CaseKey> m_copies;
    caseregister::Table m_held;
};

// The register as a rewrite wrote it, handed back to the list whose table the file was,
// byte for byte, when the rewrite began: the list takes it over instead of reading the
// file anew, and its next rewrite finds the file beginning with the list's table again.
// Left unmade (`made` false) when the file held anything else: another desk's change
// then reaches the list by the usual read.
struct WrittenRegister
{
    bool made = false;
    caseregister::Table before; // the list's table the rewrite started from
    caseregister::Table table; // the bytes written, with their line starts
    // Made on the worker, so that the list's swap is one pass over its rows: for each
    // line of `before`, its line in `table` (-1 when it was not written: a case taken
    // out), and the lines of `table` that no line of `before` became (the new last line).
    std::vector<qint32> lineOf;
    std::vector<qint32> newLines;
    FileStamp stamp; // the file just after it was put in place
};

// The failures both report the same way: a data folder without its Lib folder (none
// when it is there), and a file that could not be written.
StoreResult missingLib();
StoreResult unwritable(const Status &status);

} // namespace lunora
