// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// lunora-adduser: creates a user file in the data folder from the command line, so that
// a new installation gets its first administrator. The program itself has no built-in
// account; after this, further users are created in the program by an administrator.

#include "app/runasowner.h"
#include "backup/restorerecovery.h"
#include "storage/accounts.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/datafolderchoice.h"
#include "storage/passwords.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

enum ExitCode
{
    Done = 0,
    WriteFailed = 1,
    BadArguments = 2,
    AlreadyExists = 3,
    BadInput = 4,
};

const char *const UsageHead
    = "Användning: lunora-adduser [--data-folder MAPP] [--index 0|9] [--force] ANVÄNDAR-ID \"Riktigt namn\"\n"
      "           lunora-adduser [--data-folder MAPP] --protect\n"
      "\n"
      "Skapar användarfilen Lib/User/<ANVÄNDAR-ID>.ini i Lunoras datamapp.\n"
      "Lösenordet frågas efter två gånger utan att visas. Kommer indata inte från en\n"
      "terminal läses lösenordet från första raden på standard in.\n"
      "\n";
const char *const UsagePortable
    = "  --data-folder MAPP  datamappen (standard: mappen där lunora-adduser ligger)\n";
// A system copy finds the same data folder as the program, and makes it from the
// installed template when it does not exist yet.
const char *const UsageSystem
    = "  --data-folder MAPP  datamappen (standard: miljövariabeln LUNORA_DATA, annars\n"
      "                      $XDG_DATA_HOME/lunora, som skapas om den saknas)\n";
const char *const UsageTail
    = "  --index 0|9         behörighetsindex: 0 = administratör (standard), 9 = normal användare\n"
      "  --force             skriv över en användare som redan finns\n"
      "  --protect           skydda lösenorden i alla användarfiler så att ingen kan läsa dem;\n"
      "                      äldre versioner av Lunora kan sedan inte logga in användarna\n";

std::string usage()
{
    const bool system = lunora::builtLayout() == lunora::InstallLayout::System;
    return std::string(UsageHead) + (system ? UsageSystem : UsagePortable) + UsageTail;
}

termios s_savedTerminal {};
bool s_echoOff = false;

void restoreEcho()
{
    if (s_echoOff) {
        tcsetattr(STDIN_FILENO, TCSANOW, &s_savedTerminal);
        s_echoOff = false;
    }
}

void onInterrupt(int signal)
{
    restoreEcho();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void say(const QString &text)
{
    std::cerr << text.toLocal8Bit().constData() << std::flush;
}

// The longest line read from standard input. A password is at most 15 characters; the
// limit only keeps a runaway input (a file without line ends piped in) from being read
// whole into memory.
constexpr std::size_t MaxLineBytes = 4096;

enum class Line
{
    Read,
    Missing,
    TooLong,
    HasNul,
    Mismatch, // the terminal's two entries differ
};

// Reads one line, byte by byte, and stops at once at a NUL or when the line grows past
// MaxLineBytes: neither can be a password, and what follows is not read at all.
Line readLine(QString &text)
{
    std::string line;
    int c = EOF;
    while ((c = std::cin.get()) != EOF && c != '\n') {
        if (c == '\0')
            return Line::HasNul;
        if (line.size() >= MaxLineBytes)
            return Line::TooLong;
        line.push_back(static_cast<char>(c));
    }
    if (c == EOF && line.empty())
        return Line::Missing;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    text = QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size()));
    return Line::Read;
}

// Reads one line from the terminal without showing what is typed.
Line readHidden(const QString &prompt, QString &text)
{
    say(prompt);
    if (tcgetattr(STDIN_FILENO, &s_savedTerminal) == 0) {
        termios quiet = s_savedTerminal;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        s_echoOff = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    const Line line = readLine(text);
    restoreEcho();
    return line;
}

// The reader ends a section at any line holding "[", so such a value would hide the
// keys below it; and characters without a Windows-1252 byte cannot be stored at all.
QString whyNotStorable(const QString &value)
{
    if (value.contains(u'['))
        return QStringLiteral("tecknet [ kan inte sparas i användarfilen");
    if (value.contains(u'\r') || value.contains(u'\n') || !lunora::cp1252::canEncode(value))
        return QStringLiteral("innehåller tecken som inte kan sparas i användarfilen");
    return QString();
}

// Finds the data folder as the program does and makes it the one every path names.
int openDataFolder(QString dataFolder)
{
    if (lunora::builtLayout() == lunora::InstallLayout::System) {
        lunora::DataFolderRequest request;
        request.layout = lunora::InstallLayout::System;
        request.option = dataFolder;
        request.environment = qEnvironmentVariable("LUNORA_DATA");
        request.defaultFolder = lunora::systemDefaultDataFolder();
        request.templateFolder = lunora::installedTemplateFolder(QCoreApplication::applicationDirPath());
        const lunora::DataFolderChoice choice = lunora::chooseDataFolder(request);
        if (!choice.ok()) {
            say(QStringLiteral("Datamappen %1 kan inte användas: %2 kan inte skrivas.\n")
                    .arg(QDir::toNativeSeparators(choice.path), QDir::toNativeSeparators(choice.detail)));
            return WriteFailed;
        }
        if (choice.created)
            say(QStringLiteral("Lunoras datamapp har skapats i %1\n")
                    .arg(QDir::toNativeSeparators(choice.path)));
        dataFolder = choice.path;
    } else if (dataFolder.isEmpty()) {
        dataFolder = QCoreApplication::applicationDirPath();
    }
    const QFileInfo folder(dataFolder);
    lunora::DataFolder::setRoot(folder.absoluteFilePath());
    if (!lunora::runAsFolderOwner(folder.absoluteFilePath(), "lunora-adduser"))
        return WriteFailed;
    // A restore cut short is finished or undone before any user file is looked at.
    if (const QString recovered = lunora::backup::recoverCutRestore(folder.absoluteFilePath()).message();
        !recovered.isEmpty())
        say(recovered + u'\n');
    const QString userFolder = lunora::paths::userFolder();
    if (!QFileInfo(userFolder).isDir()) {
        say(QStringLiteral("Mappen %1 finns inte. Ange Lunoras datamapp med --data-folder.\n")
                .arg(QDir::toNativeSeparators(userFolder)));
        return WriteFailed;
    }
    return Done;
}

// Gives every user file of the data folder a hash in place of its password.
int protectPasswords()
{
    const lunora::passwords::Outcome outcome = lunora::passwords::protectFolder();
    if (!outcome.ok()) {
        const QString which
            = outcome.userId.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(outcome.userId);
        say(QStringLiteral("Lösenorden kunde inte skyddas%1: %2\n").arg(which, outcome.detail));
        return WriteFailed;
    }
    say(QStringLiteral("Lösenorden i %1 är skyddade (%2 användarfiler skyddades nu). Äldre versioner av "
                       "Lunora kan inte logga in användarna.\n")
            .arg(QDir::toNativeSeparators(lunora::paths::userFolder()))
            .arg(outcome.protectedNow));
    return Done;
}

// What the command line asks for.
struct Options
{
    QString dataFolder;
    QString index = QStringLiteral("0");
    bool force = false;
    bool protect = false;
    QString userId;
    QString realName;
};

// Reads the command line into `options`. Returns Done when the program is to go on (and
// also after printing --help: `helpShown` says so), else the exit code of a bad line.
// The help text is the tool's own, in Swedish, and the parser's English error texts are
// never shown.
int parseOptions(const QStringList &arguments, Options &options, bool &helpShown)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    const QCommandLineOption dataFolder(QStringLiteral("data-folder"), QString(), QStringLiteral("MAPP"));
    const QCommandLineOption index(QStringLiteral("index"), QString(), QStringLiteral("INDEX"));
    const QCommandLineOption force(QStringLiteral("force"));
    const QCommandLineOption protect(QStringLiteral("protect"));
    parser.addOptions({ help, dataFolder, index, force, protect });
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        std::cout << usage();
        helpShown = true;
        return Done;
    }
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        say(unknown.isEmpty()
                ? QStringLiteral("Ett val saknar sitt värde eller har ett som det inte tar.\n\n")
                : QStringLiteral("Okänt val: %1%2\n\n")
                      .arg(unknown.first().size() == 1 ? u"-" : u"--", unknown.first()));
        std::cerr << usage();
        return BadArguments;
    }
    options.dataFolder = parser.value(dataFolder);
    if (parser.isSet(index))
        options.index = parser.value(index);
    options.force = parser.isSet(force);
    options.protect = parser.isSet(protect);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != (options.protect ? 0 : 2)) {
        std::cerr << usage();
        return BadArguments;
    }
    if (!options.protect) {
        options.userId = positional.at(0);
        options.realName = positional.at(1);
    }
    return Done;
}

// Checks the new user's index, id and name as the program's new-user window does,
// before the data folder is touched.
int checkNewUser(const Options &options)
{
    if (options.index != u"0" && options.index != u"9") {
        say(QStringLiteral(
            "Felaktigt behörighetsindex \"%1\": ange 0 (administratör) eller 9 (normal användare).\n")
                .arg(options.index));
        return BadArguments;
    }
    if (options.userId.isEmpty() || !lunora::isSafeFileName(options.userId)) {
        say(QStringLiteral(
            "Användar-ID \"%1\" kan inte användas: det blir ett filnamn och får inte vara tomt, "
            "innehålla / eller \\ eller vara . eller ..\n")
                .arg(options.userId));
        return BadInput;
    }
    // The same longest entries as the program's new-user window.
    if (options.userId.size() > 15 || options.realName.size() > 25) {
        say(QStringLiteral("Användar-ID får vara högst 15 tecken och riktigt namn högst 25 tecken.\n"));
        return BadInput;
    }
    for (const QString &value : { options.userId, options.realName }) {
        const QString why = whyNotStorable(value);
        if (!why.isEmpty()) {
            say(QStringLiteral("\"%1\": %2.\n").arg(value, why));
            return BadInput;
        }
    }
    return Done;
}

// An existing user is only written over when --force asks for it.
int checkExisting(const Options &options)
{
    const lunora::Result<bool> exists = lunora::userfile::exists(options.userId);
    if (!exists.ok()) {
        say(QStringLiteral("Användarfilen kunde inte undersökas: %1\n").arg(exists.error()));
        return WriteFailed;
    }
    if (exists.value() && !options.force) {
        say(QStringLiteral("Användaren \"%1\" finns redan. Använd --force för att skriva över den.\n")
                .arg(options.userId));
        return AlreadyExists;
    }
    return Done;
}

// Asks twice on a terminal, else reads the first line of standard input.
Line readPassword(QString &password)
{
    if (!isatty(STDIN_FILENO))
        return readLine(password);
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    Line read = readHidden(QStringLiteral("Lösenord: "), password);
    QString again;
    if (read == Line::Read)
        read = readHidden(QStringLiteral("Upprepa lösenordet: "), again);
    if (read == Line::Read && password != again)
        return Line::Mismatch;
    return read;
}

// Why a password read cannot be stored, or an empty text when it can.
QString passwordProblem(Line read, const QString &password)
{
    switch (read) {
    case Line::Mismatch:
        return QStringLiteral("Lösenorden stämmer inte överens.");
    case Line::HasNul:
        return QStringLiteral("Lösenordet innehåller ett NUL-tecken.");
    case Line::TooLong:
        return QStringLiteral("Raden med lösenordet är längre än 4 KiB.");
    case Line::Missing:
    case Line::Read:
        break;
    }
    if (password.isEmpty())
        return QStringLiteral("Lösenordet får inte vara tomt.");
    if (password.size() > 15)
        return QStringLiteral("Lösenordet får vara högst 15 tecken, som i programmet.");
    if (const QString why = whyNotStorable(password); !why.isEmpty())
        return QStringLiteral("Lösenordet %1.").arg(why);
    return QString();
}

int saveUser(const Options &options, const QString &password)
{
    const lunora::UserRecord record { options.userId, password, options.index, options.realName };
    const lunora::Status written = lunora::userfile::write(options.userId, record);
    if (!written.ok()) {
        say(QStringLiteral("Användaren kunde inte sparas: %1\n").arg(written.error()));
        return WriteFailed;
    }
    say(QStringLiteral("Användaren \"%1\" (%2) har sparats i %3.\n")
            .arg(options.userId,
                options.index == u"0" ? QStringLiteral("administratör") : QStringLiteral("normal användare"),
                QDir::toNativeSeparators(lunora::paths::userFile(options.userId).value())));
    return Done;
}

int addUser(const Options &options)
{
    if (const int checked = checkNewUser(options); checked != Done)
        return checked;
    if (const int opened = openDataFolder(options.dataFolder); opened != Done)
        return opened;
    if (const int checked = checkExisting(options); checked != Done)
        return checked;
    QString password;
    const Line read = readPassword(password);
    if (const QString problem = passwordProblem(read, password); !problem.isEmpty()) {
        say(problem + QStringLiteral(" Ingen användare har skapats.\n"));
        return BadInput;
    }
    return saveUser(options, password);
}

int protectAll(const Options &options)
{
    if (const int opened = openDataFolder(options.dataFolder); opened != Done)
        return opened;
    return protectPasswords();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    bool helpShown = false;
    if (const int parsed = parseOptions(QCoreApplication::arguments(), options, helpShown); parsed != Done)
        return parsed;
    if (helpShown)
        return Done;
    return options.protect ? protectAll(options) : addUser(options);
}
