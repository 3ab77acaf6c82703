#pragma once

#include <vector>

class QAction;
class QMenu;
class QWidget;

enum MenuId : int {
    IDR_HELP_MENU = 136,
    IDR_LIST_MENU = 144,
};

// Commands the menus send.
enum CommandId : int {
    ID_HELP_CONTENT = 32771,
    ID_HELP_ABOUT = 32772,
    ID_HELP_HOMEPAGE = 32773,
    ID_HELP_TIP = 32774,
    ID_LIST_ADD = 32775,
    ID_LIST_REMOVE = 32776,
    ID_LIST_UP = 32777,
    ID_LIST_DOWN = 32778,
    ID_LIST_PLAYPAUSE = 32779,
    ID_LIST_STOP = 32780,
};

struct MenuItemTemplate {
    const char *text;  // nullptr: a separator
    int command;
};

struct MenuTemplate {
    int id;
    const char *title;
    std::vector<MenuItemTemplate> items;
};

const MenuTemplate *FindMenu(int id);

// The menu's pop-up, each action carrying its command number as data.
// Owned by `parent`; nullptr for an unknown number.
QMenu *LoadPopupMenu(int id, QWidget *parent);

// The command number an action of such a menu carries, or 0.
int CommandOf(const QAction *action);
