// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/casehistory.h"

#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/session.h"

#include <QFileInfo>

namespace lunora::casehistory {

namespace {

const QString TimePattern = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Article number, description, quantity, unit and unit price, as one reads them aloud;
// the sum follows from them and empty fields are left out.
QString rowText(const ArticleRow &row)
{
    QStringList parts;
    for (int f : { ArticleNumber, Description, Quantity, Unit, UnitPrice }) {
        const QString value = row[f].simplified();
        if (!value.isEmpty())
            parts << value;
    }
    return parts.isEmpty() ? QStringLiteral("(tom rad)") : parts.join(u' ');
}

QString valueText(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("(tomt)") : value;
}

QString oneField(QString value)
{
    for (QChar &c : value) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return value;
}

// Each lost line goes to Historikfel.txt with the file it was meant for and the reason,
// so that it can still be read there. A failure to write that as well has nowhere left
// to go.
void noteLost(
    const QDateTime &when, const QString &file, const QList<QStringList> &lines, const QString &reason)
{
    QByteArray notes;
    for (const QStringList &fields : lines)
        notes
            += formatLine(when, QStringList { QFileInfo(file).fileName() } + fields + QStringList { reason });
    (void)fileio::appendLine(paths::historyErrorLog(), notes);
}

Status appendLines(const QString &path, const QDateTime &when, const QList<QStringList> &lines)
{
    QByteArray bytes;
    for (const QStringList &fields : lines)
        bytes += formatLine(when, fields);
    const Status appended = fileio::appendLine(path, bytes);
    if (!appended)
        noteLost(when, path, lines, appended.error());
    return appended;
}

} // namespace

QString created()
{
    return QStringLiteral("Skapat");
}

QString messageByEmail(const QString &templateName)
{
    return QStringLiteral("Meddelande via e-post: ") + templateName;
}

QString messageBySms(const QString &number, const QString &templateName)
{
    return QStringLiteral("SMS till ") + number + QStringLiteral(": ") + templateName;
}

bool isMessage(QStringView event)
{
    return event.startsWith(u"Meddelande via e-post: ") || event.startsWith(u"SMS till ");
}

QString printed()
{
    return QStringLiteral("Utskrift");
}

QString savedAsPdf()
{
    return QStringLiteral("Sparad som PDF");
}

QString labelsPrinted(int count)
{
    return QStringLiteral("Etikett utskriven (%1 st)").arg(count);
}

QString labelsSavedAsPdf(int count)
{
    return QStringLiteral("Etikett sparad som PDF (%1 st)").arg(count);
}

QString notesChanged()
{
    return QStringLiteral("Anteckningar ändrade");
}

QString rowAdded(const ArticleRow &row)
{
    return QStringLiteral("Rad tillagd: ") + rowText(row);
}

QString rowChanged(const ArticleRow &old, const ArticleRow &updated)
{
    return QStringLiteral("Rad ändrad: ") + rowText(old) + QStringLiteral(" till ") + rowText(updated);
}

QString rowRemoved(const ArticleRow &row)
{
    return QStringLiteral("Rad borttagen: ") + rowText(row);
}

QStringList replaced(const RegisterEntry &before, const RegisterEntry &after)
{
    static const struct
    {
        RegisterField field;
        const char16_t *what;
    } Fields[] = {
        { CustomerNumber, u"Kundnummer ändrat" },
        { CustomerName, u"Namn ändrat" },
        { Telephone, u"Telefon ändrad" },
        { Priority, u"Prioritet ändrad" },
        { CaseStatus, u"Status ändrad" },
        { Signature, u"Författare ändrad" },
    };
    QStringList events;
    for (const auto &[field, what] : Fields) {
        if (before[field] == after[field])
            continue;
        events << QString::fromUtf16(what) + QStringLiteral(" från ") + valueText(before[field])
                + QStringLiteral(" till ") + valueText(after[field]);
    }
    if (events.isEmpty())
        events << QStringLiteral("Uppdaterat");
    return events;
}

QString registerLineAdded()
{
    return QStringLiteral("Tillagt i ärendelistan");
}

QString registerLineRemoved()
{
    return QStringLiteral("Borttaget ur ärendelistan, filerna finns kvar");
}

QString userName()
{
    const SignedInUser &user = session::user();
    if (!user.realName.isEmpty())
        return user.realName;
    if (!user.userId.isEmpty())
        return user.userId;
    return QStringLiteral("(okänd)");
}

QByteArray formatLine(const QDateTime &when, const QStringList &fields)
{
    QString line = when.toString(TimePattern);
    for (const QString &field : fields)
        line += u'\t' + oneField(field);
    return cp1252::encode(line) + QByteArrayLiteral("\r\n");
}

QList<HistoryEntry> parse(QByteArrayView bytes)
{
    QList<HistoryEntry> entries;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QString line = cp1252::decode(bytes.sliced(start, end - start));
        // CR LF is one line end; a lone CR or LF (a file edited by hand) is one as well.
        start = end + 1;
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            ++start;
        const qsizetype firstTab = line.indexOf(u'\t');
        if (firstTab < 0)
            continue;
        HistoryEntry entry;
        entry.time = line.left(firstTab);
        const qsizetype secondTab = line.indexOf(u'\t', firstTab + 1);
        if (secondTab < 0) {
            entry.user = line.mid(firstTab + 1);
        } else {
            entry.user = line.mid(firstTab + 1, secondTab - firstTab - 1);
            entry.event = line.mid(secondTab + 1);
        }
        entries << entry;
    }
    return entries;
}

Result<QList<HistoryEntry>> load(const QString &path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return QList<HistoryEntry>();
    const Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    return parse(bytes.value());
}

Status append(const QString &controlCode, const QDateTime &when, const QStringList &events)
{
    // A case without a control code (written by hand or by a very old copy) has no
    // files of its own, and no history either.
    if (events.isEmpty() || controlCode.isEmpty())
        return {};
    const QString user = userName();
    QList<QStringList> lines;
    for (const QString &event : events)
        lines << QStringList { user, event };
    const Result<QString> path = paths::historyFile(controlCode);
    if (!path) {
        noteLost(when, controlCode + QStringLiteral("_Logg.txt"), lines, path.error());
        return path.status();
    }
    return appendLines(path.value(), when, lines);
}

Status appendRemoved(
    const QDateTime &when, const QString &caseNumber, const QString &customerName, const QString &controlCode)
{
    return appendLines(
        paths::removedCasesFile(), when, { { userName(), caseNumber, customerName, controlCode } });
}

} // namespace lunora::casehistory
