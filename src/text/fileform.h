// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

// The form a text file is stored in: its encoding, byte-order mark and line-break style.
// Inside the editor the text always has CR LF line breaks; a document remembers the form
// its file was read in and is written back in that same form, so that opening and saving
// an unchanged document gives the identical file.
struct FileForm {
    enum class Encoding { Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE, Windows1252 };

    Encoding encoding = Encoding::Utf8;
    // UTF-8 only: the file starts with EF BB BF. UTF-16 and UTF-32 files always have one.
    bool byteOrderMark = false;
    // UTF-8 only: the file held bytes that are not valid UTF-8; each is shown as its
    // stand-in character and written back as the same byte.
    bool strayBytes = false;
    // The file's line breaks were LF: CR LF pairs of the text are written as LF.
    bool lfLineBreaks = false;
    // The file's line breaks were lone CRs: CR LF pairs of the text are written as CR.
    // (At most one of the two is set; neither means CR LF.)
    bool crLineBreaks = false;

    bool operator==(const FileForm& o) const {
        return encoding == o.encoding && byteOrderMark == o.byteOrderMark &&
               strayBytes == o.strayBytes && lfLineBreaks == o.lfLineBreaks &&
               crLineBreaks == o.crLineBreaks;
    }
    bool operator!=(const FileForm& o) const { return !(*this == o); }
};

// A short readable name of a form ("UTF-8", "UTF-16 LE", "Windows-1252", ...).
QString encodingName(FileForm::Encoding encoding);
// The encoding named by encodingName; false when the name is none of them.
bool encodingFromName(const QString& name, FileForm::Encoding* encoding);

// A byte that is not valid UTF-8 (always 80..FF) is shown as U+EF80 + (byte - 80), a
// private-use range set aside for exactly this.
constexpr char16_t kStrayByteBase = 0xEF00;
inline bool isStrayByteStandIn(char16_t c) {
    return c >= 0xEF80 && c <= 0xEFFF;
}

// Length of the valid UTF-8 sequence at p (1 to 4), or 0 when the byte at p does not
// start one (left > 0 bytes are there). Overlong forms, surrogates and values past
// U+10FFFF are invalid.
int utf8SequenceLength(const uchar* p, qsizetype left);
// UTF-8 with each byte that is not valid UTF-8 as its stand-in character.
QString decodeWithStandIns(const uchar* p, qsizetype n);

// Text decoded from a file's bytes: line breaks still as in the file.
struct DecodedText {
    QString text;
    FileForm form;
    qsizetype strayBytes = 0; // bytes shown as stand-ins (strayBytes form only)
    // Line breaks of another kind than the form's (a file with mixed breaks): each will be
    // written as the form's break.
    qsizetype otherLineBreaks = 0;
};

// Decodes a text file's bytes and tells the form it was in:
// - a UTF-32 or UTF-16 byte-order mark: that encoding (when the rest is valid for it);
// - valid UTF-8 (with or without its mark): UTF-8;
// - mostly UTF-8 (valid multi-byte sequences outnumber the invalid bytes, or at most one
//   byte in 1,000 is invalid, and there is at least one multi-byte sequence): UTF-8 with
//   each invalid byte as its stand-in;
// - anything else: Windows-1252, every byte one character.
// The line-break style is the break that most lines of the file end in (CR LF, LF or a lone
// CR); CR LF on a tie or when there is no break, LF before CR.
DecodedText decodeFileBytes(const QByteArray& bytes);

// The text of a file's bytes as the editor holds it, handed over in pieces instead of as
// one string: what decodeFileBytes() finds, in the editor's bytes (UTF-8; a mostly-UTF-8
// file's stray bytes as they are) with every line break (CR LF, lone CR, lone LF) made
// CR LF, exactly the bytes the editor holds after taking toCrLf() of the decoded text.
// `begin` is told the total size first; then `piece` receives the bytes in order, each
// piece about `pieceSize` bytes long (the last may be shorter) and ending at the end of a
// character, never between the CR and LF of a break. Nothing of the size of the text is
// held meanwhile. The form and counts returned are those of decodeFileBytes() (the
// returned text stays empty).
struct EditorBytesSink {
    std::function<void(qint64 total)> begin;
    std::function<void(QByteArrayView bytes)> piece;
};
DecodedText decodeFileBytesInPieces(QByteArrayView bytes, const EditorBytesSink& sink,
                                    qsizetype pieceSize = 1 << 20);

// Windows-1252 decoding; the five bytes the code page leaves undefined map to the
// control characters of the same value, so that no byte is lost.
QString decodeWindows1252(const QByteArray& bytes);

// Every CR LF, lone CR and lone LF becomes CR LF.
QString toCrLf(const QString& text);

// Encodes text whose line breaks are CR LF into the bytes of a file of the given form
// (the mark included, CR LF pairs as LF for an LF file and as CR for a CR file, lone CRs
// and LFs kept). Returns false,
// leaving *bytes undefined, only when the form is Windows-1252 and the text holds a
// character that code page cannot store.
bool encodeFileBytes(const QString& text, const FileForm& form, QByteArray* bytes);

// The bytes of a UTF-8 file of the given form for text already in UTF-8 (the stray bytes
// of a mostly-UTF-8 file among it as they are): the mark put before it, CR LF pairs
// written as LF for an LF file.
QByteArray utf8FileBytes(QByteArray utf8, const FileForm& form);
