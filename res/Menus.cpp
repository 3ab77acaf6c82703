#include "res/Menus.h"

#include <QAction>
#include <QMenu>

namespace {

const MenuTemplate kHelpMenu{
    IDR_HELP_MENU, "help",
    {
        {"Content", ID_HELP_CONTENT},
        {nullptr, 0},
        {"About", ID_HELP_ABOUT},
        {"Home page", ID_HELP_HOMEPAGE},
        {"Tip of the Day...", ID_HELP_TIP},
    }};

const MenuTemplate kListMenu{
    IDR_LIST_MENU, "Edit",
    {
        {"Add video files to list", ID_LIST_ADD},
        {"Remove video file from list", ID_LIST_REMOVE},
        {"Move up", ID_LIST_UP},
        {"Move down", ID_LIST_DOWN},
        {nullptr, 0},
        {"Play/Pause", ID_LIST_PLAYPAUSE},
        {"Stop playing", ID_LIST_STOP},
    }};

} // namespace

const MenuTemplate *FindMenu(int id)
{
    for (const MenuTemplate *menu : {&kHelpMenu, &kListMenu}) {
        if (menu->id == id)
            return menu;
    }
    return nullptr;
}

QMenu *LoadPopupMenu(int id, QWidget *parent)
{
    const MenuTemplate *layout = FindMenu(id);
    if (!layout)
        return nullptr;
    auto *menu = new QMenu(QString::fromUtf8(layout->title), parent);
    for (const MenuItemTemplate &item : layout->items) {
        if (!item.text) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.command);
    }
    return menu;
}

int CommandOf(const QAction *action)
{
    return action ? action->data().toInt() : 0;
}
