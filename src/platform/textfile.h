// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing document files.
//
// A file whose first bytes are "{\rtf" is rich text. Any other file is text: UTF-8 when
// it is valid UTF-8 (a byte-order mark is skipped), otherwise Windows-1252, so that every
// byte of an older or binary file becomes some character. Every line end (CR LF, lone CR,
// lone LF) becomes CR LF. Files are written as UTF-8 without byte-order mark, exactly the
// characters of the text, through a temporary file renamed over the target.

struct LoadedFile {
    bool ok = false;
    QString errorString; // the system's reason when !ok
    bool rich = false;   // content is RTF (each byte as one Latin-1 character)
    QString content;     // the text (line ends CR LF) or the RTF
};

// Reads a document file whole.
LoadedFile readDocumentFile(const QString& path);

// The text of a document file as the editor holds it once File > Open has loaded it: the
// plain text of a rich-text file, else the decoded text. On failure returns false and sets
// *errorString to the system's reason. Needs no window.
bool readDocumentText(const QString& path, QString* text, QString* errorString);

// Decodes file bytes: UTF-8 when valid, else Windows-1252.
QString decodeText(const QByteArray& bytes);

// Windows-1252 decoding; the five bytes the code page leaves undefined map to the
// control characters of the same value, so that no byte is lost.
QString decodeWindows1252(const QByteArray& bytes);

// Every CR LF, lone CR and lone LF becomes CR LF.
QString toCrLf(const QString& text);

// Writes text as UTF-8 to path, replacing the file only when the whole write succeeded.
// On failure returns false and sets *errorString to the system's reason.
bool writeDocumentFile(const QString& path, const QString& text, QString* errorString);
