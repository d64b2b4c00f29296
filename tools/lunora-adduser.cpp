// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// lunora-adduser: creates a user file in the data folder from the command line, so that
// a new installation gets its first administrator. The program itself has no built-in
// account; after this, further users are created in the program by an administrator.

#include "app/runasowner.h"
#include "storage/accounts.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/datafolderchoice.h"
#include "storage/passwords.h"

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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    QString dataFolder;
    QString index = QStringLiteral("0");
    bool force = false;
    bool protect = false;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == u"--help" || arg == u"-h") {
            std::cout << usage();
            return Done;
        }
        if (arg == u"--force") {
            force = true;
        } else if (arg == u"--protect") {
            protect = true;
        } else if ((arg == u"--data-folder" || arg == u"--index") && i + 1 < args.size()) {
            (arg == u"--index" ? index : dataFolder) = args.at(++i);
        } else if (arg.startsWith(u"--data-folder=")) {
            dataFolder = arg.mid(14);
        } else if (arg.startsWith(u"--index=")) {
            index = arg.mid(8);
        } else if (arg.startsWith(u"--") && arg != u"--") {
            say(QStringLiteral("Okänt val: %1\n\n").arg(arg));
            std::cerr << usage();
            return BadArguments;
        } else {
            positional.append(arg);
        }
    }
    positional.removeAll(QStringLiteral("--"));
    if (protect) {
        if (!positional.isEmpty()) {
            std::cerr << usage();
            return BadArguments;
        }
        if (const int opened = openDataFolder(dataFolder); opened != Done)
            return opened;
        return protectPasswords();
    }
    if (positional.size() != 2) {
        std::cerr << usage();
        return BadArguments;
    }
    const QString userId = positional.at(0);
    const QString realName = positional.at(1);

    if (index != u"0" && index != u"9") {
        say(QStringLiteral(
            "Felaktigt behörighetsindex \"%1\": ange 0 (administratör) eller 9 (normal användare).\n")
                .arg(index));
        return BadArguments;
    }
    if (userId.isEmpty() || !lunora::isSafeFileName(userId)) {
        say(QStringLiteral(
            "Användar-ID \"%1\" kan inte användas: det blir ett filnamn och får inte vara tomt, "
            "innehålla / eller \\ eller vara . eller ..\n")
                .arg(userId));
        return BadInput;
    }
    // The same longest entries as the program's new-user window.
    if (userId.size() > 15 || realName.size() > 25) {
        say(QStringLiteral("Användar-ID får vara högst 15 tecken och riktigt namn högst 25 tecken.\n"));
        return BadInput;
    }
    for (const QString &value : { userId, realName }) {
        const QString why = whyNotStorable(value);
        if (!why.isEmpty()) {
            say(QStringLiteral("\"%1\": %2.\n").arg(value, why));
            return BadInput;
        }
    }

    if (const int opened = openDataFolder(dataFolder); opened != Done)
        return opened;
    const lunora::Result<bool> exists = lunora::userfile::exists(userId);
    if (!exists.ok()) {
        say(QStringLiteral("Användarfilen kunde inte undersökas: %1\n").arg(exists.error()));
        return WriteFailed;
    }
    if (exists.value() && !force) {
        say(QStringLiteral("Användaren \"%1\" finns redan. Använd --force för att skriva över den.\n")
                .arg(userId));
        return AlreadyExists;
    }

    QString password;
    Line read = Line::Read;
    if (isatty(STDIN_FILENO)) {
        std::signal(SIGINT, onInterrupt);
        std::signal(SIGTERM, onInterrupt);
        read = readHidden(QStringLiteral("Lösenord: "), password);
        QString again;
        if (read == Line::Read)
            read = readHidden(QStringLiteral("Upprepa lösenordet: "), again);
        if (read == Line::Read && password != again) {
            say(QStringLiteral("Lösenorden stämmer inte överens. Ingen användare har skapats.\n"));
            return BadInput;
        }
    } else {
        read = readLine(password);
    }
    if (read == Line::HasNul) {
        say(QStringLiteral("Lösenordet innehåller ett NUL-tecken. Ingen användare har skapats.\n"));
        return BadInput;
    }
    if (read == Line::TooLong) {
        say(QStringLiteral("Raden med lösenordet är längre än 4 KiB. Ingen användare har skapats.\n"));
        return BadInput;
    }
    if (password.isEmpty()) {
        say(QStringLiteral("Lösenordet får inte vara tomt. Ingen användare har skapats.\n"));
        return BadInput;
    }
    if (password.size() > 15) {
        say(QStringLiteral(
            "Lösenordet får vara högst 15 tecken, som i programmet. Ingen användare har skapats.\n"));
        return BadInput;
    }
    const QString why = whyNotStorable(password);
    if (!why.isEmpty()) {
        say(QStringLiteral("Lösenordet %1. Ingen användare har skapats.\n").arg(why));
        return BadInput;
    }

    const lunora::UserRecord record { userId, password, index, realName };
    const lunora::Status written = lunora::userfile::write(userId, record);
    if (!written.ok()) {
        say(QStringLiteral("Användaren kunde inte sparas: %1\n").arg(written.error()));
        return WriteFailed;
    }
    say(QStringLiteral("Användaren \"%1\" (%2) har sparats i %3.\n")
            .arg(userId, index == u"0" ? QStringLiteral("administratör") : QStringLiteral("normal användare"),
                QDir::toNativeSeparators(lunora::paths::userFile(userId).value())));
    return Done;
}
