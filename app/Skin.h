#pragma once

#include <QString>

class QMenu;
class QWidget;

// The skin: a style sheet carried inside the program, applied through six
// entry points named by their role. Nothing depends on the skin: if it
// cannot be loaded, every window keeps the platform's plain look.
namespace Skin {

// Prepares the skin layer; first call, before any window exists.
void Initialize();

// Loads the skin carried under that name and type; false when absent.
bool LoadFromResource(const QString &name, const QString &type);

// Chooses the skin object used for dialog windows and applies it.
void SetDialogSkin(const QString &objectName);

// Removes the skin; last call, at exit.
void Shutdown();

// Lets the skin know about a child window it should draw in its own way.
void ApplyToWindow(QWidget *window);

// Shows a pop-up menu at a screen point; the chosen action's command reaches
// the owner through the menu's triggered signal, as with any menu.
void TrackPopupMenu(QMenu *menu, unsigned flags, int x, int y, QWidget *owner);

// Whether a skin is loaded and applied.
bool IsActive();

} // namespace Skin
