#include "platform/OpenLink.h"

#include "FakeHost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kAddress = "https://home.example/?q=a b";

void WriteFile(const QString &path, const QByteArray &text, QFile::Permissions permissions = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    if (permissions)
        file.setPermissions(permissions);
}

} // namespace

class TestOpenLink : public QObject
{
    Q_OBJECT

private:
    FakeHost m_host;
    QTemporaryDir m_root;

    QString Config() const { return m_root.path() + "/config"; }
    QString Apps() const { return m_root.path() + "/data/applications"; }
    void Install(const QByteArray &exec)
    {
        WriteFile(Config() + "/mimeapps.list", "[Default Applications]\ntext/html=web.desktop;\n");
        WriteFile(Apps() + "/web.desktop", "[Desktop Entry]\nType=Application\nExec=" + exec + "\n");
    }

private slots:
    void initTestCase()
    {
        // The desktop's real browser must never start from a test.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Config()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(Config()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.path() + "/data"));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_root.path() + "/data"));
        qunsetenv("XDG_CURRENT_DESKTOP");
    }
    void cleanup()
    {
        QDir(m_root.path()).removeRecursively();
        QDir().mkpath(m_root.path());
    }

    void commandFromExec_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("command");  // program first; empty: refused
        const QString a = kAddress;
        QTest::newRow("%u") << "firefox %u" << a << QStringList{"firefox", a};
        QTest::newRow("%U with options") << "browser --new-window %U" << a
                                         << QStringList{"browser", "--new-window", a};
        QTest::newRow("no field code") << "browser --private" << a << QStringList{"browser", "--private", a};
        QTest::newRow("%f with a web address") << "viewer %f" << a << QStringList{"viewer", a};
        QTest::newRow("%f with a file address") << "viewer %f" << "file:///tmp/a%20b.htm"
                                                << QStringList{"viewer", "/tmp/a b.htm"};
        QTest::newRow("inside a word") << "browser --url=%u" << a << QStringList{"browser", "--url=" + a};
        QTest::newRow("other codes dropped") << "app %i %c %k %u" << a << QStringList{"app", a};
        QTest::newRow("percent sign") << "app --zoom=100%% %u" << a << QStringList{"app", "--zoom=100%", a};
        QTest::newRow("quoted program") << "\"/opt/My Browser/browser\" %u" << a
                                        << QStringList{"/opt/My Browser/browser", a};
        QTest::newRow("escapes in quotes") << R"("/opt/a \\"b\\"" "x\\$y" %u)" << a
                                           << QStringList{"/opt/a \"b\"", "x$y", a};
        QTest::newRow("space escape, quoted") << R"("/opt/my\sbrowser" %u)" << a << QStringList{"/opt/my browser", a};
        QTest::newRow("empty quoted argument") << "app \"\" %u" << a << QStringList{"app", "", a};
        QTest::newRow("unterminated quote") << "\"/opt/browser %u" << a << QStringList{};
        QTest::newRow("empty") << "   " << a << QStringList{};
    }
    void commandFromExec()
    {
        QFETCH(QString, exec);
        QFETCH(QString, address);
        QFETCH(QStringList, command);
        const std::optional<HandlerCommand> built = CommandFromExec(exec, address);
        QCOMPARE(built.has_value(), !command.isEmpty());
        if (built)
            QCOMPARE(QStringList{built->program} + built->arguments, command);
    }

    void handlerLookupOrder()
    {
        WriteFile(Apps() + "/cached.desktop", "[Desktop Entry]\nExec=cached\n");
        WriteFile(Apps() + "/mimeinfo.cache", "[MIME Cache]\ntext/html=cached.desktop;\n");
        QCOMPARE(DefaultHtmlHandler({Config()}, {Apps()}), Apps() + "/cached.desktop");

        // A chosen default wins over the cache; one not installed is skipped.
        WriteFile(Apps() + "/chosen.desktop", "[Desktop Entry]\nExec=chosen\n");
        WriteFile(Config() + "/mimeapps.list",
                  "[Added Associations]\ntext/html=cached.desktop;\n"
                  "[Default Applications]\ntext/html=gone.desktop;chosen.desktop;\n");
        QCOMPARE(DefaultHtmlHandler({Config()}, {Apps()}), Apps() + "/chosen.desktop");
    }

    void results_data()
    {
        QTest::addColumn<bool>("desktopOpens");
        QTest::addColumn<QByteArray>("exec");  // empty: no handler installed
        QTest::addColumn<int>("addressLength");
        QTest::addColumn<int>("result");
        QTest::newRow("desktop opens") << true << QByteArray() << 20 << LinkResult::kOpened;
        QTest::newRow("handler starts") << false << QByteArray("/bin/true %u") << 20 << LinkResult::kOpened;
        QTest::newRow("handler on the path") << false << QByteArray("true") << 20 << LinkResult::kOpened;
        QTest::newRow("no handler") << false << QByteArray() << 20 << LinkResult::kNoAssociation;
        QTest::newRow("handler missing") << false << QByteArray("/nonexistent/browser %u") << 20
                                         << LinkResult::kFileNotFound;
        QTest::newRow("handler not executable") << false << QByteArray("NOEXEC %u") << 20
                                                << LinkResult::kAccessDenied;
        QTest::newRow("broken entry") << false << QByteArray("\"/bin/true %u") << 20
                                      << LinkResult::kBadAssociation;
        QTest::newRow("too long, refused") << false << QByteArray("/bin/true %u")
                                           << int(kMaxCommandLength) << LinkResult::kTooLong;
    }
    void results()
    {
        QFETCH(bool, desktopOpens);
        QFETCH(QByteArray, exec);
        QFETCH(int, addressLength);
        QFETCH(int, result);
        m_host.openUrlResult = desktopOpens;
        const QString noExec = m_root.path() + "/plain-file";
        WriteFile(noExec, "", QFile::ReadOwner | QFile::WriteOwner);
        if (!exec.isEmpty())
            Install(exec.replace("NOEXEC", QFile::encodeName(noExec)));
        const QString address = "https://x.example/" + QString(addressLength - 18, 'a');
        QCOMPARE(OpenLink(address, kShowNormal), result);
    }
};

QTEST_MAIN(TestOpenLink)
#include "tst_openlink.moc"
