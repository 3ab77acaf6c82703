#include "engine/OutputFolder.h"

#include "engine/ConversionSettings.h"
#include "platform/FileNames.h"
#include "platform/Host.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QChar kSeparator = QLatin1Char('/');

QString FileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(kSeparator) + 1);
}

} // namespace

QString BuildOutputPath(const ConversionSettings &settings, const QString &source, const QStringList &taken)
{
    // Relative to where the program started: the encoder runs elsewhere.
    QString folder = AbsoluteOutputFolder(settings.outputFolder);
    if (!folder.endsWith(kSeparator))
        folder += kSeparator;

    // Named as the person reads the source's name: a name that is not
    // UTF-8 would be refused by a player's own file system.
    const QString name = ReadableFileName(FileNameOf(source));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString path = folder + stem + QLatin1String(".mp4");
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink() && !taken.contains(path))
        return path;
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    return folder + stem + QLatin1Char('_') + extension + QLatin1String(".mp4");
}

QString PrepareOutputFolder(ConversionSettings &settings, const QString &folderField)
{
    settings.outputFolder = folderField;
    const QString folder = AbsoluteOutputFolder(settings.outputFolder);
    if (MakeFolder(folder) == 0)
        return folder;
    Host::Instance().MessageBox(QStringLiteral("Fail to create tmp folder %1").arg(settings.outputFolder),
                                Host::ApplicationTitle(), Host::Buttons::Ok, Host::Icon::None);
    return QString();
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
