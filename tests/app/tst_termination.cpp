#include "app/Termination.h"

#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <csignal>

// A logout, Ctrl+C or a closed terminal ends the program as its close box
// does: the box that is open closes, then the main window, and a box that
// opens afterwards closes too, instead of killing the program on the spot.
class TerminationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void signalClosesEveryBox_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalClosesEveryBox()
    {
        QFETCH(int, signal);
        Termination termination;
        QDialog main;
        bool boxEnded = false;
        QTimer::singleShot(0, &main, [&] {
            QMessageBox box(QMessageBox::Warning, "kelvaro", "A warning", QMessageBox::Ok, &main);
            QTimer::singleShot(0, [signal] { std::raise(signal); });
            box.exec();
            boxEnded = true;
        });
        QCOMPARE(main.exec(), int(QDialog::Rejected));
        QVERIFY(boxEnded);
        QVERIFY(termination.Requested());

        // A report that comes after the request does not wait for anyone.
        QMessageBox late(QMessageBox::Information, "kelvaro", "The end", QMessageBox::Ok);
        late.exec();
    }
};

QTEST_MAIN(TerminationTest)
#include "tst_termination.moc"
