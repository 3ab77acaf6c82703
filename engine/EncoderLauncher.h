#pragma once

#include <QObject>
#include <QString>

#include <functional>

struct ConversionSettings;

// Starts encoder jobs for the main window: builds the command from the
// current settings, opens the job's channel and starts `morlenc` through the
// host. Each job's messages reach the handler with the job's mode. A job
// that cannot be started still ends properly: its failure and final code
// arrive from the event loop, so a probe queue or a batch never stalls.
class EncoderLauncher : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<int(int mode, int code, int value)>;

    EncoderLauncher(const ConversionSettings &settings, Handler handler,
                    QObject *parent = nullptr);

    // Always 0, as callers expect; failures arrive as messages.
    int LaunchEncoder(const QString &source, const QString &output, int horizontalMargin,
                      int verticalMargin, int mode);

    // Jobs started and not yet finished.
    int RunningJobs() const { return m_running; }

    // The option string of the last job started, for display and tests.
    const QString &LastOptionString() const { return m_lastOptionString; }

private:
    const ConversionSettings &m_settings;
    Handler m_handler;
    int m_running = 0;
    QString m_lastOptionString;
};
