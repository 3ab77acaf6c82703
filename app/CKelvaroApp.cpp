#include "app/CKelvaroApp.h"

#include "app/CKelvaroDlg.h"
#include "app/Skin.h"
#include "app/Termination.h"
#include "engine/OutputFolder.h"
#include "help/CTipOfTheDayDialog.h"
#include "platform/QtHost.h"

#include <QApplication>
#include <QFileInfo>
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
    // folders are taken from here.
    StartFolder();
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
        // Files handed over by the desktop ("Open with") are added as if
        // chosen with the add command, once the window runs.
        const QStringList files = FilesFromCommandLine();
        if (!files.isEmpty())
            QTimer::singleShot(0, &window, [&window, files] { window.AddFiles(files); });
        window.DoModal();
    }
    return false;
}

int CKelvaroApp::ExitInstance()
{
    Skin::Shutdown();
    return 0;
}

QStringList CKelvaroApp::FilesFromCommandLine()
{
    QStringList files;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QUrl url(arguments[i]);
        const QString path = url.isLocalFile() ? url.toLocalFile() : arguments[i];
        // A name that finds no file is still passed on, so that the person
        // hears about it instead of seeing it silently dropped.
        if (!path.isEmpty())
            files << QFileInfo(path).absoluteFilePath();
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
