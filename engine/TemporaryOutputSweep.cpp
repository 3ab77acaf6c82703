#include "engine/TemporaryOutputSweep.h"

#include "platform/TemporaryOutput.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
    if (TemporaryOutput::TryLock(fd) == TemporaryOutput::Lock::Taken && ::fstat(fd, &opened) == 0
        && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
        && opened.st_ino == named.st_ino && S_ISREG(opened.st_mode))
        removed = ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

int RemoveAbandonedTemporaryOutputs(const QString &folder, qint64 onlyPid)
{
    if (folder.isEmpty())
        return 0;
    const QString prefix = QString::fromLatin1(TemporaryOutput::kPrefix.data(), TemporaryOutput::kPrefix.size());
    QDir dir(folder);
    int removed = 0;
    for (const QString &name : dir.entryList({prefix + QLatin1String("*")}, QDir::Files | QDir::Hidden | QDir::System)) {
        const auto parts = TemporaryOutput::Parse(QFile::encodeName(name).toStdString());
        if (!parts || parts->host != TemporaryOutput::HostId() || (onlyPid > 0 && parts->pid != onlyPid)
            || EncoderRuns(parts->pid))
            continue;
        if (RemoveIfUnlocked(QFile::encodeName(dir.filePath(name))))
            ++removed;
    }
    return removed;
}
