#include "help/CHelpWindow.h"
#include "help/HtmlHelp.h"

#include "FakeHost.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

namespace {

void WritePage(const QString &path, const QByteArray &html)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(html);
}

} // namespace

class TestHtmlHelp : public QObject
{
    Q_OBJECT

private:
    FakeHost m_host;
    QTemporaryDir m_programDir;
    QString Overview() const { return m_programDir.path() + "/help/overview/overview.htm"; }
    QString Page(const QUrl &url) const { return QFileInfo(url.toLocalFile()).fileName(); }

private slots:
    void initTestCase() { m_host.programFolder = m_programDir.path() + "/"; }

    void missingPagesAreReportedAndLookedForAgain()
    {
        QCOMPARE(HelpOverviewPath(), Overview());
        HtmlHelp help;
        QCOMPARE(help.Call(nullptr, HelpOverviewPath(), HH_DISPLAY_TOPIC, 0), 0);
        QCOMPARE(m_host.messages.size(), 1);
        QVERIFY(m_host.messages[0].text.contains(Overview()));
        // Pages put back are found at the next request.
        WritePage(Overview(), "<p>Overview</p>");
        QCOMPARE(help.Call(nullptr, HelpOverviewPath(), HH_DISPLAY_TOPIC, 0), 1);
        QCOMPARE(m_host.messages.size(), 1);
        delete help.Window();
        QDir(m_programDir.path() + "/help").removeRecursively();
    }

    void showsPagesAndFollowsLinks()
    {
        WritePage(Overview(), "<p><a href=\"../using/adding.htm\">Adding</a> "
                              "<a href=\"https://web.example/\">web</a></p>");
        WritePage(m_programDir.path() + "/help/using/adding.htm", "<p>Adding files</p>");
        HtmlHelp help;
        QCOMPARE(help.Call(nullptr, Overview(), HH_DISPLAY_TOPIC, 0), 1);
        CHelpWindow *window = help.Window();
        QVERIFY(window && window->isVisible());
        QTextBrowser *browser = window->Browser();
        QCOMPARE(Page(browser->source()), QString("overview.htm"));
        QVERIFY(!window->BackButton()->isEnabled());

        window->OnLinkClicked(QUrl("../using/adding.htm"));
        QCOMPARE(Page(browser->source()), QString("adding.htm"));
        QVERIFY(browser->toPlainText().contains("Adding files"));
        window->BackButton()->click();
        QCOMPARE(Page(browser->source()), QString("overview.htm"));
        QVERIFY(window->ForwardButton()->isEnabled());

        window->OnLinkClicked(QUrl("https://web.example/"));
        QCOMPARE(m_host.openedUrls, QStringList{"https://web.example/"});
        QCOMPARE(Page(browser->source()), QString("overview.htm"));

        window->close();
        QCOMPARE(help.Call(nullptr, Overview(), HH_DISPLAY_TOPIC, 0), 1);
        QCOMPARE(help.Window(), window);
        QVERIFY(window->isVisible());
        delete window;
    }

    // The pages that ship: every page and picture a page points at is there.
    void shippedPagesHaveNoBrokenLinks()
    {
        const QString root = QStringLiteral(KELVARO_PROGRAM_DIR) + "help";
        QVERIFY(QFileInfo::exists(root + "/overview/overview.htm"));
        const QRegularExpression reference(R"((?:href|src)\s*=\s*"([^"#:]+)(?:#[^"]*)?")");
        int pages = 0;
        for (QDirIterator it(root, {"*.htm"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString page = it.next();
            QFile file(page);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch &match : reference.globalMatch(html)) {
                const QString target = QFileInfo(page).dir().filePath(match.captured(1));
                QVERIFY2(QFileInfo::exists(target), qPrintable(page + " -> " + match.captured(1)));
            }
            ++pages;
        }
        QVERIFY(pages >= 5);
    }
};

QTEST_MAIN(TestHtmlHelp)
#include "tst_htmlhelp.moc"
