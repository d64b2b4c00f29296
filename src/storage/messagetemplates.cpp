// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/messagetemplates.h"

#include "storage/accounts.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/folderlock.h"
#include "storage/ini.h"
#include "storage/notesfile.h"
#include "storage/numbers.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace lunora {

namespace {

const QString TextKey = QStringLiteral("Text");

// The line that starts at pos, without its line end, and pos past it (CR LF, CR or LF).
QByteArrayView nextLine(QByteArrayView file, qsizetype &pos)
{
    qsizetype end = pos;
    while (end < file.size() && file[end] != '\r' && file[end] != '\n')
        ++end;
    const QByteArrayView line = file.sliced(pos, end - pos);
    pos = end;
    if (pos < file.size() && file[pos] == '\r')
        ++pos;
    if (pos < file.size() && file[pos] == '\n')
        ++pos;
    return line;
}

// The INI engine takes every line holding '[' for a section line; a well-formed one
// names its section, any other ends the section before it.
bool isSectionLine(QByteArrayView line)
{
    return line.contains('[');
}

QByteArrayView sectionName(QByteArrayView line)
{
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
        return line.sliced(1, line.size() - 2);
    return {};
}

// A text becomes one INI value: no line end, and no '[' that would make the line a
// section line.
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'[')
            out += QStringLiteral("\\b");
        else if (c != u'\r')
            out += c;
    }
    return out;
}

QString unescaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        out += next == u'n' ? QChar(u'\n') : next == u'b' ? QChar(u'[') : next;
    }
    return out;
}

QList<QByteArray> foldedNames(const QList<MessageTemplate> &templates)
{
    QList<QByteArray> names;
    for (const MessageTemplate &t : templates)
        names << cp1252::toLower(cp1252::encode(t.name));
    return names;
}

// The file without the sections whose names are not kept; lines before the first
// section and the lines of kept sections stay as they are.
QByteArray withoutRemovedSections(QByteArrayView file, const QList<QByteArray> &kept)
{
    QByteArray out;
    bool keeping = true;
    qsizetype pos = 0;
    while (pos < file.size()) {
        const qsizetype start = pos;
        const QByteArrayView line = nextLine(file, pos);
        if (isSectionLine(line)) {
            const QByteArrayView name = sectionName(line);
            keeping = name.isNull() || kept.contains(cp1252::toLower(name));
        }
        if (keeping)
            out += file.sliced(start, pos - start);
    }
    return out;
}

} // namespace

QString messagetemplates::filePath()
{
    return DataFolder::path(u"\\Lib\\Meddelanden.txt");
}

QList<MessageTemplate> messagetemplates::builtIn()
{
    return {
        { QStringLiteral("Klar för hämtning"),
            QStringLiteral("Hej {namn}!\n\nNu är ert ärende {ärende} klart för hämtning.\nEnhet: {enhet}\n"
                           "{summa}\n\nVälkommen!\n{företag}") },
        { QStringLiteral("Behöver ert besked"),
            QStringLiteral("Hej {namn}!\n\nVi behöver ert besked om ärende {ärende} innan vi går vidare.\n"
                           "Enhet: {enhet}\nRing oss eller svara på detta meddelande.\n\n"
                           "Med vänliga hälsningar\n{företag}") },
    };
}

QList<MessageTemplate> messagetemplates::parse(QByteArrayView bytes)
{
    QList<MessageTemplate> templates;
    QList<QByteArray> seen;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const QByteArrayView name = sectionName(nextLine(bytes, pos));
        if (name.isEmpty() || seen.contains(cp1252::toLower(name)))
            continue;
        seen << cp1252::toLower(name);
        const QByteArray value = ini::readValue(bytes, name, cp1252::encode(TextKey));
        templates.append({ cp1252::decode(name), unescaped(cp1252::decode(value)) });
    }
    return templates;
}

Result<QList<MessageTemplate>> messagetemplates::load()
{
    const QString path = filePath();
    if (!QFileInfo::exists(path))
        return builtIn();
    const Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    return parse(bytes.value());
}

QString messagetemplates::nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("empty name");
    if (name.contains(u'[') || name.contains(u']') || name.contains(u'\r') || name.contains(u'\n'))
        return QStringLiteral("brackets or line breaks in the name");
    if (!cp1252::canEncode(name))
        return QStringLiteral("characters outside Windows-1252 in the name");
    return {};
}

Result<QByteArray> messagetemplates::apply(QByteArrayView file, const QList<MessageTemplate> &templates)
{
    QList<IniWrite> writes;
    for (const MessageTemplate &t : templates) {
        if (const QString problem = nameProblem(t.name); !problem.isEmpty())
            return Status::failure(problem);
        if (!cp1252::canEncode(t.text))
            return Status::failure(QStringLiteral("characters outside Windows-1252 in ") + t.name);
        writes.append({ t.name, TextKey, escaped(t.text) });
    }
    return ini::writeValues(withoutRemovedSections(file, foldedNames(templates)), writes);
}

StoreResult messagetemplates::save(const QList<MessageTemplate> &templates)
{
    if (const Result<QByteArray> checked = apply({}, templates); !checked)
        return StoreResult::failure(StoreError::UnstorableValue, checked.error());
    const FolderLock lock = FolderLock::acquire();
    if (!lock) {
        const StoreError kind
            = lock.error() == FolderLock::Error::Unavailable ? StoreError::Unwritable : StoreError::Busy;
        return StoreResult::failure(kind, lock.errorText());
    }
    // From the file as it is now: another desk may have changed it since it was shown.
    const QString path = filePath();
    QByteArray current;
    if (QFileInfo::exists(path)) {
        Result<QByteArray> bytes = fileio::readAll(path);
        if (!bytes)
            return StoreResult::failure(StoreError::Unreadable, bytes.error());
        current = bytes.takeValue();
    }
    const Result<QByteArray> next = apply(current, templates);
    if (!next)
        return StoreResult::failure(StoreError::UnstorableValue, next.error());
    if (const Status saved = fileio::saveAll(path, next.value()); !saved)
        return StoreResult::failure(StoreError::Unwritable, saved.error());
    return {};
}

QString messagetemplates::totalText(double total, const QLocale &locale)
{
    // A credit is worded as the case window words it, by the amount owed.
    if (total < 0.0)
        return QStringLiteral("Er tillgodo: ") + numbers::formatTwoDecimals(-total, locale)
            + QStringLiteral(" kr");
    return QStringLiteral("Att betala: ") + numbers::formatTwoDecimals(total, locale) + QStringLiteral(" kr");
}

double messagetemplates::caseTotal(const QList<ArticleRow> &rows)
{
    double total = 0.0;
    for (const ArticleRow &row : rows) {
        if (const std::optional<double> value = numbers::plainDecimal(row[Sum]))
            total += *value;
    }
    // Rounded to the cents shown, so that -0.004 is no credit.
    return std::round(total * 100.0) / 100.0;
}

QString messagetemplates::fill(const QString &text, const MessageValues &values, const QLocale &locale)
{
    const QList<std::pair<QString, QString>> placeholders {
        { QStringLiteral("{namn}"), values.customerName.trimmed() },
        { QStringLiteral("{ärende}"), values.caseNumber.trimmed() },
        { QStringLiteral("{summa}"), totalText(values.total, locale) },
        { QStringLiteral("{företag}"), values.shopName.trimmed() },
        { QStringLiteral("{enhet}"), values.device.trimmed() },
    };
    QStringList lines;
    for (QString line : text.split(u'\n')) {
        bool anyPlaceholder = false;
        bool anyValue = false;
        for (const auto &[placeholder, value] : placeholders) {
            if (!line.contains(placeholder))
                continue;
            anyPlaceholder = true;
            anyValue = anyValue || !value.isEmpty();
            line.replace(placeholder, value);
        }
        if (!anyPlaceholder || anyValue)
            lines << line;
    }
    return lines.join(u'\n');
}

MessageValues messagetemplates::valuesFor(const RegisterEntry &entry, double total)
{
    MessageValues values;
    values.customerName = entry[CustomerName];
    values.caseNumber = entry[CaseNumber];
    values.total = total;
    if (const Result<QStringList> lines = companyfile::readNameLines(); lines)
        values.shopName = lines.value().value(0);
    if (const Result<QString> path = paths::notesFile(entry[ControlCode]); path) {
        if (const Result<CaseNotes> notes = notesfile::load(path.value()); notes)
            values.device = notes.value().device;
    }
    return values;
}

messagetemplates::Contact messagetemplates::contactFor(const RegisterEntry &entry)
{
    Contact contact;
    contact.mobile = entry[Telephone].trimmed();
    if (const std::optional<CustomerRecord> card = customerfile::find(entry[Telephone])) {
        contact.email = card->email.trimmed();
        if (!card->phone2.trimmed().isEmpty())
            contact.mobile = card->phone2.trimmed();
    }
    return contact;
}

} // namespace lunora
