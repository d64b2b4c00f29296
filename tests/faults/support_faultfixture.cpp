#include "caseregister.h"
#include "cp1252.h"
#include "faultfixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora::faults {

namespace {

RegisterEntry entryOf(const QStringList &values)
{
    RegisterEntry entry;
    for (int i = 0; i < RegisterFieldCount; ++i)
        entry[i] = values.value(i);
    return entry;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

const RegisterEntry CaseA = entryOf({ "101215 4711", "2010-12-15", "K-17", "Anna Andersson", "08-123456",
    "Brådskande", "Under behandling", "{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}", "Anna Ek" });
const RegisterEntry CaseB = entryOf({ "110102 12", "2011-01-02", "K-99", "Bo Berg", "031-777", "Normal",
    "Avslutad", "{BBBBBBBB-2222-4222-8222-BBBBBBBBBBBB}", "Bertil Ström" });
const QString UserId = QStringLiteral("anna");
const QString UserPassword = QStringLiteral("pw");
const QString CustomerPhone = QStringLiteral("08-123456");

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

QByteArray quotedRegister(const QList<RegisterEntry> &entries)
{
    QByteArray bytes;
    for (const RegisterEntry &entry : entries)
        bytes += caseregister::formatQuoted(entry);
    return bytes;
}

bool populate(const QString &root)
{
    QDir dir(root);
    for (const char *folder : { "Lib/User", "Lib/Logo", "Errors" }) {
        if (!dir.mkpath(QString::fromLatin1(folder)))
            return false;
    }
    const auto lib = [&root](const QString &name) {
        return root + QStringLiteral("/Lib/") + name;
    };
    QImage logo(64, 32, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    const QByteArray articlesA = "\"17\",\"Skruv\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n"
                                 "\"A-01\",\"Arbete\",\"1\",\"tim\",\"650,00\",\"650,00\"\r\n";
    const QByteArray articlesB = "\"18\",\"Kedja\",\"1\",\"st\",\"149,00\",\"149,00\"\r\n";
    const QByteArray dataA = cp1252::encode(QStringLiteral(
        "[Main]\r\nxSign=Anna Ek\r\nxCode={AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}\r\nxRegDate=2010-12-15\r\n"
        "xID=101215 4711\r\n\r\n[Type]\r\nxPrio=Brådskande\r\n\r\n[Status]\r\nxStat=Nytt ärende\r\n\r\n"
        "[Customer]\r\nxCPhone=08-123456\r\nxCName=Anna Andersson\r\nxCID=K-17\r\n"));
    const QByteArray dataB = "[Main]\r\nxSign=Bertil\r\nxID=110102 12\r\n";
    return writeFile(lib(QStringLiteral("User/anna.ini")),
               "[Main]\r\nRealName=Anna Ek\r\nIndex=0\r\nPassWD=pw\r\nUser=anna\r\n")
        && writeFile(lib(QStringLiteral("CompanyInfo.ini")),
            cp1252::encode(QStringLiteral("[Main]\r\nRad1=Verkstan AB\r\nRad2=Storgatan 1\r\n"
                                          "Rad3=123 45 Småstad\r\nRad4=Tel 0123-456\r\n")))
        && logo.save(lib(QStringLiteral("Logo/logo.bmp")), "BMP")
        && writeFile(lib(QStringLiteral("arenden.txt")), quotedRegister({ CaseA, CaseB }))
        && writeFile(lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")), articlesA)
        && writeFile(lib(CaseA[ControlCode] + QStringLiteral("_eData.ini")), dataA)
        && writeFile(lib(CaseB[ControlCode] + QStringLiteral("_ArtData.txt")), articlesB)
        && writeFile(lib(CaseB[ControlCode] + QStringLiteral("_eData.ini")), dataB)
        && writeFile(lib(CustomerPhone + QStringLiteral(".ini")),
            "[Main]\r\nxID=K-17\r\nxName=Anna Andersson\r\nxPhone1=08-123456\r\n")
        && writeFile(root + QStringLiteral("/Errors/Error.txt"),
            "2020-01-01, kl. 10:00:00                Fel vid inl\xE4sning, information saknas....\r\n\r\n");
}

Snapshot snapshot(const QString &root)
{
    Snapshot result;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = base.relativeFilePath(path);
        if (info.isDir() && !info.isSymLink()) {
            result.insert(relative + u'/', QByteArray());
            continue;
        }
        QFile file(path);
        // An unreadable file counts as present with a marker, so that it is still seen to
        // vanish or change into something readable.
        result.insert(relative, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return result;
}

QStringList damaged(const Snapshot &before, const Snapshot &after, const QStringList &allowed)
{
    const auto isAllowed = [&allowed](const QString &name) {
        for (const QString &pattern : allowed) {
            if (pattern.endsWith(u'*') ? name.startsWith(pattern.chopped(1)) : name == pattern)
                return true;
        }
        return false;
    };
    QStringList result;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (isAllowed(it.key()))
            continue;
        const auto now = after.constFind(it.key());
        if (now == after.cend())
            result << it.key() + QStringLiteral(" (gone)");
        else if (it.key() == QStringLiteral("Errors/Error.txt") && now.value().startsWith(it.value()))
            continue; // the error log only ever grows: an entry added is no damage
        else if (now.value() != it.value())
            result << it.key()
                    + QStringLiteral(" (%1 bytes, was %2)").arg(now.value().size()).arg(it.value().size());
    }
    return result;
}

ReadOnly::ReadOnly(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (runningAsRoot()) {
            if (!setImmutable(path, true)) {
                m_ok = false;
                return;
            }
            m_done << path;
            continue;
        }
        struct stat info
        {
        };
        if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
            m_ok = false;
            return;
        }
        m_modes.insert(path, static_cast<int>(info.st_mode & 07777));
        if (::chmod(QFile::encodeName(path).constData(), info.st_mode & 07555) != 0) {
            m_ok = false;
            return;
        }
    }
}

ReadOnly::~ReadOnly()
{
    for (const QString &path : std::as_const(m_done))
        setImmutable(path, false);
    for (auto it = m_modes.cbegin(); it != m_modes.cend(); ++it)
        ::chmod(QFile::encodeName(it.key()).constData(), static_cast<mode_t>(it.value()));
}

ReadOnlyMount::ReadOnlyMount(const QString &folder)
    : m_folder(folder)
{
    if (!runningAsRoot())
        return;
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        return;
    m_mounted = true;
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        ::umount2(path.constData(), MNT_DETACH);
        m_mounted = false;
    }
}

ReadOnlyMount::~ReadOnlyMount()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

SmallDisk::SmallDisk(int kibibytes)
    : m_dir(std::make_unique<QTemporaryDir>())
{
    if (!runningAsRoot() || !m_dir->isValid())
        return;
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0755";
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir->path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData())
        == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir->path()).constData(), MNT_DETACH);
}

QString SmallDisk::path() const
{
    return m_dir->path();
}

bool SmallDisk::fill()
{
    QFile filler(m_dir->path() + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::Append))
        return false;
    // Page by page, then byte by byte, until not even one byte is taken.
    const QByteArray page(4096, 'x');
    while (filler.write(page) == page.size()) { }
    while (filler.write("x", 1) == 1) { }
    filler.close();
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(filler.fileName()).constData(), &info) == 0 && info.st_size > 0;
}

void SmallDisk::drain()
{
    QFile::remove(m_dir->path() + QStringLiteral("/filler"));
}

} // namespace lunora::faults
