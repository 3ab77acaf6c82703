// A stand-in for a file manager in the acceptance scenarios: a window that
// starts dragging the files named on its command line when the pointer is
// pressed on it, through the X server's real drag-and-drop protocol. It
// prints "dropped" once the drop has returned, so a scenario can tell
// whether the receiver kept it waiting; it stays a while after, as a file
// manager does, for the receiver may fetch the names only then.
//   drag_source PATH...

#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

namespace {

class DragSource : public QLabel
{
public:
    explicit DragSource(const QStringList &paths)
        : QLabel(QStringLiteral("Drag from here")), m_paths(paths)
    {
        setWindowTitle(QStringLiteral("Drag source"));
        setAlignment(Qt::AlignCenter);
        resize(200, 120);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &path : m_paths)
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
        QTextStream(stdout) << "dropped" << Qt::endl;
        QTimer::singleShot(10000, qApp, &QApplication::quit);
    }

private:
    QStringList m_paths;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    DragSource source(application.arguments().mid(1));
    source.move(0, 0);
    source.show();
    return QApplication::exec();
}
