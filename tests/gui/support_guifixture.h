#pragma once

// What the window tests share: a data folder of their own, the files' bytes, the
// controls of a window by object name, the cases they open, and an event loop that
// lets the windows' 1-ms timers tick as they do in the running program.

#include "records.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>

namespace lunora {
class frmArende;
class frmArendeList;
} // namespace lunora

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
    // A file in Lib.
    QString lib(const QString &name) const;

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

// The locale of the program's users, for numbers and dates as they see them.
void useSwedishLocale();

// A file's bytes, or "<missing>" when it cannot be read.
QByteArray readBytes(const QString &path);
// Replaces a file's bytes; a file that cannot be written fails the test.
void writeBytes(const QString &path, const QByteArray &bytes);

[[noreturn]] void missingChild(const char *name);

// The control of a window by its object name; the test ends when there is none.
template <typename W = QWidget> W *child(QObject *window, const char *name)
{
    W *found = window->findChild<W *>(QString::fromLatin1(name));
    if (!found)
        missingChild(name);
    return found;
}

// Runs the event loop until the condition holds or the time is up, and says whether it
// holds. Unlike QTest::qWaitFor it never sleeps between checks.
bool runUntil(const std::function<bool()> &condition, int timeoutMs);

RegisterEntry entryOf(const QStringList &values);
ArticleRow rowOf(const QStringList &values);

// Two cases of the register: an urgent open one and a closed one.
extern const RegisterEntry CaseA;
extern const RegisterEntry CaseB;

// The case window showing an existing case, opened by "Anna Ek".
frmArende *openCase(const RegisterEntry &entry);
// Makes the overview's row of a loaded case the current and selected one.
void selectEntry(frmArendeList *overview, const RegisterEntry &entry);

} // namespace lunora::test
