#include "app/Termination.h"

#include "platform/SignalWatch.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

Termination::Termination(QObject *parent)
    : QObject(parent)
    , m_watch(new SignalWatch(this))
{
    connect(m_watch, &SignalWatch::Signalled, this, [this] {
        CloseDialogs();
        // Boxes that open from now on close as soon as they show.
        qApp->installEventFilter(this);
    });
}

Termination::~Termination()
{
    qApp->removeEventFilter(this);
}

bool Termination::Requested() const
{
    return m_watch->Requested();
}

void Termination::CloseDialogs()
{
    // done() only marks each modal loop to end; the loops then return one
    // into the other, the innermost first, up to the main window's.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
}

bool Termination::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        if (auto *dialog = qobject_cast<QDialog *>(watched); dialog && dialog->isWindow())
            QTimer::singleShot(0, dialog, [dialog] { dialog->done(QDialog::Rejected); });
    }
    return QObject::eventFilter(watched, event);
}
