// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/txtcode.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <cstring>

#include <Qsci/qscicommandset.h>

#include "editor/editorbuffer.h"
#include "editor/editorbytes.h"
#include "editor/txtcodeaccessible.h"
#include "text/rtf.h"
#include "text/textfile.h"

TxtCode::TxtCode(QWidget* parent) : QsciScintilla(parent) {
    TxtCodeAccessible::install();
    setObjectName(QStringLiteral("txtCode"));
    setUtf8(true);
    setEolMode(QsciScintilla::EolWindows);
    setWrapMode(QsciScintilla::WrapNone);
    for (int m = 0; m < 5; ++m)
        setMarginWidth(m, 0);
    SendScintilla(SCI_SETMARGINLEFT, 0, 4L);
    SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, (unsigned long)SC_LINECHARACTERINDEX_UTF16);
    // Alt+Backspace belongs to File > Exit, not to the editor's undo. The command set
    // answers the shortcut override for every key it binds, so the binding goes there.
    if (QsciCommand* undo = standardCommands()->find(QsciCommand::Undo))
        undo->setAlternateKey(0);
    SendScintilla(SCI_CLEARCMDKEY, (unsigned long)(SCK_BACK + (SCMOD_ALT << 16)));
    SendScintilla(SCI_CLEARCMDKEY, (unsigned long)(SCK_BACK + ((SCMOD_ALT | SCMOD_SHIFT) << 16)));
    // The editor's own context menu never shows; the window offers its popup instead.
    setContextMenuPolicy(Qt::PreventContextMenu);
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1UL);
    // Keep the layouts of every line on screen, not only the caret's: with the caret line's
    // alone, painting the lines around a long line dropped its layout, and each key laid
    // the whole long line out again.
    SendScintilla(SCI_SETLAYOUTCACHE, (unsigned long)SC_CACHE_PAGE);

    editorFont_ = QFont(QStringLiteral("Cambria"));
    editorFont_.setPointSizeF(9.75);
    CharFormat plain;
    defineStyle(STYLE_DEFAULT, plain);
    // Every style starts as the default one: a style defined later for a colour then
    // changes only its colour, and with word wrap on no line has to be wrapped again.
    SendScintilla(SCI_STYLECLEARALL);
    defineStyle(0, plain);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                onModified(position, type, length);
            });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (!(updated & SC_UPDATE_SELECTION))
            return;
        if (QAccessible::isActive()) {
            QAccessibleTextCursorEvent ev(this, toCharPos(SendScintilla(SCI_GETCURRENTPOS)));
            QAccessible::updateAccessibility(&ev);
        }
        emit SelChange();
    });
}

// ---- changes -----------------------------------------------------------------------------
// The styles and formats themselves are in txtcodeformats.cpp.

qint64 TxtCode::byteLength() const {
    return SendScintilla(SCI_GETLENGTH);
}

void TxtCode::onModified(int position, int type, int length) {
    if (QAccessible::isActive())
        notifyAccessibility(position, type, length);
    if (type & SC_MOD_BEFOREDELETE) {
        // Remember the format of what a user deletion removes first: a replacement
        // (typing or pasting over a selection, overtyping) inserts right after it.
        deletedStyle_ = -1;
        if (!loading_ && (type & SC_PERFORMED_USER) && length > 0) {
            deletedStyle_ =
                static_cast<unsigned char>(SendScintilla(SCI_GETSTYLEAT, (unsigned long)position));
            deletedPos_ = position;
        }
        return;
    }
    if (!(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        return;
    if (loading_) {
        pendingStyle_ = -1;
        deletedStyle_ = -1;
        return;
    }
    if (type & SC_MOD_INSERTTEXT) {
        // Text replacing a selection (deleted in the same undo step, so the insertion does
        // not start the step) takes the format of the selection's first character; text
        // inserted at a caret takes the colour SelColor set there, else the format of the
        // character before it.
        const bool replacing = deletedStyle_ >= 0 && deletedPos_ == position &&
                               (type & SC_PERFORMED_USER) && !(type & SC_STARTACTION);
        int style = 0;
        if (pendingStyle_ >= 0 && position == pendingPos_)
            style = pendingStyle_;
        else if (replacing)
            style = deletedStyle_;
        else if (position > 0)
            style = static_cast<unsigned char>(
                SendScintilla(SCI_GETSTYLEAT, (unsigned long)(position - 1)));
        SendScintilla(SCI_STARTSTYLING, (unsigned long)position, 0L);
        SendScintilla(SCI_SETSTYLING, (unsigned long)length, (long)style);
        deletedStyle_ = -1;
    }
    pendingStyle_ = -1;
}

void TxtCode::notifyAccessibility(int position, int type, int length) {
    // Offsets are taken while they are valid: a removal's before it happens.
    if (type & SC_MOD_BEFOREDELETE) {
        removedOffset_ = toCharPos(position);
        removedText_ = EditorBuffer(*this).text(position, position + length);
    } else if (type & SC_MOD_DELETETEXT) {
        QAccessibleTextRemoveEvent ev(this, removedOffset_, removedText_);
        QAccessible::updateAccessibility(&ev);
        removedText_.clear();
    } else if (type & SC_MOD_INSERTTEXT) {
        QAccessibleTextInsertEvent ev(this, toCharPos(position),
                                      EditorBuffer(*this).text(position, position + length));
        QAccessible::updateAccessibility(&ev);
    }
}

// ---- positions ---------------------------------------------------------------------------

namespace {
// A line's extent in bytes and in UTF-16 units, from Scintilla's line indexes: its start
// and the start of the next line (the document's end for the last line).
struct LineSpan {
    long byte, byteEnd, unit, unitEnd;
    // Every character of the line is one byte and one unit: offsets map one to one.
    bool singleBytes() const { return byteEnd - byte == unitEnd - unit; }
};

LineSpan lineSpan(const QsciScintillaBase& ed, long line, qint64 byteLength) {
    LineSpan s;
    s.byte = ed.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)line);
    s.byteEnd =
        line + 1 < ed.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)
            ? ed.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)(line + 1))
            : long(byteLength);
    // The index has one entry more than there are lines: the last is the document's end.
    s.unit = ed.SendScintilla(QsciScintillaBase::SCI_INDEXPOSITIONFROMLINE, (unsigned long)line,
                              (long)QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
    s.unitEnd =
        ed.SendScintilla(QsciScintillaBase::SCI_INDEXPOSITIONFROMLINE, (unsigned long)(line + 1),
                         (long)QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
    return s;
}
} // namespace

// Both conversions find the line through Scintilla's UTF-16 line index, then count within
// the line from whichever of its ends is nearer, so that a position near the end of a
// line of megabytes (Select All, the document's length) costs no walk over the line.
qint64 TxtCode::toBytePos(int pos) const {
    if (pos <= 0)
        return 0;
    const long line = SendScintilla(SCI_LINEFROMINDEXPOSITION, (unsigned long)pos,
                                    (long)SC_LINECHARACTERINDEX_UTF16);
    const LineSpan s = lineSpan(*this, line, byteLength());
    const long units = pos - s.unit;
    if (units <= 0)
        return s.byte;
    if (pos >= s.unitEnd)
        return s.byteEnd;
    if (s.singleBytes())
        return s.byte + units;
    const long byte =
        units <= s.unitEnd - pos
            ? SendScintilla(SCI_POSITIONRELATIVECODEUNITS, (unsigned long)s.byte, units)
            : SendScintilla(SCI_POSITIONRELATIVECODEUNITS, (unsigned long)s.byteEnd,
                            -(s.unitEnd - pos));
    // A position between the two halves of a surrogate pair gives the pair's start. (A
    // walk that failed would answer 0: the line's start is a boundary before pos too.)
    if (byte < s.byte || byte > s.byteEnd)
        return s.byte;
    return byte;
}

int TxtCode::toCharPos(qint64 bytePos) const {
    if (bytePos <= 0)
        return 0;
    const qint64 len = byteLength();
    if (bytePos > len)
        bytePos = len;
    const long line = SendScintilla(SCI_LINEFROMPOSITION, (unsigned long)bytePos);
    const LineSpan s = lineSpan(*this, line, len);
    if (bytePos >= s.byteEnd)
        return int(s.unitEnd);
    if (s.singleBytes())
        return int(s.unit + (bytePos - s.byte));
    // Counting back from the line's end is exact only from the start of a character
    // (Scintilla rounds a position inside one outwards); a UTF-8 continuation byte there
    // is counted from the line's start, as before.
    const bool charStart = (SendScintilla(SCI_GETCHARAT, (unsigned long)bytePos) & 0xc0) != 0x80;
    if (bytePos - s.byte <= s.byteEnd - bytePos || !charStart)
        return int(s.unit +
                   SendScintilla(SCI_COUNTCODEUNITS, (unsigned long)s.byte, (long)bytePos));
    return int(s.unitEnd -
               SendScintilla(SCI_COUNTCODEUNITS, (unsigned long)bytePos, (long)s.byteEnd));
}

QString TxtCode::textRange(int from, int to) const {
    const qint64 a = toBytePos(qMax(0, from));
    const qint64 b = toBytePos(qMax(from, to));
    if (b <= a)
        return QString();
    return EditorBuffer(*this).text(a, b);
}

void TxtCode::replaceRange(int from, int to, const QString& text) {
    const QByteArray bytes = editorbytes::encode(text);
    const qint64 a = toBytePos(qMax(0, from));
    const qint64 b = toBytePos(qMax(from, to));
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_SETTARGETRANGE, (unsigned long)a, (long)b);
    SendScintilla(SCI_REPLACETARGET, (uintptr_t)bytes.size(), bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
}

int TxtCode::TextLength() const {
    return toCharPos(byteLength());
}

// ---- text and selection ------------------------------------------------------------------

QString TxtCode::Text() const {
    return EditorBuffer(*this).text(0, byteLength());
}

void TxtCode::SetText(const QString& text) {
    // Only a document that keeps stray bytes has any to keep.
    loadBytes(keepsStrayBytes_ && editorbytes::hasStandIns(text)
                  ? editorbytes::encodeOver(text, EditorBuffer(*this).contiguous(0, byteLength()))
                  : editorbytes::encode(text));
}

void TxtCode::setEditorBytes(const QByteArray& bytes, bool keepStrayBytes) {
    keepsStrayBytes_ = keepStrayBytes;
    bool stray = false;
    const QString text = keepStrayBytes ? QString() : editorbytes::decode(bytes, &stray);
    loadBytes(stray ? editorbytes::encode(text) : bytes);
}

QByteArray TxtCode::editorBytes() const {
    return EditorBuffer(*this).bytes(0, byteLength());
}

void TxtCode::loadBytes(const QByteArray& bytes) {
    loading_ = true;
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_ADDTEXT, (uintptr_t)bytes.size(), bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
    loading_ = false;
    pendingStyle_ = -1;
    SendScintilla(SCI_STARTSTYLING, 0UL, 0L);
    SendScintilla(SCI_SETSTYLING, (unsigned long)bytes.size(), 0L);
    SendScintilla(SCI_GOTOPOS, 0UL);
}

int TxtCode::SelStart() const {
    return toCharPos(SendScintilla(SCI_GETSELECTIONSTART));
}

void TxtCode::SetSelStart(int pos) {
    const qint64 b = toBytePos(pos);
    SendScintilla(SCI_GOTOPOS, (unsigned long)b);
}

int TxtCode::SelLength() const {
    const qint64 s = SendScintilla(SCI_GETSELECTIONSTART);
    const qint64 e = SendScintilla(SCI_GETSELECTIONEND);
    if (e <= s)
        return 0;
    return toCharPos(e) - toCharPos(s);
}

void TxtCode::SetSelLength(int length) {
    const int start = SelStart();
    const qint64 a = toBytePos(start);
    const qint64 c = toBytePos(start + qMax(0, length));
    SendScintilla(SCI_SETSEL, (unsigned long)a, (long)c);
}

QString TxtCode::SelText() const {
    return EditorBuffer(*this).text(SendScintilla(SCI_GETSELECTIONSTART),
                                    SendScintilla(SCI_GETSELECTIONEND));
}

void TxtCode::SetSelText(const QString& text) {
    if (keepsStrayBytes_ && editorbytes::hasStandIns(text))
        replaceSelection(editorbytes::encodeOver(
            text, EditorBuffer(*this).contiguous(SendScintilla(SCI_GETSELECTIONSTART),
                                                 SendScintilla(SCI_GETSELECTIONEND))));
    else
        replaceSelection(editorbytes::encode(text));
}

void TxtCode::enterText(const QString& text) {
    replaceSelection(editorbytes::encode(text));
}

void TxtCode::pasteMime(const QMimeData* source) {
    replaceSelection(pastedBytes(source));
}

void TxtCode::replaceSelection(const QByteArray& bytes) {
    const qint64 s = SendScintilla(SCI_GETSELECTIONSTART);
    const qint64 e = SendScintilla(SCI_GETSELECTIONEND);
    // A pending SelColor at the caret applies to what is written there.
    const int pending = (e == s && pendingPos_ == s) ? pendingStyle_ : -1;
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_SETTARGETRANGE, (unsigned long)s, (long)e);
    if (pending >= 0 && e > s)
        pendingStyle_ = -1;
    SendScintilla(SCI_REPLACETARGET, (uintptr_t)bytes.size(), bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
    if (pending >= 0 && !bytes.isEmpty()) {
        SendScintilla(SCI_STARTSTYLING, (unsigned long)s, 0L);
        SendScintilla(SCI_SETSTYLING, (unsigned long)bytes.size(), (long)pending);
    }
    SendScintilla(SCI_GOTOPOS, (unsigned long)(s + bytes.size()));
}

// ---- clipboard ---------------------------------------------------------------------------

namespace {
// The bytes of a copy that holds stray bytes, beside its text: only a paste into a
// document that keeps stray bytes takes them.
const QString kEditorBytesFormat = QStringLiteral("application/x-verrindel-editor-bytes");
} // namespace

QMimeData* TxtCode::toMimeData(const QByteArray& text, bool rectangular) const {
    QMimeData* mime = QsciScintilla::toMimeData(text, rectangular);
    bool stray = false;
    mime->setText(editorbytes::decode(text, &stray));
    if (stray)
        mime->setData(kEditorBytesFormat, text);
    return mime;
}

QByteArray TxtCode::fromMimeData(const QMimeData* source, bool& rectangular) const {
    QsciScintilla::fromMimeData(source, rectangular);
    return pastedBytes(source);
}

QByteArray TxtCode::pastedBytes(const QMimeData* source) const {
    if (!source)
        return QByteArray();
    const QString text = source->text();
    if (keepsStrayBytes_ && source->hasFormat(kEditorBytesFormat)) {
        // Trusted only while it still goes with the text beside it.
        const QByteArray bytes = source->data(kEditorBytesFormat);
        if (editorbytes::decode(bytes) == text)
            return bytes;
    }
    return editorbytes::encode(text);
}

// ---- search and lines --------------------------------------------------------------------

int TxtCode::Find(const QString& what, int start, int end, int options) {
    if (what.isEmpty())
        return -1;
    const QByteArray needle = what.toUtf8();
    int flags = 0;
    if (options & 2)
        flags |= SCFIND_WHOLEWORD;
    if (options & 4)
        flags |= SCFIND_MATCHCASE;
    SendScintilla(SCI_SETSEARCHFLAGS, (unsigned long)flags);
    SendScintilla(SCI_SETTARGETRANGE, (unsigned long)toBytePos(start), (long)toBytePos(end));
    const long found =
        SendScintilla(SCI_SEARCHINTARGET, (uintptr_t)needle.size(), needle.constData());
    if (found < 0)
        return -1;
    const long foundEnd = SendScintilla(SCI_GETTARGETEND);
    SendScintilla(SCI_SETSEL, (unsigned long)found, foundEnd);
    return toCharPos(found);
}

int TxtCode::GetLineFromChar(int pos) const {
    return int(SendScintilla(SCI_LINEFROMPOSITION, (unsigned long)toBytePos(pos)));
}

int TxtCode::LineCount() const {
    return int(SendScintilla(SCI_GETLINECOUNT));
}

int TxtCode::LineStart(int line) const {
    if (line < 0 || line >= LineCount())
        return -1;
    return int(SendScintilla(SCI_INDEXPOSITIONFROMLINE, (unsigned long)line,
                             (long)SC_LINECHARACTERINDEX_UTF16));
}

qint64 TxtCode::lastIndexOfAscii(char c) const {
    return EditorBuffer(*this).lastIndexOf(c);
}

// ---- files, flags, font ------------------------------------------------------------------

void TxtCode::setLoadedFile(const LoadedFile& f) {
    // The undo history starts empty after a load: not recording the old text's removal
    // and the new text's insertion saves two copies of the documents on the way.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    keepsStrayBytes_ = false;
    if (f.rich) {
        setRichDocument(rtf::read(f.content));
    } else if (f.state.form.strayBytes) {
        // Every stand-in of such a file stands for a stray byte (a file holding the
        // characters themselves is not read this way): the bytes go back in as they were.
        FileForm bytesAsRead;
        bytesAsRead.strayBytes = true;
        QByteArray bytes;
        encodeFileBytes(f.content, bytesAsRead, &bytes);
        setEditorBytes(bytes, true);
    } else {
        SetText(f.content);
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
}

QByteArray TxtCode::fileBytes(const FileForm& form, bool* asText) const {
    // The buffer's bytes are the file's UTF-8 as they are: without stray bytes they are
    // valid UTF-8 (every entry is encoded), and no string of the whole text is made.
    *asText = form.encoding != FileForm::Encoding::Utf8;
    return *asText ? QByteArray() : utf8FileBytes(editorBytes(), form);
}

bool TxtCode::LoadFile(const QString& path, QString* error, FileState* file) {
    const LoadedFile f = readFile(path);
    if (!f.ok) {
        if (error)
            *error = f.errorString;
        return false;
    }
    if (file)
        *file = f.state;
    return true;
}

void TxtCode::beginPieces(qint64 total) {
    // As setLoadedFile: no undo history of the old text's removal nor of the new text.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    // A failure of the buffer on the way is told by the status: none is pending before.
    SendScintilla(SCI_SETSTATUS, (unsigned long)SC_STATUS_OK);
    loading_ = true;
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_CLEARALL);
    // The buffer is made once, with the room for typing that a growth leaves (a sixth
    // more, not touched until used), instead of growing piece by piece.
    SendScintilla(SCI_ALLOCATE, (unsigned long)(total + total / 6 + 1024));
}

void TxtCode::endPieces() {
    SendScintilla(SCI_ENDUNDOACTION);
    loading_ = false;
    pendingStyle_ = -1;
    SendScintilla(SCI_STARTSTYLING, 0UL, 0L);
    SendScintilla(SCI_SETSTYLING, (unsigned long)byteLength(), 0L);
    // The appended text left the caret at the start and the buffer's gap at the end: the
    // caret's move from the end tells idle processing to take the gap to it before the
    // first key (as after a text put in whole at the caret).
    SendScintilla(SCI_SETEMPTYSELECTION, (unsigned long)byteLength());
    SendScintilla(SCI_GOTOPOS, 0UL);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
}

LoadedFile TxtCode::readFile(const QString& path) {
    bool started = false;
    EditorBytesSink sink;
    sink.begin = [&](qint64 total) {
        started = true;
        beginPieces(total);
    };
    sink.piece = [&](QByteArrayView bytes) {
        SendScintilla(SCI_APPENDTEXT, (uintptr_t)bytes.size(), bytes.data());
    };
    LoadedFile f = readDocumentFileInPieces(path, sink);
    if (started) {
        endPieces();
        keepsStrayBytes_ = f.ok && f.state.form.strayBytes;
        if (!f.ok || SendScintilla(SCI_GETSTATUS) == SC_STATUS_BADALLOC) {
            // The buffer could not take the whole text (or the decoding ran out of memory
            // on the way): nothing of it is kept.
            SendScintilla(SCI_SETSTATUS, (unsigned long)SC_STATUS_OK);
            SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
            SendScintilla(SCI_CLEARALL);
            SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
            SendScintilla(SCI_EMPTYUNDOBUFFER);
            f = LoadedFile();
            f.errorString = QStringLiteral("There is not enough memory to read it.");
        }
    } else if (f.ok) {
        setLoadedFile(f);
    }
    return f;
}

bool TxtCode::SaveFile(const QString& path, QString* error, FileState* file) const {
    FileState state;
    FileState* into = file ? file : &state;
    bool asText = true;
    const QByteArray bytes = fileBytes(into->form, &asText);
    return asText ? writeDocumentFile(path, Text(), into, error)
                  : writeDocumentBytes(path, bytes, into, error);
}

bool TxtCode::Modified() const {
    return SendScintilla(SCI_GETMODIFY) != 0;
}

void TxtCode::SetModified(bool modified) {
    if (!modified)
        SendScintilla(SCI_SETSAVEPOINT);
    else
        QsciScintilla::setModified(true);
}

void TxtCode::SetFont(const QFont& font) {
    editorFont_ = font;
    refreshAllStyles();
}

bool TxtCode::Overtype() const {
    return SendScintilla(SCI_GETOVERTYPE) != 0;
}

// ---- events ------------------------------------------------------------------------------

int TxtCode::shiftState(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

void TxtCode::keyPressEvent(QKeyEvent* e) {
    KeyDownEvent down{e->key(), shiftState(e->modifiers()), false};
    emit KeyDown(down);
    if (down.consumed) {
        e->accept();
        return;
    }
    const QString typed = e->text();
    if (!typed.isEmpty() && typed[0].isPrint() &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        for (QChar c : typed)
            emit KeyPress(c);
    }
    QsciScintilla::keyPressEvent(e);
}

void TxtCode::keyReleaseEvent(QKeyEvent* e) {
    emit KeyUp(e->key(), shiftState(e->modifiers()), e->nativeVirtualKey());
    QsciScintilla::keyReleaseEvent(e);
}

void TxtCode::mousePressEvent(QMouseEvent* e) {
    emit MouseDown(e->button(), e->globalPosition().toPoint());
    // The right button only opens the window's popup; it does not move the caret.
    if (e->button() == Qt::RightButton) {
        e->accept();
        return;
    }
    QsciScintilla::mousePressEvent(e);
}

void TxtCode::surroundingRange(qint64* from, qint64* to) const {
    // A window of this many bytes on each side of the caret bounds the answer on a long line.
    constexpr qint64 kReach = 2048;
    const qint64 caret = SendScintilla(SCI_GETCURRENTPOS);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, (unsigned long)caret);
    const qint64 lineStart = SendScintilla(SCI_POSITIONFROMLINE, (unsigned long)line);
    const qint64 lineEnd = SendScintilla(SCI_GETLINEENDPOSITION, (unsigned long)line);
    *from = qMax(lineStart, caret - kReach);
    *to = qMin(lineEnd, caret + kReach);
    // Never cut a character in two.
    if (*from > lineStart)
        *from =
            SendScintilla(SCI_POSITIONAFTER,
                          (unsigned long)SendScintilla(SCI_POSITIONBEFORE, (unsigned long)*from));
    if (*to < lineEnd)
        *to = SendScintilla(SCI_POSITIONBEFORE,
                            (unsigned long)SendScintilla(SCI_POSITIONAFTER, (unsigned long)*to));
}

QVariant TxtCode::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query != Qt::ImSurroundingText && query != Qt::ImCursorPosition &&
        query != Qt::ImAnchorPosition && query != Qt::ImTextBeforeCursor &&
        query != Qt::ImTextAfterCursor)
        return QsciScintilla::inputMethodQuery(query);
    qint64 from, to;
    surroundingRange(&from, &to);
    // UTF-16 units from the window's start to a byte position, clamped into the window.
    auto unitsTo = [&](qint64 pos) {
        pos = qBound(from, pos, to);
        return int(SendScintilla(SCI_COUNTCODEUNITS, (unsigned long)from, (long)pos));
    };
    auto textOf = [this](qint64 a, qint64 b) { return EditorBuffer(*this).text(a, b); };
    const qint64 caret = SendScintilla(SCI_GETCURRENTPOS);
    switch (query) {
    case Qt::ImSurroundingText:
        return textOf(from, to);
    case Qt::ImCursorPosition:
        return unitsTo(caret);
    case Qt::ImAnchorPosition:
        return unitsTo(SendScintilla(SCI_GETANCHOR));
    case Qt::ImTextBeforeCursor:
        return textOf(from, qBound(from, caret, to));
    default: // Qt::ImTextAfterCursor
        return textOf(qBound(from, caret, to), to);
    }
}

void TxtCode::changeEvent(QEvent* e) {
    // QsciScintilla greys style 0 while disabled and sets its own text colour again when
    // enabled: a restyle that lays out every line again (a second or more on a long line,
    // each time a tool window disables the main window) and that overwrote the plain
    // format's colour. The editor keeps its colours; without the focus it shows no caret.
    if (e->type() == QEvent::EnabledChange) {
        QsciScintillaBase::changeEvent(e);
        return;
    }
    QsciScintilla::changeEvent(e);
}

void TxtCode::contextMenuEvent(QContextMenuEvent* e) {
    e->accept();
}

bool TxtCode::event(QEvent* e) {
    // While the editor has the focus its own keys win over the menu shortcuts that share
    // them: Del, Ctrl+Z/X/C/V/A and Tab in every combination.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(e);
        const auto mods =
            ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        const int key = ke->key();
        const bool ctrlKey = mods == Qt::ControlModifier &&
                             (key == Qt::Key_Z || key == Qt::Key_X || key == Qt::Key_C ||
                              key == Qt::Key_V || key == Qt::Key_A);
        if (ctrlKey || (key == Qt::Key_Delete && mods == Qt::NoModifier) || key == Qt::Key_Tab ||
            key == Qt::Key_Backtab) {
            e->accept();
            return true;
        }
    }
    return QsciScintilla::event(e);
}
