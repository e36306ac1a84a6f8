// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include "text/textfile.h"

// A document kept for recovery: what a recovery file holds.
struct RecoveredDocument {
    QString path; // empty for an untitled document
    FileState state;
    QByteArray text; // the editor's bytes: UTF-8 (and stray bytes), line breaks CR LF
};

// The bytes of a recovery file (its header, then the text), and reading them back
// (false when they are not one). The header is lines of key=value after a first line that
// names the format, then an empty line; keys it does not know are passed over, so that a
// later version may add some.
QByteArray recoveryFileHeader(const QString& path, const FileState& state, qsizetype length);
QByteArray recoveryFileBytes(const QString& path, const FileState& state, const QByteArray& text);
bool parseRecoveryFile(const QByteArray& bytes, RecoveredDocument* document);

// Reads a recovery file left in the folder: only a regular file of this user, never
// through a link, and without waiting on anything else planted there.
bool readRecoveryFile(const QString& path, QByteArray* bytes);
