// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <initializer_list>

#include "text/fileform.h"

// Reading and writing document files.
//
// A file whose first bytes are "{\rtf" is rich text. Any other file is text, decoded as
// decodeFileBytes() tells, with every line end (CR LF, lone CR, lone LF) made CR LF. Only
// regular files are read: a named pipe, socket, device or folder is refused at once.
// A document is written back in the form its file was read in. A file with one name is
// replaced through a temporary file renamed over it, which is private (0600) until it
// carries the old file's owner and permissions. A file with several hard links, a file
// whose owner, group or access list a replacement could not keep, and a writable file in a folder
// that refuses new files are written in place, after their old content was copied aside, so that
// every name sees the new text, the file stays as it was, and a failed write puts the old content
// back. Paths reach the system byte for byte (see filenames.h).

// What is known of a file's bytes when we last read or wrote them: enough to tell
// whether another program changed the file since.
struct FileStamp {
    bool valid = false;
    qint64 size = 0;
    qint64 modifiedNs = 0; // modification time, nanoseconds since the epoch
    qint64 changedNs = 0;  // status change time (ctime), the same; 0 when not known
    quint64 inode = 0;
    quint64 device = 0;
    quint64 hash = 0;     // hash of the bytes
    qint64 takenAtNs = 0; // when the stamp was taken, on the same clock
};

// A document's file as we know it: the form to write it in, its stamp, and what the
// last read or write found out that the user should be told.
struct FileState {
    FileForm form;
    FileStamp stamp;
    qsizetype strayBytes = 0;      // after a read: bytes kept as stand-ins
    qsizetype otherLineBreaks = 0; // after a read: breaks to be written as the form's
    bool switchedToUtf8 = false;   // after a write: Windows-1252 could not hold the text
};

struct LoadedFile {
    bool ok = false;
    QString errorString; // the system's reason when !ok
    bool rich = false;   // content is RTF (each byte as one Latin-1 character)
    QString content;     // the text (line ends CR LF) or the RTF
    FileState state;     // a rich-text file is written back as UTF-8 text with CR LF
};

// Reads a document file whole.
LoadedFile readDocumentFile(const QString& path);

// Reads a document file as readDocumentFile does, but a text file's text goes to `sink` in
// pieces of the editor's bytes (decodeFileBytesInPieces) and content stays empty: the text
// is never held whole as a string. A rich-text file's content is read as before, and
// nothing goes to the sink. Nothing goes to it either when the file cannot be read.
LoadedFile readDocumentFileInPieces(const QString& path, const EditorBytesSink& sink,
                                    qsizetype pieceSize = 1 << 20);

// The text of a document file as the editor holds it once File > Open has loaded it: the
// plain text of a rich-text file, else the decoded text. On failure returns false and sets
// *errorString to the system's reason. Needs no window.
bool readDocumentText(const QString& path, QString* text, QString* errorString);

// Writes text (line breaks CR LF) to path in state->form. When that form is Windows-1252
// and cannot hold the text, writes UTF-8 without mark instead, sets state->form to it and
// state->switchedToUtf8. On success state->stamp describes the written file. On failure
// returns false with the system's reason in *errorString; the old file is unchanged.
bool writeDocumentFile(const QString& path, const QString& text, FileState* state,
                       QString* errorString);

// Writes bytes already in the document's form (state->form, which stays) as
// writeDocumentFile does; on success state->stamp describes the written file.
bool writeDocumentBytes(const QString& path, const QByteArray& bytes, FileState* state,
                        QString* errorString);

// Writes text as UTF-8 without mark, line breaks as they are in text.
bool writeDocumentFile(const QString& path, const QString& text, QString* errorString);

// Writes the pieces one after the other to a new private file (mode 0600, made where no
// link can lead it) beside path, and renames it to path: whatever has that name, a
// symbolic link included, is replaced and never followed. On failure returns false with
// the system's reason in *errorString and path is unchanged.
bool writePrivateFile(const QString& path, std::initializer_list<QByteArrayView> pieces,
                      QString* errorString);

// Whether the file at path is still the one a stamp describes.
enum class FileChange {
    Unchanged,  // same bytes (size and time agree, or the hash does)
    Changed,    // other bytes
    Unreadable, // something else is there now, or it cannot be read to tell
    Missing     // the file is gone
};
// Size and times decide at once when the size differs, and when size, modification and
// change times agree and were not taken within the file system's timestamp granularity of
// a write; otherwise the file is read again and its hash compared. The change time is
// there because a program may write in place and then put the old modification time back.
// *reason (when given) receives why an Unreadable file could not be read.
FileChange fileChangeSince(const QString& path, const FileStamp& stamp, QString* reason = nullptr);

// The hash used in stamps.
quint64 hashBytes(const char* data, qsizetype size);
