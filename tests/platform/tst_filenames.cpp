#include "platform/FileNames.h"

#include <QTest>

// A file name's bytes survive the trip through Qt text, whatever they are,
// and read as a person expects.
class FileNamesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytesComeBackUnchanged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readable");
        QTest::addColumn<bool>("kept");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xf0\x90\x82\x80.avi") << QString::fromUtf8("café 𐂀.avi")
                               << false;
        QTest::newRow("Latin-1") << QByteArray("caf\xe9.avi") << QString::fromUtf8("café.avi") << true;
        QTest::newRow("cut short") << QByteArray("a\xc3") << QString::fromUtf8("aÃ") << true;
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << QString::fromUtf8("À¯") << true;
        QTest::newRow("a surrogate written out") << QByteArray("\xed\xb3\xa9") << QString::fromUtf8("í³©") << true;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << QString::fromUtf8("ô\u0090\u0080\u0080")
                                         << true;
    }
    void bytesComeBackUnchanged()
    {
        QFETCH(QByteArray, bytes);
        const QString name = FileNameFromBytes(bytes);
        QCOMPARE(FileNameBytes(name), bytes);
        QTEST(ReadableFileName(name), "readable");
        QTEST(KeepsBytes(name), "kept");
    }
};

QTEST_GUILESS_MAIN(FileNamesTest)
#include "tst_filenames.moc"
