// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "app/startup.h"

#include <QDir>
#include <QRegularExpression>

namespace lunora::startup {

namespace {

// Qt's own command-line options that take a value ("-style fusion" or "-style=fusion").
// QApplication removes them from the arguments it hands on; they are let through here.
const QStringList QtOptionsWithValue = {
    QStringLiteral("platform"),
    QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),
    QStringLiteral("style"),
    QStringLiteral("stylesheet"),
    QStringLiteral("session"),
    QStringLiteral("display"),
    QStringLiteral("geometry"),
    QStringLiteral("title"),
    QStringLiteral("name"),
    QStringLiteral("qmljsdebugger"),
};
const QStringList QtOptionsAlone = {
    QStringLiteral("reverse"),
    QStringLiteral("widgetcount"),
    QStringLiteral("nograb"),
    QStringLiteral("dograb"),
    QStringLiteral("sync"),
};

CommandLine invalid(const QString &error)
{
    CommandLine line;
    line.action = CommandLine::Action::Invalid;
    line.error = error;
    return line;
}

QString paragraphs(const QString &text)
{
    QString out = text;
    out.replace(u'\n', QStringLiteral("\r\n"));
    return out;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == u"--help" || arg == u"-h" || arg == u"-?")
            return CommandLine { CommandLine::Action::Help, {}, {} };
        if (arg == u"--version")
            return CommandLine { CommandLine::Action::Version, {}, {} };
        if (arg == u"--data-folder") {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
                return invalid(QStringLiteral("Valet --data-folder behöver en mapp."));
            line.dataFolder = arguments.at(++i);
            continue;
        }
        if (arg.startsWith(u"--data-folder=")) {
            line.dataFolder = arg.mid(14);
            if (line.dataFolder.isEmpty())
                return invalid(QStringLiteral("Valet --data-folder behöver en mapp."));
            continue;
        }
        if (arg.startsWith(u'-') && arg.size() > 1) {
            // Qt accepts its options with one dash or two.
            QString name = arg.mid(arg.startsWith(u"--") ? 2 : 1);
            const qsizetype equals = name.indexOf(u'=');
            const bool hasValue = equals >= 0;
            if (hasValue)
                name.truncate(equals);
            if (QtOptionsWithValue.contains(name)) {
                if (!hasValue)
                    ++i; // its value; QApplication reports a missing one itself
                continue;
            }
            if (QtOptionsAlone.contains(name) && !hasValue)
                continue;
            return invalid(QStringLiteral("Okänt val: %1").arg(arg));
        }
        return invalid(QStringLiteral("Okänt argument: %1").arg(arg));
    }
    return line;
}

QString helpText(InstallLayout layout, const QString &templateFolder)
{
    QString text
        = QStringLiteral("Användning: lunora [--data-folder MAPP]\n"
                         "\n"
                         "Lunora är ett ärenderegister för disken i en butik eller serviceverkstad.\n"
                         "\n"
                         "Val:\n"
                         "  --data-folder MAPP  använd MAPP som datamapp\n"
                         "  -h, --help          visa den här hjälpen och avsluta\n"
                         "  --version           visa programmets version och avsluta\n"
                         "\n");
    if (layout == InstallLayout::System) {
        text += QStringLiteral("Datamappen är MAPP om --data-folder anges, annars mappen i miljövariabeln\n"
                               "LUNORA_DATA, annars $XDG_DATA_HOME/lunora (vanligen ~/.local/share/lunora).\n"
                               "En datamapp som saknas eller är tom skapas ur mallen i\n"
                               "%1.\n")
                    .arg(QDir::toNativeSeparators(templateFolder));
    } else {
        text += QStringLiteral(
            "Datamappen är MAPP om --data-folder anges, annars mappen där programmet ligger.\n");
    }
    text
        += QStringLiteral("\n"
                          "Den första administratören skapas med lunora-adduser (se lunora-adduser --help).\n"
                          "Qt:s egna val, till exempel -platform och -style, tas också emot.\n");
    return text;
}

QString versionText()
{
    return QStringLiteral("Lunora %1\n").arg(QStringLiteral(LUNORA_VERSION));
}

QString dataFolderErrorText(const DataFolderChoice &choice, InstallLayout layout)
{
    const QString how = layout == InstallLayout::System
        ? QStringLiteral("Välj en annan datamapp med --data-folder eller miljövariabeln LUNORA_DATA.")
        : QStringLiteral("Välj en annan datamapp med --data-folder.");
    const QString folder = QDir::toNativeSeparators(choice.path);
    const QString detail = QDir::toNativeSeparators(choice.detail);
    switch (choice.error) {
    case DataFolderError::None:
        return QString();
    case DataFolderError::NotAFolder:
        return paragraphs(
            QStringLiteral("Datamappen kan inte användas:\n%1\när ingen mapp.\n\n%2").arg(folder, how));
    case DataFolderError::Missing:
        return paragraphs(QStringLiteral("Datamappen\n%1\nfinns inte.\n\n%2").arg(folder, how));
    case DataFolderError::CannotCreate:
        return paragraphs(QStringLiteral("Datamappen\n%1\nkunde inte skapas: %2 kunde inte skrivas.\n\n%3")
                              .arg(folder, detail, how));
    case DataFolderError::NotWritable:
        return paragraphs(
            QStringLiteral("Lunora kan inte skriva i datamappen\n%1\n\nMappen %2 är skrivskyddad. "
                           "Ge dig själv skrivrätt till den, eller välj en annan datamapp.\n%3")
                .arg(folder, detail, how));
    }
    return QString();
}

QString startNotes(const DataFolderChoice &choice, bool hasUser, const QString &addUserProgram)
{
    const QString folder = QDir::toNativeSeparators(choice.path);
    QStringList notes;
    if (choice.created) {
        notes += QStringLiteral("Lunoras datamapp har skapats i\n%1\n\n"
                                "Där sparas ärenden, användare och företagets uppgifter. "
                                "Säkerhetskopiera hela mappen för att spara allt.")
                     .arg(folder);
    }
    if (!hasUser) {
        notes += QStringLiteral("Det finns ännu ingen användare i datamappen\n%1\n\n"
                                "Skapa den första administratören i ett terminalfönster:\n\n"
                                "%2 --data-folder %3 ANVÄNDAR-ID \"Förnamn Efternamn\"\n\n"
                                "Programmet frågar efter lösenordet. Logga sedan in med det användar-ID "
                                "och lösenord du angav.")
                     .arg(folder, shellQuoted(QDir::toNativeSeparators(addUserProgram)), shellQuoted(folder));
    }
    return paragraphs(notes.join(QStringLiteral("\n\n")));
}

QString shellQuoted(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:+,@%=-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

} // namespace lunora::startup
