#include "engine/CommandLine.h"

#include "engine/ConversionSettings.h"
#include "platform/EncoderContract.h"
#include "platform/Host.h"
#include "platform/PartFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QChar kSeparator = QLatin1Char('/');

int ClampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

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

QString AudioFilterFor(int volume)
{
    const QString resample = QStringLiteral("lavcresample=44100");
    if (volume == 100)
        return resample;
    // In 64 bits: a volume stored near the int limits must not overflow.
    const long long v = volume;
    if (v > 100)
        return QStringLiteral("volume=+%1db:0:").arg((v - 100) / 5) + resample;
    return QStringLiteral("volume=-%1db:0:").arg((100 - v) * 2 / 5) + resample;
}

QString VideoFilterFor(const LetterboxMargins &margins, int width, int height)
{
    if (margins.horizontal > 0)
        return QStringLiteral("scale=-3:%1,harddup,expand=%2:%3").arg(height).arg(width).arg(height);
    if (margins.vertical > 0)
        return QStringLiteral("scale=%1:-3,harddup,expand=%2:%3").arg(width).arg(width).arg(height);
    return QStringLiteral("scale=%1:%2,harddup").arg(width).arg(height);
}

EncoderCommand BuildEncoderCommand(const ConversionSettings &settings, const QString &source,
                                   const QString &output, const LetterboxMargins &margins,
                                   int mode, int handle)
{
    // Every codec choice encodes MPEG-4: it is the one the player plays.
    const QString lavcopts =
        QStringLiteral("aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=%1:vhq:acodec=aac:abitrate=%2")
            .arg(settings.videoBitrate)
            .arg(settings.audioBitrate);

    EncoderCommand command;
    command.arguments = {
        source, QStringLiteral("-o"), output,
        QStringLiteral("-ofps"), QStringLiteral("30000/1001"),
        QStringLiteral("-af"), AudioFilterFor(settings.volume),
        QStringLiteral("-vf"), VideoFilterFor(margins, settings.width, settings.height),
        QStringLiteral("-of"), QStringLiteral("lavf"),
        QStringLiteral("-oac"), QStringLiteral("lavc"),
        QStringLiteral("-ovc"), QStringLiteral("lavc"),
        QStringLiteral("-ffourcc"), QStringLiteral("MP4V"),
        QStringLiteral("-lavcopts"), lavcopts,
        QStringLiteral("-lavfopts"),
        QStringLiteral("format=mp4:i_certify_that_my_video_stream_does_not_use_b_frames"),
        QStringLiteral("-endpos"), QStringLiteral("9:0:0"),
        QString::number(mode), QString::number(handle),
    };

    // The option string shows the same pieces; the two paths are quoted as
    // the encoder would see them on a command line. It is never parsed.
    QStringList shown = command.arguments;
    const QChar quote = QLatin1Char('"');
    shown[0] = quote + shown[0] + quote;
    shown[2] = quote + shown[2] + quote;
    command.optionString = shown.join(QLatin1Char(' '));
    return command;
}

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

LetterboxMargins ComputeLetterboxMargins(const ConversionSettings &settings, int sourceWidth,
                                         int sourceHeight)
{
    if (settings.letterbox == 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return {};
    const long long w = sourceWidth;
    const long long h = sourceHeight;
    const long long W = settings.width;
    const long long H = settings.height;
    return {ClampToInt(W - (w * H) / h), ClampToInt(H - (h * W) / w)};
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
    QString absolute = QDir::isAbsolutePath(folder) ? folder : StartFolder() + kSeparator + folder;
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
