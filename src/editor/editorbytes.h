// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The editor's buffer and its text.
//
// The buffer holds UTF-8. In a document read from a file with stray bytes (bytes that are
// not valid UTF-8, FileForm::strayBytes) it also holds those bytes as they are: each is a
// character of its own, shown as its hexadecimal value, counted as one UTF-16 unit, and in
// Text it is its stand-in character (U+EF80 + byte - 0x80). The same character typed,
// pasted or inserted is the three bytes of its UTF-8, so the file is written with the
// stray bytes it had and with every character entered as itself.
namespace editorbytes {

// The text of the editor's bytes: each valid UTF-8 sequence its character, each stray
// byte its stand-in. A U+FEFF at the start is kept: it is a character of the document,
// not a byte-order mark. *stray (when given) tells whether any byte was a stray byte.
// The bytes may come in two pieces, the two sides of the editor's gap (EditorBuffer): a
// character that the join cuts in two is read whole.
QString decode(QByteArrayView first, QByteArrayView second, bool* stray = nullptr);
inline QString decode(QByteArrayView bytes, bool* stray = nullptr) {
    return decode(bytes, QByteArrayView(), stray);
}

// The bytes of text as entered (typed, pasted, inserted by a command): UTF-8, a stand-in
// character as the character itself, an unpaired surrogate (which UTF-8 cannot hold) as
// U+FFFD.
QByteArray encode(QStringView text);

// Whether the text holds a stand-in character.
bool hasStandIns(QStringView text);

// The bytes of text written in place of the editor's bytes `old`: as encode, but a
// stand-in that comes back where `old` had the stray byte it stands for stays that byte.
// The texts are lined up by their common start and end; between them the stand-ins of
// each value are paired in order. So a text taken from the document and written back
// (from full screen, reloaded as RTF, with markup put around a selection) keeps the
// file's stray bytes, while a stand-in character entered anew stays a character.
QByteArray encodeOver(QStringView text, QByteArrayView old);

} // namespace editorbytes
