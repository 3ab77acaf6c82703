#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

// The program's pictures, addressed by their resource numbers: icons 128,
// 145-148, 150 and 160-162, bitmaps 138 and 140-142, cursor 143. Unknown
// numbers give null objects, never a stand-in picture.

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
