#include "app/ConvertCommand.h"

#include "app/CommandLineOptions.h"
#include "engine/Converter.h"
#include "engine/ConversionSettings.h"
#include "engine/OutputFolder.h"
#include "engine/ProgramFolder.h"
#include "engine/Settings.h"
#include "platform/FileNames.h"
#include "platform/ProcessStart.h"
#include "platform/SignalWatch.h"
#include "platform/TerminalHost.h"
#include "sources/ProbeQueue.h"
#include "sources/SourceTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <csignal>

namespace {

// How long a stopped encoder may take to remove what it wrote.
constexpr int kEncoderEndMs = 10000;

ConversionSettings SettingsFor(const CommandLine &line)
{
    ConversionSettings settings;
    Settings::Load(settings, Settings::Files::Find(GetProgramFolder()));
    settings.quality = line.quality.value_or(settings.quality);
    settings.resolution = line.resolution.value_or(settings.resolution);
    settings.letterbox = line.letterbox.value_or(settings.letterbox);
    settings.volume = line.volume.value_or(settings.volume);
    settings.jobs = line.jobs.value_or(settings.jobs);
    settings.outputFolder = line.outputFolder.value_or(settings.outputFolder);
    Settings::ApplyQuality(settings);
    Settings::ApplyResolution(settings);
    return settings;
}

// Ends the event loop with `status` once no encoder runs any more, so that
// a stopped encoder has removed its unfinished file before the prompt
// comes back; one that takes longer is not waited for.
void QuitWhenEncodersEnded(int status)
{
    const auto quit = [status] { QCoreApplication::exit(status); };
    if (RunningPrograms() == 0) {
        quit();
        return;
    }
    QObject::connect(&ProgramEnds::Instance(), &ProgramEnds::Ended, QCoreApplication::instance(), [quit] {
        if (RunningPrograms() == 0)
            quit();
    });
    QTimer::singleShot(kEncoderEndMs, QCoreApplication::instance(), quit);
}

} // namespace

namespace ConvertCommand {

int Run(int &argc, char **argv, const CommandLine &line)
{
    // A closed output (kelvaro --convert ... | head) ends nothing: what is
    // written then is lost, the conversion goes on and the exit status
    // still tells how it went.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    TerminalHost host;
    Host::Install(&host);
    host.StartWarm(EncoderProgramPath());
    // Relative folders are taken from where the command was given.
    StartFolder();

    ConversionSettings settings = SettingsFor(line);
    SourceTable table;
    ProbeQueue probes(table, settings);
    Converter converter(table, settings);
    SignalWatch stopSignals;
    bool stopped = false;

    const auto finish = [&] {
        const bool whole = !stopped && probes.ProblemCount() == 0 && converter.AllConvertedWhole();
        QuitWhenEncodersEnded(whole ? 0 : 1);
    };
    const auto convert = [&] {
        if (stopped || table.RowCount() == 0 || !converter.Start(settings.outputFolder))
            finish();
    };
    QObject::connect(&probes, &ProbeQueue::Idle, &application, convert);
    QObject::connect(&converter, &Converter::Started, &application,
                     [&](const QString &text) { host.ShowProgress(text, 0); });
    QObject::connect(&converter, &Converter::Progressed, &application,
                     [&](const QString &text, int permille) { host.ShowProgress(text, permille); });
    QObject::connect(&converter, &Converter::RowStarted, &application, [&](int row, const QString &source) {
        host.ShowLine(
            QStringLiteral("File %1 of %2: %3").arg(row + 1).arg(table.RowCount()).arg(ReadableFileName(source)));
    });
    QObject::connect(&converter, &Converter::RowEnded, &application, [&](int row, const QString &failure) {
        const QString file = QStringLiteral("File %1 of %2").arg(row + 1).arg(table.RowCount());
        host.ShowLine(failure.isEmpty() ? file + QStringLiteral(" converted.")
                                        : file + QStringLiteral(" not converted: ") + failure);
    });
    QObject::connect(&converter, &Converter::ProgressOver, &application, [&] { host.EndProgress(); });
    QObject::connect(&converter, &Converter::Idle, &application, finish);
    QObject::connect(&stopSignals, &SignalWatch::Signalled, &application, [&] {
        // A second Ctrl-C does not wait for the stopped encoders: they
        // remove their unfinished files by themselves.
        if (stopped) {
            QCoreApplication::exit(1);
            return;
        }
        stopped = true;
        if (converter.IsRunning()) {
            const ConversionBatch &state = converter.State();
            const int done = state.FinishedRows() - int(state.Failures().size());
            converter.StopNow();
            host.MessageBox(QStringLiteral("Stopped; %1 of %2 files were converted.").arg(done).arg(table.RowCount()),
                            Host::ApplicationTitle(), Host::Buttons::Ok, Host::Icon::Warning, QString());
        } else {
            probes.Cancel();
            finish();
        }
    });

    // Once the event loop runs: a stop signal can then end the probes too.
    QTimer::singleShot(0, &application, [&] {
        // Absolute now: the encoders run in the output folder.
        QStringList files;
        for (const QString &file : line.files)
            files << QDir(StartFolder()).absoluteFilePath(file);
        probes.AddNamed(files, settings.outputFolder);
        if (!probes.IsRunning())
            convert();
    });
    const int status = QCoreApplication::exec();
    Host::Install(nullptr);
    return status;
}

} // namespace ConvertCommand
