#include "app/CommandLineOptions.h"

#include <QTest>

// What Kelvaro makes of its command line.
class CommandLineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("settings");  // "quality resolution letterbox volume folder jobs", - when unset
        QTest::addColumn<QStringList>("files");
        using A = CommandLine::Action;
        QTest::newRow("files for the window") << QStringList{"a.avi", "-platform", "xcb"} << int(A::Window) << "" << QStringList{};
        QTest::newRow("help wins") << QStringList{"--convert", "a.avi", "--help"} << int(A::Print) << "" << QStringList{};
        QTest::newRow("convert with the file's settings")
            << QStringList{"--convert", "a.avi", "b.mpg"} << int(A::Convert) << "- - - - - -" << QStringList{"a.avi", "b.mpg"};
        QTest::newRow("every setting, as the window numbers them")
            << QStringList{"--quality", "9", "--convert", "--resolution", "18", "--letterbox", "0",
                           "--volume=150", "--output", "/media/player/", "--jobs", "4", "a.avi"}
            << int(A::Convert) << "8 17 0 150 /media/player/ 4" << QStringList{"a.avi"};
        QTest::newRow("a size by its name") << QStringList{"--convert", "--resolution", "320x240", "a.avi"}
                                            << int(A::Convert) << "- 5 - - - -" << QStringList{"a.avi"};
        QTest::newRow("a file named like an option") << QStringList{"--convert", "--", "--quality"}
                                                     << int(A::Convert) << "- - - - - -" << QStringList{"--quality"};
        QTest::newRow("no file") << QStringList{"--convert"} << int(A::Refuse) << "" << QStringList{};
        QTest::newRow("quality out of range") << QStringList{"--convert", "--quality", "0", "a.avi"} << int(A::Refuse) << "" << QStringList{};
        QTest::newRow("unknown size") << QStringList{"--convert", "--resolution", "100x100", "a.avi"} << int(A::Refuse) << "" << QStringList{};
        QTest::newRow("volume beyond the slider") << QStringList{"--convert", "--volume", "201", "a.avi"} << int(A::Refuse) << "" << QStringList{};
        QTest::newRow("no jobs at all") << QStringList{"--convert", "--jobs", "0", "a.avi"} << int(A::Refuse) << "" << QStringList{};
        QTest::newRow("value missing") << QStringList{"--convert", "a.avi", "--output"} << int(A::Refuse) << "" << QStringList{};
        QTest::newRow("unknown option") << QStringList{"--convert", "--speed", "2", "a.avi"} << int(A::Refuse) << "" << QStringList{};
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        const CommandLine line = CommandLineOptions::Parse(arguments);
        QTEST(int(line.action), "action");
        QTEST(line.files, "files");
        if (line.action != CommandLine::Action::Convert)
            return;
        const auto shown = [](const std::optional<int> &value) {
            return value ? QString::number(*value) : QStringLiteral("-");
        };
        const QString settings = QStringList{shown(line.quality), shown(line.resolution), shown(line.letterbox),
                                             shown(line.volume), line.outputFolder.value_or(QStringLiteral("-")),
                                             shown(line.jobs)}
                                     .join(QLatin1Char(' '));
        QTEST(settings, "settings");
    }

    void refusalsSayWhatIsWrong()
    {
        const CommandLine line = CommandLineOptions::Parse({"--convert", "--volume", "loud", "a.avi"});
        QCOMPARE(line.text, QStringLiteral("kelvaro: --volume cannot be \"loud\"\nTry 'kelvaro --help' for more information.\n"));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
