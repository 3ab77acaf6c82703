#include "app/ListSelectionDelegate.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QStyledItemDelegate>

namespace {

// Repaints the rows when the view gains or loses the focus. A delegate must
// not filter the view's events itself: it would take them for an editor's.
class FocusWatcher : public QObject
{
public:
    explicit FocusWatcher(QAbstractItemView *view)
        : QObject(view)
        , m_view(view)
    {
        view->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            m_view->viewport()->update();
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractItemView *m_view;
};

class FocusOnlySelection : public QStyledItemDelegate
{
public:
    explicit FocusOnlySelection(QAbstractItemView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
        new FocusWatcher(view);
    }

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!m_view->hasFocus())
            option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    }

private:
    QAbstractItemView *m_view;
};

} // namespace

void InstallFocusOnlySelection(QAbstractItemView *view)
{
    view->setItemDelegate(new FocusOnlySelection(view));
}
