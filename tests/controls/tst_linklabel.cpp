#include "controls/CLinkLabel.h"
#include "platform/OpenLink.h"

#include "FakeHost.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void MoveMouseInto(CLinkLabel &label)
{
    const QPointF at(2, 2);
    QCursor::setPos(label.mapToGlobal(at.toPoint()));
    QMouseEvent move(QEvent::MouseMove, at, label.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&label, &move);
}

bool Shows(CLinkLabel &label, QRgb colour)
{
    const QImage image = label.grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
        }
    }
    return false;
}

} // namespace

class TestLinkLabel : public QObject
{
    Q_OBJECT

private:
    FakeHost m_host;
    QTemporaryDir m_xdg;  // no web page handler anywhere

private slots:
    void initTestCase()
    {
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
            qputenv(name, QFile::encodeName(m_xdg.path()));
    }
    void init()
    {
        m_host.openedUrls.clear();
        m_host.messages.clear();
        m_host.openUrlResult = true;
    }

    void errorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("0") << 0 << "The operating system is out\nof memory or resources.";
        QTest::newRow("1, not listed") << 1 << "Unknown Error (1) occurred.";
        QTest::newRow("2") << 2 << "The specified file was not found.";
        QTest::newRow("3") << 3 << "The specified path was not found.";
        QTest::newRow("5") << 5 << "The operating system denied\naccess to the specified file.";
        QTest::newRow("8") << 8 << "There was not enough memory to complete the operation.";
        QTest::newRow("11") << 11 << "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        QTest::newRow("26") << 26 << "A sharing violation occurred. ";
        QTest::newRow("27") << 27 << "The filename association is\nincomplete or invalid.";
        QTest::newRow("28") << 28 << "The DDE transaction could not\nbe completed because the request timed out.";
        QTest::newRow("29") << 29 << "The DDE transaction failed.";
        QTest::newRow("30") << 30
                            << "The DDE transaction could not\nbe completed because other DDE "
                               "transactions\nwere being processed.";
        QTest::newRow("31") << 31 << "There is no application associated\nwith the given filename extension.";
        QTest::newRow("32") << 32 << "The specified dynamic-link library was not found.";
        QTest::newRow("-7") << -7 << "Unknown Error (-7) occurred.";
    }
    void errorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, reason);
        QCOMPARE(LinkErrorText(code), "Unable to open hyperlink:\n\n" + reason);
    }

    void linkWithoutTargetOpensItsCaptionAndTurnsVisited()
    {
        CLinkLabel label("https://caption.example/");
        label.resize(200, 20);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(m_host.openedUrls, QStringList{"https://caption.example/"});
        QVERIFY(label.IsVisited());
        QCOMPARE(label.TextColour(), QColor(85, 26, 139));
        QVERIFY(Shows(label, CLinkLabel::kVisitedColour));
    }

    void failedOpenBeepsReportsAndStaysUnvisited()
    {
        m_host.openUrlResult = false;
        CLinkLabel label("Home page");
        label.SetLinkTarget("https://home.example/");
        label.OnClicked();
        QCOMPARE(m_host.openedUrls, QStringList{"https://home.example/"});
        QVERIFY(!label.IsVisited());
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages[0].text, LinkErrorText(LinkResult::kNoAssociation));
        QCOMPARE(m_host.messages[0].caption, Host::ApplicationTitle());
        QCOMPARE(m_host.messages[0].icon, Host::Icon::Warning);
        // The address, to copy by hand where no browser opens it.
        QCOMPARE(m_host.messages[0].details, QString("https://home.example/"));
        QCOMPARE(label.LinkTarget(), QString("https://home.example/"));
    }

    void hoverIsRedAndKeepsTheUnderline()
    {
        QWidget window;
        window.resize(300, 100);
        auto *label = new CLinkLabel("Technical support", &window);
        label->setGeometry(50, 40, 150, 20);
        label->SetUnderlineMode(1);
        label->SetVisited(true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        MoveMouseInto(*label);
        QVERIFY(label->IsHovering());
        QCOMPARE(label->TextColour(), QColor(255, 0, 0));
        QVERIFY(Shows(*label, CLinkLabel::kHoverColour));
        QVERIFY(label->font().underline());

        // The polling finds the cursor gone.
        QCursor::setPos(window.mapToGlobal(QPoint(280, 90)));
        QTRY_VERIFY_WITH_TIMEOUT(!label->IsHovering(), 1000);
        QCOMPARE(label->TextColour(), QColor(85, 26, 139));
        QVERIFY(label->font().underline());
    }

    void fitToText_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("startWidth");
        QTest::addColumn<QString>("kept");
        const int top = Qt::AlignTop;
        QTest::newRow("centred grows about its centre") << int(Qt::AlignHCenter | top) << 10 << "hcentre";
        QTest::newRow("centred shrinks about its centre") << int(Qt::AlignHCenter | top) << 400 << "hcentre";
        QTest::newRow("right keeps its right edge") << int(Qt::AlignRight | top) << 10 << "right";
        QTest::newRow("left keeps its left edge") << int(Qt::AlignLeft | top) << 400 << "left";
        QTest::newRow("v-centred keeps its middle") << int(Qt::AlignLeft | Qt::AlignVCenter) << 10 << "vcentre";
    }
    void fitToText()
    {
        QFETCH(int, alignment);
        QFETCH(int, startWidth);
        QFETCH(QString, kept);
        QWidget window;
        auto *label = new CLinkLabel("Technical support", &window);
        label->setAlignment(Qt::Alignment(alignment));
        const QRect before(100, 50, startWidth, 60);
        label->setGeometry(before);
        label->SetLinkTarget("https://support.example/");

        const QRect after = label->geometry();
        QFont underlined = label->font();
        underlined.setUnderline(true);
        QCOMPARE(after.size(), QFontMetrics(underlined).size(Qt::TextSingleLine, "Technical support"));
        if (kept == "hcentre")
            QVERIFY(qAbs(after.center().x() - before.center().x()) <= 1);
        if (kept == "right")
            QCOMPARE(after.right(), before.right());
        if (kept == "left" || kept == "vcentre")
            QCOMPARE(after.left(), before.left());
        if (kept == "vcentre")
            QVERIFY(qAbs(after.center().y() - before.center().y()) <= 1);
        else
            QCOMPARE(after.top(), before.top());
    }
};

QTEST_MAIN(TestLinkLabel)
#include "tst_linklabel.moc"
