#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

// The program's pictures, addressed by their resource numbers. Unknown
// numbers give null objects, never a stand-in picture.
enum PictureId : int {
    IDR_MAINFRAME = 128,     // the program's icon
    IDB_LIGHTBULB = 138,     // Tip of the Day's bulb
    IDB_STOP = 140,
    IDB_PAUSE = 141,
    IDB_PLAY = 142,
    IDC_HAND = 143,          // the pointing cursor
    IDI_ADD_SMALL = 145,
    IDI_REMOVE_SMALL = 146,
    IDI_MOVE_UP = 147,
    IDI_MOVE_DOWN = 148,
    IDI_HELP = 150,
    IDI_ADD = 160,
    IDI_REMOVE = 161,
    IDI_CONVERT = 162,
};

// The colour the bitmaps' see-through parts are drawn in.
constexpr unsigned kTransparentColour = 0xFF00FF;

// An icon at every size (drawn from scalable sources; icon 128 has its own
// drawing for 16 pixels). The Disabled mode is the style's greyed rendering.
QIcon LoadIconResource(int id);

// The size an icon has when nobody asks for another: 16x16 for 145-148,
// 48x48 for 150 and 160-162, 32x32 for the application icon 128.
QSize IconResourceSize(int id);

// One rendering of an icon at exactly `size`; an empty size means the icon's
// own size.
QPixmap LoadIconPixmap(int id, QSize size = QSize());

// A bitmap at its one exact size: 138 is 40x53, 140 12x11, 141 10x12,
// 142 11x14.
QPixmap LoadBitmapResource(int id);

// Cursor 143, 32x32, black and white. An unknown number gives the default
// QCursor, whose shape is Qt::ArrowCursor rather than Qt::BitmapCursor.
QCursor LoadCursorResource(int id);
