// How long the probe queue takes for a full list: 99 two-second 640x480 AVIs
// probed by the real encoder, as many at once as the settings say (one per
// core by default), against `ffprobe` run on the same files one after
// another. Prints both times, the ratio and the time per file.
// Target: the queue at most 0.5 x the ffprobe run.
//   bench_probe_queue [count] [jobs]
#include "engine/ConversionSettings.h"
#include "engine/JobCount.h"
#include "sources/ProbeQueue.h"
#include "sources/SourceTable.h"

#include "BenchCopies.h"
#include "FakeHost.h"
#include "tests/support/TestMedia.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : SourceTable::kCapacity;
    QTextStream out(stdout);

    QTemporaryDir dir;
    TestMedia::VideoRecipe recipe;
    recipe.path = dir.filePath(QStringLiteral("source.avi"));
    recipe.width = 640;
    recipe.height = 480;
    recipe.seconds = 2;
    if (const QString error = TestMedia::MakeVideo(recipe); !error.isEmpty()) {
        out << "cannot make the test video: " << error << "\n";
        return 1;
    }
    const QStringList paths = BenchCopies(recipe.path, count);

    FakeHost host;
    host.UseEncoder(QStringLiteral(KELVARO_PROGRAM_DIR "morlenc"));
    // As the program starts its encoders: the first jobs, while the
    // encoder's server loads, start the usual way.
    host.warm = std::make_unique<WarmStart>(host.programFolder + QStringLiteral("morlenc"));

    SourceTable table;
    ConversionSettings settings;
    settings.jobs = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    auto *queue = new ProbeQueue(table, settings, &application);

    QElapsedTimer timer;
    timer.start();
    queue->Add(paths, dir.filePath(QStringLiteral("out")));
    while (queue->IsRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double ours = timer.elapsed() / 1000.0;

    timer.restart();
    for (const QString &path : paths)
        TestMedia::Run(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_format"),
                                                    QStringLiteral("-show_streams"), path});
    const double reference = timer.elapsed() / 1000.0;

    out << "files probed into the list: " << table.RowCount() << " of " << count << ", "
        << JobCount::Of(settings) << " at once\n";
    out << "probe queue:     " << QString::number(ours, 'f', 2) << " s ("
        << QString::number(ours * 1000 / count, 'f', 1) << " ms per file)\n";
    out << "ffprobe in turn: " << QString::number(reference, 'f', 2) << " s ("
        << QString::number(reference * 1000 / count, 'f', 1) << " ms per file)\n";
    out << "ratio (queue / ffprobe): " << QString::number(ours / reference, 'f', 2)
        << (ours <= 0.5 * reference ? " (target 0.5: met)" : " (target 0.5: NOT met)") << "\n";
    return table.RowCount() == count ? 0 : 1;
}
