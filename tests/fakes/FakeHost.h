#pragma once

#include "platform/Host.h"
#include "platform/WarmStart.h"

#include <QList>
#include <QQueue>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// A host that answers from a script and records what was asked of it.
// Programs are really started (through the same code as the real host)
// unless `startResult` says otherwise, so tests can run real encoders.
class FakeHost : public Host
{
public:
    struct Message {
        QString text;
        QString caption;
        Buttons buttons;
        Icon icon;
        QString details;
    };
    struct Start {
        QString program;
        QStringList arguments;
        int inheritedFd;
        QStringList environment;
    };

    FakeHost() { Host::Install(this); }
    ~FakeHost() override;

    // Gives the host a fresh program folder of its own holding `encoder`
    // under the encoder's name, so the program starts that encoder and its
    // option file lands there rather than in the build. False if the folder
    // or the link cannot be made.
    bool UseEncoder(const QString &encoder);

    Answer MessageBox(const QString &text, const QString &caption, Buttons buttons,
                      Icon icon, const QString &details) override;
    QStringList ChooseFilesToOpen(const QString &title, const QString &filter) override;
    QString ChooseFolder(const QString &title, const QString &startFolder) override;
    qint64 StartProgram(const QString &program, const QStringList &arguments, int inheritedFd,
                        const QStringList &environment) override;
    std::uint32_t TickCount() override { return tick; }
    bool OpenUrl(const QString &address) override;
    QString ProgramFolder() override { return programFolder; }

    // Script.
    QQueue<Answer> answers;           // for YesNo questions; No when empty
    QQueue<QStringList> fileChoices;  // empty list = cancelled
    QQueue<QString> folderChoices;    // null = cancelled
    bool startResult = true;          // false: refuse to start, run nothing
    bool openUrlResult = true;
    std::function<void()> childSetup;  // run in each started program first
    std::uint32_t tick = 0;
    QString programFolder;
    // When set, its program's jobs start as the real host starts them.
    std::unique_ptr<WarmStart> warm;

    // Record.
    QList<Message> messages;
    QList<Start> starts;
    QStringList fileDialogTitles;
    QStringList fileDialogFilters;
    QStringList folderDialogTitles;
    QStringList openedUrls;

private:
    std::unique_ptr<QTemporaryDir> m_programDir;
};
