// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// File names as the system holds them: bytes, usually but not always UTF-8.
//
// Qt's own conversion (QFile::decodeName / encodeName) turns every byte that is not valid
// UTF-8 into U+FFFD, so a name such as "\xFF.html" cannot be opened again, and worse, names
// another file ("\xEF\xBF\xBD.html"). These conversions keep every byte: valid UTF-8 is
// decoded as usual, and each byte that is not part of valid UTF-8 becomes the lone
// surrogate U+DC80 + (byte - 0x80), which valid UTF-8 never yields, so the bytes come back
// exactly. Every path that reaches the system goes through encodeFileName().

// The name held in `bytes`, every byte kept.
QString decodeFileName(const QByteArray& bytes);
QString decodeFileName(const char* bytes);
// The bytes of a name made by decodeFileName (or of any other text, as UTF-8).
QByteArray encodeFileName(const QString& name);

// A name as a report line may show it: unchanged when it holds only printable characters
// (and does not start with a double quote); otherwise in double quotes with C escapes, as
// `ls --quoting-style=c` writes it ("a\nb.html", "\377.html"), so that a crafted name can
// never start a line of its own or pass for another name. Besides the control characters
// and the bytes that are not UTF-8, line and paragraph separators and the characters that
// reorder text on screen are escaped as the octal values of their bytes.
QString quotedFileName(const QString& name);
