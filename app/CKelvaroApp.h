#pragma once

#include <QStringList>

#include <memory>

class QApplication;
class QtHost;

// The application: prepares the process (host, skin), offers Tip of the Day,
// then runs the main window until it is closed.
class CKelvaroApp
{
public:
    CKelvaroApp(int &argc, char **argv);
    ~CKelvaroApp();

    // Runs the whole program; always false, as the window's end is the end.
    bool InitInstance();

    // Clean-up after the main window has gone; the process's exit code.
    int ExitInstance();

private:
    void ShowTipAtStartup();
    // The files named on the command line (paths or file: URLs), made
    // absolute; whether they exist is for the adding to find out.
    static QStringList FilesFromCommandLine(int argc, char **argv);

    std::unique_ptr<QApplication> m_application;
    std::unique_ptr<QtHost> m_host;
    QStringList m_files;
};
