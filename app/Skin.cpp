#include "app/Skin.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QStyle>
#include <QStyleFactory>

namespace {

struct SkinState {
    bool initialized = false;
    QString sheet;
    bool active = false;
};

SkinState &State()
{
    static SkinState state;
    return state;
}

} // namespace

namespace Skin {

void Initialize()
{
    State() = {};
    State().initialized = qApp != nullptr;
}

bool LoadFromResource(const QString &name, const QString &type)
{
    SkinState &state = State();
    if (!state.initialized)
        return false;
    QFile file(QLatin1String(":/") + type + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    state.sheet = QString::fromUtf8(file.readAll());
    return !state.sheet.isEmpty();
}

void SetDialogSkin(const QString &objectName)
{
    SkinState &state = State();
    if (!state.initialized || state.sheet.isEmpty() || objectName != QLatin1String("Dialog"))
        return;
    // The sheet is written for Fusion's shapes, which look the same on
    // every desktop.
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    qApp->setStyleSheet(state.sheet);
    state.active = true;
}

void Shutdown()
{
    SkinState &state = State();
    if (state.active && qApp)
        qApp->setStyleSheet(QString());
    state = {};
}

void ApplyToWindow(QWidget *window)
{
    if (window && State().active)
        window->setProperty("skinned", true);
}

void TrackPopupMenu(QMenu *menu, unsigned flags, int x, int y, QWidget *owner)
{
    Q_UNUSED(flags);  // right-button tracking is what Qt's menus do anyway
    Q_UNUSED(owner);  // the owner listens to the menu's triggered signal
    if (menu)
        menu->popup(QPoint(x, y));
}

bool IsActive()
{
    return State().active;
}

} // namespace Skin
