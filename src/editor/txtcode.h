// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QVector>
#include <Qsci/qsciscintilla.h>

#include "editor/txtcodestyles.h"
#include "text/charformat.h"
#include "text/textfile.h"

// What a key-down handler sees; setting `consumed` swallows the key (key code 0).
struct KeyDownEvent {
    int key = 0;   // Qt::Key
    int shift = 0; // modifier bits: 1 Shift, 2 Ctrl, 4 Alt
    bool consumed = false;
};

// A colour for a stretch of text, in UTF-16 positions of Text.
struct ColorSpan {
    int start = 0;
    int length = 0;
    BgrColor color = 0;
};

// The document editor: a QScintilla editor offering the members of a rich-text box.
//
// Positions are UTF-16 offsets into Text, a line break being the two characters CR LF.
// They are converted to Scintilla's byte positions through its UTF-16 line index, so a
// conversion costs a line, never the document. Every character carries a CharFormat,
// held as a Scintilla style.
class TxtCode : public QsciScintilla {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int SelStart READ SelStart WRITE SetSelStart)
    Q_PROPERTY(int SelLength READ SelLength WRITE SetSelLength)
    Q_PROPERTY(QString SelText READ SelText WRITE SetSelText)
    Q_PROPERTY(QString TextRTF READ TextRTF WRITE SetTextRTF)

public:
    explicit TxtCode(QWidget* parent = nullptr);

    // The whole plain text. Writing it replaces everything and drops all formatting.
    // In a document that keeps stray bytes (see editorbytes.h), each stray byte reads as
    // its stand-in character, and a stand-in written back where its stray byte was stays
    // that byte; any other stand-in written is the character itself.
    QString Text() const;
    void SetText(const QString& text);
    // Length of Text in UTF-16 units, without building the string.
    int TextLength() const;

    // Caret or selection start; writing moves the caret there (clamped), nothing selected.
    int SelStart() const;
    void SetSelStart(int pos);
    // Selected characters from SelStart; writing selects that many (clamped).
    int SelLength() const;
    void SetSelLength(int length);
    // The selected text; writing replaces the selection (or inserts at the caret) and
    // leaves the caret after the written text. The text is kept exactly, lone CRs too.
    // Stand-ins written back over their stray bytes stay those bytes, as for Text.
    QString SelText() const;
    void SetSelText(const QString& text);
    // Writes text the user entered (a dialog's fragment) as SetSelText does, every
    // character as itself.
    void enterText(const QString& text);
    // Writes the plain text of clipboard data as enterText does; text copied from this
    // document keeps its stray bytes.
    void pasteMime(const QMimeData* source);

    // Whether the document keeps the stray bytes of the file it was read from (a
    // mostly-UTF-8 file); LoadFile sets it from the file's form.
    bool keepsStrayBytes() const { return keepsStrayBytes_; }
    void setKeepsStrayBytes(bool keep) { keepsStrayBytes_ = keep; }
    // Loads the editor's own bytes (as copyEditorBytes gives them) as the whole text, as
    // SetText does. With keepStrayBytes the bytes that are not valid UTF-8 stay stray
    // bytes; without, each becomes its stand-in character.
    void setEditorBytes(const QByteArray& bytes, bool keepStrayBytes);
    // A copy of the editor's bytes.
    QByteArray editorBytes() const;

    // Colours the selection; at a bare caret, sets the colour of what is typed or
    // inserted there next. SelColor() reads the colour at the selection start.
    void SetSelColor(BgrColor color);
    BgrColor SelColor() const;

    // The document as RTF; writing reloads it (text not starting "{\rtf" is loaded as
    // plain text with the default format).
    QString TextRTF() const;
    void SetTextRTF(const QString& rtf);

    // The whole document with its formats, and loading one.
    RichDocument richDocument() const;
    void setRichDocument(const RichDocument& doc);
    // The format of the character at a position (the default format past the end).
    CharFormat formatAt(int pos) const;

    // Recolours many stretches in one batch, later spans over earlier ones, keeping the
    // other attributes of each character; the selection is left alone.
    void applyColors(const QVector<ColorSpan>& spans);

    // Searches Text[start, end) for `what`; options: 2 whole word, 4 match case. Returns
    // the position of the first match and selects it, or -1 leaving the selection alone.
    int Find(const QString& what, int start, int end, int options);
    // The 0-based line holding a position (0 .. TextLength()).
    int GetLineFromChar(int pos) const;
    // The position where a 0-based line starts, or -1 when there is no such line.
    int LineStart(int line) const;
    int LineCount() const;

    // Shows a file the text library has read (rich text formatted, other files as text
    // with line ends CR LF), with an empty undo history. The control reads no file itself.
    void setLoadedFile(const LoadedFile& file);
    // The bytes to write for the plain text in the given form: a UTF-8 file is written
    // from the buffer, whose bytes are its UTF-8 and tell a file's stray bytes from the
    // stand-in characters entered since; *asText is set when the text is to be encoded
    // instead (and the result is empty).
    QByteArray fileBytes(const FileForm& form, bool* asText) const;
    // Reads a document file through the text library and shows it; on failure the
    // document is unchanged and *error holds the reason. *file, when given, receives the
    // form the file was read in and its stamp.
    bool LoadFile(const QString& path, QString* error, FileState* file = nullptr);
    // Reads a document file and shows it, as setLoadedFile(readDocumentFile(path)) would,
    // but a text file's text goes into the buffer in pieces as it is decoded, so that it
    // is never held whole beside the buffer. When the file cannot be read (!ok,
    // errorString says why) the document is unchanged; when the buffer cannot take the
    // text, it is left empty and the reason is that there is not enough memory. The
    // result's content is empty for a text file.
    LoadedFile readFile(const QString& path);
    // Writes the plain text through the text library in the form of *file (without one:
    // UTF-8 without byte-order mark, CR LF) and updates *file; see writeDocumentFile.
    bool SaveFile(const QString& path, QString* error, FileState* file = nullptr) const;

    bool Modified() const;
    void SetModified(bool modified);

    QFont Font() const { return editorFont_; }
    void SetFont(const QFont& font);
    void SetFocus() { setFocus(Qt::OtherFocusReason); }

    // True while typing overwrites (the Insert key toggles it).
    bool Overtype() const;

    // Byte position of the last occurrence of an ASCII character, or -1; searches the
    // editor's own buffer backwards without copying the text.
    qint64 lastIndexOfAscii(char c) const;

    // Position conversions between UTF-16 offsets and Scintilla byte positions.
    qint64 toBytePos(int pos) const;
    int toCharPos(qint64 bytePos) const;

    // The text between two positions (clamped), without building the whole Text.
    QString textRange(int from, int to) const;
    // Replaces the text between two positions as one undo step; the caret stays where
    // it was (moved with the text after it). Inserted text takes the insertion format and
    // is written as entered (enterText).
    void replaceRange(int from, int to, const QString& text);

    // Input methods see the current line (a window of it around the caret on a long line),
    // never the whole document.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void KeyDown(KeyDownEvent& event);
    void KeyPress(QChar character);
    void KeyUp(int key, int shift, quint32 nativeVirtualKey);
    void MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void SelChange();

protected:
    // The clipboard and drags: a selection's text with stand-ins for its stray bytes, and
    // its bytes as they are for a paste into this document (pasteMime).
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // Replaces the whole buffer with these bytes, as SetText.
    void loadBytes(const QByteArray& bytes);
    // The start and end of a text loaded in pieces: the document is emptied, room made
    // for `total` bytes, pieces appended, and the end makes it what loadBytes leaves.
    void beginPieces(qint64 total);
    void endPieces();
    // Replaces the selection with these bytes, as SetSelText.
    void replaceSelection(const QByteArray& bytes);
    // The bytes a paste of clipboard data puts in.
    QByteArray pastedBytes(const QMimeData* source) const;
    int styleFor(const CharFormat& format);
    const CharFormat& formatOfByte(qint64 bytePos) const;
    void defineStyle(int style, const CharFormat& format);
    void refreshAllStyles();
    qint64 byteLength() const;
    QByteArray stylesOf(qint64 start, qint64 end) const;
    void setStyles(qint64 start, const QByteArray& styles);
    // Changes the format of every character between two byte positions.
    template <class Change> void restyle(qint64 start, qint64 end, Change change);
    void onModified(int position, int type, int length);
    void notifyAccessibility(int position, int type, int length);
    // The stretch of the caret's line that input methods see, in byte positions.
    void surroundingRange(qint64* from, qint64* to) const;
    static int shiftState(Qt::KeyboardModifiers m);

    QFont editorFont_;
    StyleTable styles_;
    // Insertion format set by SelColor at a bare caret: valid while the caret stays at
    // pendingPos_ and nothing else was edited.
    int pendingStyle_ = -1;
    qint64 pendingPos_ = -1;
    bool loading_ = false;
    bool keepsStrayBytes_ = false;
    // The style of the first character of the last user deletion, at its position: text
    // inserted there in the same undo step replaced a selection and takes that format.
    int deletedStyle_ = -1;
    qint64 deletedPos_ = -1;
    // Where a removal about to happen starts, for the accessibility event sent after it.
    int removedOffset_ = 0;
    QString removedText_;
};
