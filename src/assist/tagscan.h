// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QVector>
#include <QtGlobal>

// Local scanning of markup around a position, for the tag aids of the editor (the matched
// pair, closing and renaming tags, completion). Everything works on the editor's UTF-8 bytes
// as a TextView, byte positions throughout, and looks only as far as it is allowed to: each
// search either has a reach (bytes from the caret) or runs in steps with a budget, so that
// a key at the end of a large document or on a very long line never waits for a walk over
// all of it. Markup is read as browsers read it where that matters here (comments, raw
// text elements, quoted attribute values, void elements, optional end tags); a page that
// is not well formed gives a plausible answer, never a crash.
namespace tagscan {

// The editor's bytes: its buffer is two stretches around a gap, read without moving the gap.
// A test gives one stretch (or splits a string anywhere to try both).
struct TextView {
    const char* head = nullptr;
    qint64 headLength = 0;
    const char* tail = nullptr;
    qint64 tailLength = 0;

    static TextView of(QByteArrayView bytes) {
        return TextView{bytes.data(), bytes.size(), nullptr, 0};
    }
    qint64 size() const { return headLength + tailLength; }
    // The byte at a position; 0 outside the text.
    char at(qint64 i) const {
        if (i < 0 || i >= size())
            return 0;
        return i < headLength ? head[i] : tail[i - headLength];
    }
    // The first `c` in [from, to), or -1.
    qint64 find(char c, qint64 from, qint64 to) const;
    // The last `c` in [from, to), or -1.
    qint64 rfind(char c, qint64 from, qint64 to) const;
    // The first occurrence of `what` starting in [from, to) (it may run past `to`), or -1.
    qint64 find(QByteArrayView what, qint64 from, qint64 to) const;
    // The last occurrence of `what` starting in [from, to), or -1.
    qint64 rfind(QByteArrayView what, qint64 from, qint64 to) const;
    // The bytes in [from, to) (clamped).
    QByteArray bytes(qint64 from, qint64 to) const;
};

// A character that may stand in a tag or attribute name as typed by hand.
bool isNameChar(char c);

// One piece of markup that starts with "<".
struct Token {
    enum Kind { None, StartTag, EndTag, Other }; // Other: comment, doctype, processing
    Kind kind = None;
    qint64 start = -1;     // the "<"
    qint64 end = -1;       // just after the ">"
    qint64 nameStart = -1; // the tag's name
    qint64 nameEnd = -1;
    QByteArray name; // lower case
    bool selfClosing = false;
    bool strayLessThan = false; // a "<" stands among its attributes, outside quotes
    bool isTag() const { return kind == StartTag || kind == EndTag; }
};

// Reads the markup starting with the "<" at `pos`, looking no further than `limit`. A tag
// that does not end before `limit` (or a "<" that starts no markup) gives kind None.
Token readToken(const TextView& text, qint64 pos, qint64 limit);

// Elements whose content is text up to their end tag (script, style, textarea, title...).
bool isRawText(const QByteArray& lowerName);
// Elements without content or end tag (br, img, input...).
bool isVoidElement(const QByteArray& lowerName);

// The start or end tag that holds the caret (between its "<" and just after its ">"),
// found within `reach` bytes of the caret. kind None when there is none.
Token tagAtCaret(const TextView& text, qint64 caret, qint64 reach);

// The tag name being edited at the caret: the caret is in (or at either end of) the name of
// a start tag or an end tag. kind None otherwise; the name may be empty ("<" or "</" alone
// before the caret). The token's end is not known here (-1).
Token nameAtCaret(const TextView& text, qint64 caret);

// Walks markup backwards from a position: each call gives the tag that ends last before
// the walk's limit, skipping comments whole and the text of raw text elements (whose start
// tag is given for their end tag).
class BackwardTokens {
public:
    explicit BackwardTokens(qint64 from = 0) : limit_(from), scanned_(from) {}
    // How far back the walk has read.
    qint64 scanned() const { return scanned_; }
    // The next tag back, or kind None once `floor` is reached (the walk may go on from
    // there with a lower floor).
    Token next(const TextView& text, qint64 floor);

private:
    qint64 limit_;   // tags end here or before: the start of the last one given
    qint64 scanned_; // every "<" from here up to the limit has been read
};

// What a partner search found.
struct Pair {
    enum Kind {
        Searching, // not finished yet
        Partner,   // `partner` is the other tag of the element
        Alone,     // the element needs no partner: void, "/>", or an end tag left out
        NoPartner  // a partner should be there and is not
    };
    Kind kind = Searching;
    Token partner;
};

// The search for the partner of a tag, walked in steps: forwards from a start tag to its
// end tag, backwards from an end tag to its start tag. Nested elements of the same name,
// void elements, comments, raw text and the end tags that may be left out are understood.
class PairSearch {
public:
    PairSearch() = default;
    explicit PairSearch(const Token& tag);

    // Walks on over at most about `budget` bytes; true once the result is known. The text
    // must be the one the search was started on (its view may have been taken anew).
    bool step(const TextView& text, qint64 budget);
    const Pair& result() const { return result_; }
    const Token& tag() const { return tag_; }

    // The whole search at once (tests, and callers that cannot wait for steps).
    static Pair find(const TextView& text, const Token& tag);

private:
    bool stepForward(const TextView& text, qint64 stop);
    bool stepBackward(const TextView& text, qint64 stop);
    // Whether a start tag at the element's own level ends it when its end tag is left out.
    bool closedBy(const QByteArray& startName) const;

    Token tag_;
    Pair result_;
    qint64 pos_ = 0;           // forwards: how far the walk has read
    BackwardTokens back_;      // backwards
    QVector<QByteArray> open_; // elements opened (forwards) or closed (backwards) on the way
    bool optionalEnd_ = false;
};

// The element a "</" typed at `pos` would close: the innermost element open there, looked
// for backwards over at most `budget` bytes. Empty when none is found.
QByteArray innermostOpenElement(const TextView& text, qint64 pos, qint64 budget);

// True when `pos` lies in a comment or in the text of a raw text element (script, style,
// textarea, title...), judged from at most `reach` bytes before it.
bool inCommentOrRawText(const TextView& text, qint64 pos, qint64 reach);

// The name of the element whose start tag a ">" typed at `pos` would end, when its end tag
// is to be written after it: not for void elements, "/>", end tags, comments, the doctype,
// a ">" inside a quoted attribute value, or text in raw text elements. Empty otherwise.
QByteArray elementClosedByGreaterThan(const TextView& text, qint64 pos);

// The name a "/" typed at `pos` completes (after "<", the innermost open element), or
// empty; the name keeps the case of its start tag.
QByteArray endTagCompletedBySlash(const TextView& text, qint64 pos);

// What completion offers at a position.
struct CompletionContext {
    enum Kind { None, ElementName, AttributeName, AttributeValue, CharacterReference };
    Kind kind = None;
    qint64 wordStart = -1; // where the part already typed starts (it ends at the caret)
    QByteArray element;    // lower case, for attributes and values
    QByteArray attribute;  // lower case, for values
};
CompletionContext completionContext(const TextView& text, qint64 caret);

// Tuning of the searches, in bytes.
constexpr qint64 kTagReach = 64 * 1024;        // how far a tag at the caret may start
constexpr qint64 kContextReach = 32 * 1024;    // comments and raw text around a key
constexpr qint64 kOpenElementBudget = 1 << 20; // innermost open element for "</"
constexpr qint64 kRenameBudget = 1 << 20;      // a partner not yet found by the marks

} // namespace tagscan
