#include "app/CKelvaroApp.h"

#include "app/CKelvaroDlg.h"
#include "app/Skin.h"
#include "app/Termination.h"
#include "engine/OutputFolder.h"
#include "engine/ProgramFolder.h"
#include "help/CTipOfTheDayDialog.h"
#include "platform/FileNames.h"
#include "platform/QtHost.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QUrl>

namespace {

// Qt's media backend must be chosen before the application object exists;
// FFmpeg is the one that plays without a sound device and without a zoo of
// plugins. A choice the person made stands.
int &PrepareEnvironment(int &argc)
{
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    return argc;
}

} // namespace

CKelvaroApp::CKelvaroApp(int &argc, char **argv)
    : m_application(std::make_unique<QApplication>(PrepareEnvironment(argc), argv))
    , m_host(std::make_unique<QtHost>())
{
    Host::Install(m_host.get());
    // Noted before anything changes the current directory: relative output
    // folders are taken from here, and so are relative file names.
    StartFolder();
    // What the application object left of the command line: its own
    // options are gone.
    m_files = FilesFromCommandLine(argc, argv);
}

CKelvaroApp::~CKelvaroApp()
{
    Host::Install(nullptr);
}

bool CKelvaroApp::InitInstance()
{
    Skin::Initialize();
    Skin::LoadFromResource(QStringLiteral("QUENDRA_SKIN"), QStringLiteral("SKINMAGIC"));
    Skin::SetDialogSkin(QStringLiteral("Dialog"));
    const Termination termination;
    ShowTipAtStartup();
    if (termination.Requested())
        return false;
    {
        // Closing the window destroys it, which writes the option file.
        CKelvaroDlg window;
        // The encoder's server loads its libraries once the window is up,
        // not on the way to it.
        QTimer::singleShot(0, &window, [this] { m_host->StartWarm(EncoderProgramPath()); });
        // Files handed over by the desktop ("Open with") are added as if
        // chosen with the add command, once the window runs.
        if (!m_files.isEmpty())
            QTimer::singleShot(0, &window, [&window, this] { window.AddFiles(m_files); });
        window.DoModal();
    }
    return false;
}

int CKelvaroApp::ExitInstance()
{
    Skin::Shutdown();
    return 0;
}

QStringList CKelvaroApp::FilesFromCommandLine(int argc, char **argv)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        // Names and addresses are taken as the file system's bytes, so that
        // a name that is not UTF-8 still finds its file.
        const QString argument = FileNameFromBytes(argv[i]);
        const QUrl url(argument);
        const QString path = url.isLocalFile()
            ? FileNameFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()))
            : argument;
        // A name that finds no file is still passed on, so that the person
        // hears about it instead of seeing it silently dropped.
        if (!path.isEmpty())
            files << QDir(StartFolder()).absoluteFilePath(path);
    }
    return files;
}

void CKelvaroApp::ShowTipAtStartup()
{
    // Built even when not shown: reading one tip moves the stored position
    // on, so every start-up shows the next tip.
    CTipOfTheDayDialog tip;
    if (tip.ShowAtStartup())
        tip.DoModal();
}
