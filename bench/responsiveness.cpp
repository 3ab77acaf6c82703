// Whether the window stays responsive while a file converts: the main
// window (offscreen) converts a 60-second 640x480 video while a 10 ms timer
// measures how late the event loop answers. The same file converted by the
// encoder alone is the reference for the batch's own cost.
//   bench_responsiveness [seconds]
#include "app/CKelvaroDlg.h"
#include "engine/ConversionSettings.h"
#include "engine/OptionString.h"
#include "res/Templates.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"
#include "tests/support/TestMedia.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <vector>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const double seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 60.0;
    QTextStream out(stdout);

    QTemporaryDir dir;
    TestMedia::VideoRecipe recipe;
    recipe.path = dir.filePath(QStringLiteral("source.avi"));
    recipe.width = 640;
    recipe.height = 480;
    recipe.seconds = seconds;
    if (const QString error = TestMedia::MakeVideo(recipe); !error.isEmpty()) {
        out << "cannot make the test video: " << error << "\n";
        return 1;
    }

    FakeHost host;
    const QString encoder = QStringLiteral(KELVARO_PROGRAM_DIR "morlenc");
    host.UseEncoder(encoder);

    // The encoder alone, with the settings the window uses by default.
    QElapsedTimer timer;
    timer.start();
    const ConversionSettings settings;
    const LetterboxMargins margins = ComputeLetterboxMargins(settings, recipe.width, recipe.height);
    TestMedia::Run(encoder,
                   BuildEncoderCommand(settings, recipe.path, dir.filePath(QStringLiteral("alone.mp4")),
                                       margins, 0, -1)
                       .arguments,
                   nullptr, nullptr, 600000);
    const double alone = timer.elapsed() / 1000.0;

    CKelvaroDlg window;
    window.show();
    qobject_cast<QLineEdit *>(window.Control(IDC_FOLDER))->setText(dir.filePath(QStringLiteral("out")));
    window.AddFiles({recipe.path});
    while (window.Sources().RowCount() == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    std::vector<qint64> lateness;
    QElapsedTimer clock;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    qint64 last = 0;
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        const qint64 now = clock.elapsed();
        lateness.push_back(std::max<qint64>(0, now - last - 10));
        last = now;
    });

    timer.restart();
    clock.start();
    tick.start(10);
    window.OnCommand(IDC_CONVERT);
    while (window.IsConverting())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double batch = timer.elapsed() / 1000.0;
    tick.stop();

    std::sort(lateness.begin(), lateness.end());
    const auto percentile = [&](double p) {
        return lateness.empty() ? 0 : lateness[std::min(lateness.size() - 1, size_t(p * lateness.size()))];
    };
    out << "encoder alone:  " << QString::number(alone, 'f', 2) << " s\n";
    out << "through window: " << QString::number(batch, 'f', 2) << " s (ratio "
        << QString::number(batch / alone, 'f', 3) << ")\n";
    out << "event loop lateness over " << lateness.size() << " ticks: median " << percentile(0.5)
        << " ms, p99 " << percentile(0.99) << " ms, max " << (lateness.empty() ? 0 : lateness.back()) << " ms\n";
    out << "report: " << (host.messages.isEmpty() ? QString() : host.messages.last().text) << "\n";
    return 0;
}
