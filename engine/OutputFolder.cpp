#include "engine/OutputFolder.h"

#include "engine/ConversionSettings.h"
#include "platform/Host.h"
#include "platform/PartFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QChar kSeparator = QLatin1Char('/');

// Whether the process still runs: it exists and is not a zombie waiting to
// be reaped (an encoder whose channel has just closed is one for a moment).
bool EncoderRuns(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    // "pid (name) state ...": the name may hold anything, the state follows
    // its last ')'.
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 || line.mid(close + 2, 1) != "Z";
}

// Removes the file if nobody holds its lock. A file system that honours no
// locks gives no answer, and the file stays.
bool RemoveIfUnlocked(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool removed = false;
    struct stat opened = {};
    struct stat named = {};
    if (PartFile::TryLock(fd) == PartFile::Lock::Taken && ::fstat(fd, &opened) == 0
        && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
        && opened.st_ino == named.st_ino && S_ISREG(opened.st_mode))
        removed = ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

QString FileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(kSeparator) + 1);
}

} // namespace

QString BuildOutputPath(const ConversionSettings &settings, const QString &source)
{
    // Relative to where the program started: the encoder runs elsewhere.
    QString folder = AbsoluteOutputFolder(settings.outputFolder);
    if (!folder.endsWith(kSeparator))
        folder += kSeparator;

    const QString name = FileNameOf(source);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString path = folder + stem + QLatin1String(".mp4");
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return path;
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    return folder + stem + QLatin1Char('_') + extension + QLatin1String(".mp4");
}

int MakeFolder(const QString &path)
{
    QString folder = path;
    // "/" is the root itself, not a folder with a trailing separator.
    if (folder.endsWith(kSeparator) && folder.size() > 1)
        folder.chop(1);
    if (folder.isEmpty())
        return -1;
    if (QDir::setCurrent(folder))
        return 0;

    const qsizetype last = folder.lastIndexOf(kSeparator);
    if (last < 0)
        return -1;
    QString name = folder;
    if (last > 0) {
        // The parent is made first and becomes the current directory; the
        // last component is then created inside it.
        if (MakeFolder(folder.left(last)) != 0)
            return -1;
        name = folder.mid(last + 1);
    }
    if (!QDir::current().mkdir(name))
        return -1;
    return QDir::setCurrent(name) ? 0 : -1;
}

QString StartFolder()
{
    static const QString folder = QDir::currentPath();
    return folder;
}

QString AbsoluteOutputFolder(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    QString absolute = folder;
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/")))
        absolute = QDir::homePath() + folder.mid(1);
    else if (QDir::isRelativePath(folder))
        absolute = StartFolder() + kSeparator + folder;
    if (!absolute.endsWith(kSeparator))
        absolute += kSeparator;
    return absolute;
}

int RemoveAbandonedPartFiles(const QString &folder, qint64 onlyPid)
{
    if (folder.isEmpty())
        return 0;
    const QString prefix = QString::fromLatin1(PartFile::kPrefix.data(), PartFile::kPrefix.size());
    QDir dir(folder);
    int removed = 0;
    for (const QString &name : dir.entryList({prefix + QLatin1String("*")}, QDir::Files | QDir::Hidden | QDir::System)) {
        const auto parts = PartFile::Parse(QFile::encodeName(name).toStdString());
        if (!parts || parts->host != PartFile::HostId() || (onlyPid > 0 && parts->pid != onlyPid)
            || EncoderRuns(parts->pid))
            continue;
        if (RemoveIfUnlocked(QFile::encodeName(dir.filePath(name))))
            ++removed;
    }
    return removed;
}

QString GetProgramFolder()
{
    return Host::Instance().ProgramFolder();
}

QString EncoderProgramPath()
{
    return GetProgramFolder() + QLatin1String("morlenc");
}
