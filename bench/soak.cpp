// A long run of the window's own work: 99 short files converted in full,
// then a batch cancelled half-way and started again in full. Resident memory
// after the first and after the second full batch must not grow (build with
// the sanitizers to have leaks and misuse reported too).
//   bench_soak [files]
#include "app/CKelvaroDlg.h"
#include "app/CProgressDlg.h"
#include "res/Templates.h"
#include "sources/SourceTable.h"

#include "BenchCopies.h"
#include "FakeHost.h"
#include "tests/support/TestMedia.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

long ResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Runs the event loop until `done` or ten minutes have passed.
template <class Done>
bool Wait(Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

void RunUntilIdle(CKelvaroDlg &window)
{
    Wait([&] { return !window.IsConverting(); });
    for (int i = 0; i < 20; ++i)  // let finished jobs and deleted objects go
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : SourceTable::kCapacity;
    QTextStream out(stdout);

    QTemporaryDir dir;
    TestMedia::VideoRecipe recipe;
    recipe.path = dir.filePath(QStringLiteral("source.avi"));
    recipe.width = 160;
    recipe.height = 120;
    recipe.seconds = 1.0;
    if (const QString error = TestMedia::MakeVideo(recipe); !error.isEmpty()) {
        out << "cannot make the test video: " << error << "\n";
        return 1;
    }
    const QStringList paths = BenchCopies(recipe.path, count);

    FakeHost host;
    host.UseEncoder(QStringLiteral(KELVARO_PROGRAM_DIR "morlenc"));

    CKelvaroDlg window;
    qobject_cast<QLineEdit *>(window.Control(IDC_FOLDER))->setText(dir.filePath(QStringLiteral("out")));
    window.AddFiles(paths);
    if (!Wait([&] { return window.Sources().RowCount() == count; })) {
        out << "only " << window.Sources().RowCount() << " files were added\n";
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    window.OnCommand(IDC_CONVERT);
    RunUntilIdle(window);
    const double first = timer.elapsed() / 1000.0;
    const long afterFirst = ResidentKilobytes();

    // Cancelled once the batch is under way, then started again.
    host.answers.enqueue(Host::Answer::Yes);
    window.OnCommand(IDC_CONVERT);
    Wait([&] { return window.ProgressDialog()->Pos() >= 300 || !window.IsConverting(); });
    window.ProgressDialog()->OnCancelProcessing();
    RunUntilIdle(window);

    timer.restart();
    window.OnCommand(IDC_CONVERT);
    RunUntilIdle(window);
    const double second = timer.elapsed() / 1000.0;
    const long afterSecond = ResidentKilobytes();

    out << "files: " << count << "; first batch " << QString::number(first, 'f', 1) << " s, second "
        << QString::number(second, 'f', 1) << " s\n";
    out << "resident memory after the first batch: " << afterFirst / 1024 << " MB, after the second: "
        << afterSecond / 1024 << " MB (ratio " << QString::number(double(afterSecond) / afterFirst, 'f', 3) << ")\n";
    int failures = 0;
    for (const FakeHost::Message &message : host.messages)
        failures += message.text.startsWith(QLatin1String("Finished with errors")) ? 1 : 0;
    out << "reports: " << host.messages.size() << ", with failures: " << failures << "\n";
    return failures == 0 ? 0 : 1;
}
