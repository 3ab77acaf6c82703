#include "app/CKelvaroApp.h"

#include "app/CKelvaroDlg.h"
#include "app/Skin.h"
#include "help/CTipOfTheDayDialog.h"
#include "platform/QtHost.h"

#include <QApplication>

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
    ShowTipAtStartup();
    {
        // Closing the window destroys it, which writes the option file.
        CKelvaroDlg window;
        window.DoModal();
    }
    return false;
}

int CKelvaroApp::ExitInstance()
{
    Skin::Shutdown();
    return 0;
}

void CKelvaroApp::ShowTipAtStartup()
{
    // Built even when not shown: reading one tip moves the stored position
    // on, so every start-up shows the next tip.
    CTipOfTheDayDialog tip;
    if (tip.ShowAtStartup())
        tip.DoModal();
}
