#pragma once

#include <QObject>

// CIconButton: placement, hover, focus and click behaviour in
// tst_iconbutton.cpp; what it paints in tst_iconbutton_paint.cpp.
class TestIconButton : public QObject
{
    Q_OBJECT

private slots:
    void placeImage_data();
    void placeImage();
    void layoutOutsideTheRangeIsRefused();
    void hover_data();
    void hover();
    void disablingMovesTheFocus_data();
    void disablingMovesTheFocus();
    void doubleClickIsTwoClicks();

    void frame_data();
    void frame();
    void pressedShiftsImageAndCaption();
    void disabledIconIsGreyed();
    void parentSnapshotIsTakenOnceAndRetakenOnPaletteChange();
};
