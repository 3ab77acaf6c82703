#include "FakeHost.h"

#include "platform/ProcessStart.h"

#include <QFile>

FakeHost::~FakeHost()
{
    Host::Install(nullptr);
}

bool FakeHost::UseEncoder(const QString &encoder)
{
    m_programDir = std::make_unique<QTemporaryDir>();
    programFolder = m_programDir->path() + QLatin1Char('/');
    return m_programDir->isValid() && QFile::link(encoder, programFolder + QStringLiteral("morlenc"));
}

Host::Answer FakeHost::MessageBox(const QString &text, const QString &caption, Buttons buttons,
                                  Icon icon, const QString &details)
{
    messages.append({text, caption, buttons, icon, details});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::No : answers.dequeue();
}

QStringList FakeHost::ChooseFilesToOpen(const QString &title, const QString &filter)
{
    fileDialogTitles << title;
    fileDialogFilters << filter;
    return fileChoices.isEmpty() ? QStringList() : fileChoices.dequeue();
}

QString FakeHost::ChooseFolder(const QString &title, const QString &)
{
    folderDialogTitles << title;
    return folderChoices.isEmpty() ? QString() : folderChoices.dequeue();
}

qint64 FakeHost::StartProgram(const QString &program, const QStringList &arguments, int inheritedFd,
                              const QStringList &environment)
{
    starts.append({program, arguments, inheritedFd, environment});
    if (!startResult)
        return 0;
    if (warm) {
        if (const std::optional<qint64> pid = warm->Start(program, arguments, inheritedFd, environment))
            return *pid;
    }
    return StartProgramWithDescriptor(program, arguments, inheritedFd, environment, childSetup);
}

bool FakeHost::OpenUrl(const QString &address)
{
    openedUrls << address;
    return openUrlResult;
}
