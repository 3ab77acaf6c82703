#pragma once

#include <QByteArray>
#include <QString>

// To the system a file name is bytes; to Qt it is text, and Qt turns bytes
// that are not UTF-8 into U+FFFD, after which no such file can be found (a
// file named in Latin-1 by an older system: "caf\xe9.avi"). A name read with
// FileNameFromBytes keeps those bytes: each byte that is no part of a UTF-8
// character becomes one of U+DC80..U+DCFF, code points that no text holds
// (lone surrogates), and FileNameBytes turns them back into the same bytes.
// Valid UTF-8 reads as Qt reads it.
//
// Such a name reaches the file only through FileNameBytes: Qt's own file
// classes would still see U+FFFD.
QString FileNameFromBytes(const QByteArray &bytes);
QByteArray FileNameBytes(const QString &name);

// Whether the name keeps bytes that are not UTF-8.
bool KeepsBytes(const QString &name);

// The name as a person reads it: each kept byte shown as the Latin-1
// character it most likely was ("café.avi").
QString ReadableFileName(const QString &name);
