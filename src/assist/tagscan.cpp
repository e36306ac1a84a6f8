// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/tagscan.h"

#include <cstring>

#include "checker/elements.h"
#include "htmldata/htmldata.h"

namespace tagscan {

// ---- the text ----------------------------------------------------------------------------

qint64 TextView::find(char c, qint64 from, qint64 to) const {
    from = qMax<qint64>(0, from);
    to = qMin(to, size());
    if (from >= to)
        return -1;
    if (from < headLength) {
        const qint64 end = qMin(to, headLength);
        if (const void* hit = std::memchr(head + from, c, size_t(end - from)))
            return static_cast<const char*>(hit) - head;
        from = headLength;
    }
    if (from < to) {
        const qint64 a = from - headLength;
        if (const void* hit = std::memchr(tail + a, c, size_t(to - from)))
            return headLength + (static_cast<const char*>(hit) - tail);
    }
    return -1;
}

qint64 TextView::rfind(char c, qint64 from, qint64 to) const {
    from = qMax<qint64>(0, from);
    to = qMin(to, size());
    if (from >= to)
        return -1;
    if (to > headLength) {
        const qint64 a = qMax(from, headLength) - headLength;
        const qint64 b = to - headLength;
        if (const void* hit = memrchr(tail + a, c, size_t(b - a)))
            return headLength + (static_cast<const char*>(hit) - tail);
        to = headLength;
    }
    if (from < to) {
        if (const void* hit = memrchr(head + from, c, size_t(to - from)))
            return static_cast<const char*>(hit) - head;
    }
    return -1;
}

namespace {
bool matchesAt(const TextView& text, qint64 pos, QByteArrayView what) {
    for (qsizetype k = 0; k < what.size(); ++k)
        if (text.at(pos + k) != what[k])
            return false;
    return pos + what.size() <= text.size();
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}
bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}
} // namespace

qint64 TextView::find(QByteArrayView what, qint64 from, qint64 to) const {
    if (what.isEmpty())
        return -1;
    for (qint64 p = find(what[0], from, to); p >= 0; p = find(what[0], p + 1, to))
        if (matchesAt(*this, p, what))
            return p;
    return -1;
}

qint64 TextView::rfind(QByteArrayView what, qint64 from, qint64 to) const {
    if (what.isEmpty())
        return -1;
    for (qint64 p = rfind(what[0], from, to); p >= 0; p = rfind(what[0], from, p))
        if (matchesAt(*this, p, what))
            return p;
    return -1;
}

QByteArray TextView::bytes(qint64 from, qint64 to) const {
    from = qMax<qint64>(0, from);
    to = qMin(to, size());
    QByteArray out;
    if (from >= to)
        return out;
    out.reserve(to - from);
    for (qint64 i = from; i < to; ++i)
        out += at(i);
    return out;
}

bool isNameChar(char c) {
    return isAlpha(c) || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':' || c == '.';
}

// ---- tokens ------------------------------------------------------------------------------

namespace {
QByteArray lowerBytes(const TextView& text, qint64 from, qint64 to) {
    QByteArray out = text.bytes(from, to);
    for (char& c : out)
        c = lower(c);
    return out;
}

// The end of a tag name: the tokenizer ends it at white space, "/" and ">" (and a stray "<"
// is taken as the start of the next tag, which is what a hand-typed page means).
qint64 nameEnd(const TextView& text, qint64 from, qint64 limit) {
    qint64 i = from;
    while (i < limit) {
        const char c = text.at(i);
        if (isSpace(c) || c == '/' || c == '>' || c == '<')
            break;
        ++i;
    }
    return i;
}

bool validName(const TextView& text, qint64 from, qint64 to) {
    if (from >= to || !isAlpha(text.at(from)))
        return false;
    for (qint64 i = from; i < to; ++i)
        if (!isNameChar(text.at(i)))
            return false;
    return true;
}

// Where the attributes of a start tag stand when the walk from `from` reaches `limit`.
struct AttributeWalk {
    enum State { Between, InName, AfterName, AfterEquals, InQuoted, InUnquoted, Ended };
    State state = Between;
    qint64 at = -1;        // the ">" when Ended
    qint64 nameStart = -1; // of the attribute being read
    qint64 nameEnd = -1;
    qint64 valueStart = -1; // of its value
    char quote = 0;
    bool lessThan = false; // a "<" outside quotes: most likely the next tag
};

AttributeWalk walkAttributes(const TextView& text, qint64 from, qint64 limit) {
    AttributeWalk w;
    for (qint64 i = from; i < limit; ++i) {
        const char c = text.at(i);
        switch (w.state) {
        case AttributeWalk::InQuoted:
            if (c == w.quote) {
                // Jump to the closing quote at once: values may be long.
                w.state = AttributeWalk::Between;
            } else {
                const qint64 q = text.find(w.quote, i, limit);
                if (q < 0)
                    return w;
                i = q;
                w.state = AttributeWalk::Between;
            }
            continue;
        case AttributeWalk::InUnquoted:
            if (isSpace(c))
                w.state = AttributeWalk::Between;
            else if (c == '>')
                w.state = AttributeWalk::Ended;
            break;
        case AttributeWalk::AfterEquals:
            if (c == '"' || c == '\'') {
                w.state = AttributeWalk::InQuoted;
                w.quote = c;
                w.valueStart = i + 1;
            } else if (c == '>') {
                w.state = AttributeWalk::Ended;
            } else if (!isSpace(c)) {
                w.state = AttributeWalk::InUnquoted;
                w.valueStart = i;
            }
            break;
        case AttributeWalk::InName:
            if (c == '=') {
                w.nameEnd = i;
                w.state = AttributeWalk::AfterEquals;
            } else if (isSpace(c)) {
                w.nameEnd = i;
                w.state = AttributeWalk::AfterName;
            } else if (c == '>') {
                w.state = AttributeWalk::Ended;
            } else if (c == '/') {
                w.state = AttributeWalk::Between;
            }
            break;
        case AttributeWalk::AfterName:
            if (c == '=') {
                w.state = AttributeWalk::AfterEquals;
            } else if (c == '>') {
                w.state = AttributeWalk::Ended;
            } else if (c == '/') {
                w.state = AttributeWalk::Between;
            } else if (!isSpace(c)) {
                w.state = AttributeWalk::InName;
                w.nameStart = i;
            }
            break;
        case AttributeWalk::Between:
            if (c == '>') {
                w.state = AttributeWalk::Ended;
            } else if (!isSpace(c) && c != '/') {
                w.state = AttributeWalk::InName;
                w.nameStart = i;
            }
            break;
        case AttributeWalk::Ended:
            break;
        }
        if (c == '<')
            w.lessThan = true;
        if (w.state == AttributeWalk::Ended) {
            w.at = i;
            return w;
        }
    }
    return w;
}
} // namespace

Token readToken(const TextView& text, qint64 pos, qint64 limit) {
    Token t;
    limit = qMin(limit, text.size());
    if (pos < 0 || pos + 1 >= limit || text.at(pos) != '<')
        return t;
    const char c1 = text.at(pos + 1);
    auto other = [&](qint64 end) {
        if (end > limit)
            return t;
        t.kind = Token::Other;
        t.start = pos;
        t.end = end;
        return t;
    };
    if (c1 == '!') {
        if (text.at(pos + 2) == '-' && text.at(pos + 3) == '-') {
            if (text.at(pos + 4) == '>')
                return other(pos + 5);
            const qint64 e = text.find(QByteArrayView("-->"), pos + 4, limit);
            return e < 0 ? t : other(e + 3);
        }
        const qint64 e = text.find('>', pos + 2, limit);
        return e < 0 ? t : other(e + 1);
    }
    if (c1 == '?') {
        const qint64 e = text.find('>', pos + 2, limit);
        return e < 0 ? t : other(e + 1);
    }
    if (c1 == '/') {
        if (!isAlpha(text.at(pos + 2))) {
            if (text.at(pos + 2) == '>')
                return other(pos + 3);
            const qint64 e = text.find('>', pos + 2, limit);
            return e < 0 ? t : other(e + 1);
        }
        const qint64 ne = nameEnd(text, pos + 2, limit);
        const qint64 e = text.find('>', ne, limit);
        if (e < 0)
            return t;
        t.kind = Token::EndTag;
        t.start = pos;
        t.end = e + 1;
        t.nameStart = pos + 2;
        t.nameEnd = ne;
        t.name = lowerBytes(text, pos + 2, ne);
        return t;
    }
    if (!isAlpha(c1))
        return t;
    const qint64 ne = nameEnd(text, pos + 1, limit);
    const AttributeWalk w = walkAttributes(text, ne, limit);
    if (w.state != AttributeWalk::Ended)
        return t;
    t.kind = Token::StartTag;
    t.start = pos;
    t.end = w.at + 1;
    t.nameStart = pos + 1;
    t.nameEnd = ne;
    t.name = lowerBytes(text, pos + 1, ne);
    t.selfClosing = text.at(w.at - 1) == '/';
    t.strayLessThan = w.lessThan;
    return t;
}

namespace {
const char* const kRawTextNames[] = {"script", "style",   "textarea", "title",    "xmp",
                                     "iframe", "noembed", "noframes", "plaintext"};
} // namespace

bool isRawText(const QByteArray& n) {
    for (const char* name : kRawTextNames)
        if (n == name)
            return true;
    return false;
}

bool isVoidElement(const QByteArray& lowerName) {
    const auto tag = htmldata::tagFromName(QString::fromLatin1(lowerName));
    return tag && htmldata::isVoid(*tag);
}

namespace {
std::uint32_t flagsOf(const QByteArray& lowerName) {
    const auto tag = htmldata::tagFromName(QString::fromLatin1(lowerName));
    return tag ? checker::elementFlags(int(*tag)) : 0;
}

// The end tag "</name" (any case) of a raw text element from `from` on; its token, or kind
// None when the text has none.
Token rawTextEnd(const TextView& text, qint64 from, const QByteArray& name, qint64 limit) {
    for (qint64 p = text.find(QByteArrayView("</"), from, limit); p >= 0;
         p = text.find(QByteArrayView("</"), p + 2, limit)) {
        bool same = true;
        for (qsizetype k = 0; k < name.size() && same; ++k)
            same = lower(text.at(p + 2 + k)) == name[k];
        if (same && !isNameChar(text.at(p + 2 + name.size()))) {
            const Token t = readToken(text, p, text.size());
            if (t.kind == Token::EndTag)
                return t;
        }
    }
    return Token();
}

// The start tag "<name" (any case) of a raw text element before `before`, or kind None.
// A start tag found must end by `limit` (by default, `before`).
Token rawTextStart(const TextView& text, qint64 before, const QByteArray& name, qint64 floor,
                   qint64 limit = -1) {
    if (limit < 0)
        limit = before;
    for (qint64 p = text.rfind('<', floor, before); p >= 0; p = text.rfind('<', floor, p)) {
        bool same = true;
        for (qsizetype k = 0; k < name.size() && same; ++k)
            same = lower(text.at(p + 1 + k)) == name[k];
        if (same && !isNameChar(text.at(p + 1 + name.size()))) {
            const Token t = readToken(text, p, limit);
            if (t.kind == Token::StartTag)
                return t;
        }
    }
    return Token();
}

int lastIndexOf(const QVector<QByteArray>& names, const QByteArray& name) {
    for (int i = int(names.size()) - 1; i >= 0; --i)
        if (names[i] == name)
            return i;
    return -1;
}

// One tag met walking backwards: void and self-closing tags stand alone, an end tag opens
// an element to be closed by an earlier start tag, a start tag closes the nearest such
// element of its name. True when the tag is taken up that way; false for a start tag that
// nothing later closes (an element still open at the walk's start).
bool takenUpWalkingBack(const Token& t, QVector<QByteArray>* closed) {
    if (t.selfClosing || isVoidElement(t.name))
        return true;
    if (t.kind == Token::EndTag) {
        closed->append(t.name);
        return true;
    }
    const int i = lastIndexOf(*closed, t.name);
    if (i < 0)
        return false;
    closed->resize(i);
    return true;
}
} // namespace

Token BackwardTokens::next(const TextView& text, qint64 floor) {
    while (scanned_ > floor) {
        const qint64 q = text.rfind('<', floor, scanned_);
        if (q < 0) {
            scanned_ = floor;
            break;
        }
        scanned_ = q;
        // A comment that ends between the "<" and the limit holds the "<".
        const qint64 close = text.rfind(QByteArrayView("-->"), q, limit_ - 2);
        if (close >= 0) {
            const qint64 open = text.rfind(QByteArrayView("<!--"), 0, close);
            limit_ = scanned_ = open >= 0 ? open : 0;
            continue;
        }
        const Token t = readToken(text, q, limit_);
        if (t.kind == Token::None)
            continue; // a "<" of the text
        limit_ = q;
        if (t.kind == Token::EndTag && isRawText(t.name)) {
            const Token start = rawTextStart(text, q, t.name, 0);
            if (start.kind == Token::StartTag) {
                limit_ = scanned_ = start.start;
                return start;
            }
        }
        if (t.isTag())
            return t;
    }
    return Token();
}

// ---- the tag at the caret ----------------------------------------------------------------

Token tagAtCaret(const TextView& text, qint64 caret, qint64 reach) {
    const qint64 lo = qMax<qint64>(0, caret - reach);
    const qint64 hi = qMin(text.size(), caret + reach);
    Token left;
    // A "<" inside a quoted value starts no tag: up to a few earlier ones are tried.
    qint64 q = text.rfind('<', lo, caret);
    for (int tries = 0; q >= 0 && tries < 4; ++tries, q = text.rfind('<', lo, q)) {
        const Token t = readToken(text, q, hi);
        if (t.kind == Token::None || (t.isTag() && !validName(text, t.nameStart, t.nameEnd)))
            continue;
        // A tag being typed before other markup reads up to that markup's ">": not a tag.
        if (t.isTag() && t.end >= caret && !t.strayLessThan)
            left = t;
        break;
    }
    if (left.isTag() && left.end > caret)
        return left;
    if (text.at(caret) == '<') {
        const Token right = readToken(text, caret, hi);
        if (right.isTag() && !right.strayLessThan)
            return right;
    }
    return left;
}

Token nameAtCaret(const TextView& text, qint64 caret) {
    constexpr qint64 kLongestName = 256;
    qint64 from = caret;
    while (from > 0 && caret - from < kLongestName && isNameChar(text.at(from - 1)))
        --from;
    Token t;
    if (text.at(from - 1) == '<' && from - 1 >= 0) {
        t.kind = Token::StartTag;
        t.start = from - 1;
    } else if (text.at(from - 1) == '/' && text.at(from - 2) == '<' && from - 2 >= 0) {
        t.kind = Token::EndTag;
        t.start = from - 2;
    } else {
        return Token();
    }
    qint64 to = caret;
    while (to < text.size() && to - caret < kLongestName && isNameChar(text.at(to)))
        ++to;
    if (to > from && !isAlpha(text.at(from)))
        return Token();
    t.nameStart = from;
    t.nameEnd = to;
    t.name = lowerBytes(text, from, to);
    return t;
}

// ---- the partner -------------------------------------------------------------------------

PairSearch::PairSearch(const Token& tag) : tag_(tag) {
    optionalEnd_ = flagsOf(tag.name) & checker::kOptionalEnd;
    if (tag.kind == Token::StartTag) {
        if (tag.selfClosing || isVoidElement(tag.name))
            result_.kind = Pair::Alone;
        pos_ = tag.end;
    } else if (tag.kind == Token::EndTag) {
        if (isVoidElement(tag.name))
            result_.kind = Pair::NoPartner;
        back_ = BackwardTokens(tag.start);
    } else {
        result_.kind = Pair::NoPartner;
    }
}

bool PairSearch::closedBy(const QByteArray& s) const {
    const QByteArray& n = tag_.name;
    if (n == "p")
        return flagsOf(s) & checker::kBlock;
    if (n == "li")
        return s == "li";
    if (n == "dt" || n == "dd")
        return s == "dt" || s == "dd";
    if (n == "option")
        return s == "option" || s == "optgroup";
    if (n == "optgroup")
        return s == "optgroup";
    if (n == "tr")
        return s == "tr" || s == "tbody" || s == "thead" || s == "tfoot";
    if (n == "td" || n == "th")
        return s == "td" || s == "th" || s == "tr" || s == "tbody" || s == "thead" || s == "tfoot";
    if (n == "thead" || n == "tbody" || n == "tfoot")
        return s == "tbody" || s == "tfoot";
    if (n == "rb" || n == "rt" || n == "rtc" || n == "rp")
        return s == "rb" || s == "rt" || s == "rtc" || s == "rp";
    if (n == "head")
        return s == "body";
    if (n == "colgroup")
        return s != "col" && s != "template";
    if (n == "caption")
        return s == "thead" || s == "tbody" || s == "tfoot" || s == "tr" || s == "colgroup";
    return false;
}

bool PairSearch::step(const TextView& text, qint64 budget) {
    if (result_.kind != Pair::Searching)
        return true;
    if (tag_.kind == Token::StartTag)
        return stepForward(text, pos_ + budget);
    return stepBackward(text, back_.scanned() - budget);
}

bool PairSearch::stepForward(const TextView& text, qint64 stop) {
    const qint64 size = text.size();
    if (isRawText(tag_.name)) {
        // Its text holds no tags: the partner is the first end tag of its name.
        const Token end = rawTextEnd(text, pos_, tag_.name, qMin(stop, size));
        if (end.kind == Token::EndTag) {
            result_ = Pair{Pair::Partner, end};
            return true;
        }
        pos_ = qMax(pos_, qMin(stop, size));
        if (stop < size)
            return false;
        result_.kind = Pair::NoPartner;
        return true;
    }
    while (pos_ < size) {
        if (pos_ >= stop)
            return false;
        const qint64 p = text.find('<', pos_, qMin(size, stop));
        if (p < 0) {
            pos_ = qMin(size, stop);
            continue;
        }
        const Token t = readToken(text, p, size);
        if (t.kind == Token::None) {
            pos_ = p + 1;
            continue;
        }
        pos_ = t.end;
        if (t.kind == Token::Other)
            continue;
        if (t.kind == Token::StartTag) {
            if (isRawText(t.name) && !t.selfClosing) {
                const Token end = rawTextEnd(text, t.end, t.name, size);
                pos_ = end.kind == Token::EndTag ? end.end : size;
                continue;
            }
            if (t.selfClosing || isVoidElement(t.name))
                continue;
            if (open_.isEmpty() && optionalEnd_ && closedBy(t.name)) {
                result_.kind = Pair::Alone;
                return true;
            }
            open_.append(t.name);
            continue;
        }
        const int i = lastIndexOf(open_, t.name);
        if (i >= 0) {
            open_.resize(i);
            continue;
        }
        if (t.name == tag_.name) {
            result_ = Pair{Pair::Partner, t};
            return true;
        }
        // The end tag of an element opened before this one: it ends this one too when its
        // end tag may be left out; otherwise it is a stray end tag.
        if (optionalEnd_) {
            result_.kind = Pair::Alone;
            return true;
        }
    }
    result_.kind = optionalEnd_ ? Pair::Alone : Pair::NoPartner;
    return true;
}

bool PairSearch::stepBackward(const TextView& text, qint64 stop) {
    const qint64 floor = qMax<qint64>(0, stop);
    if (isRawText(tag_.name)) {
        // Its text holds no tags: the partner is the last start tag of its name.
        const Token start = rawTextStart(text, back_.scanned(), tag_.name, floor, tag_.start);
        if (start.kind == Token::StartTag) {
            result_ = Pair{Pair::Partner, start};
            return true;
        }
        back_ = BackwardTokens(floor);
        if (floor > 0)
            return false;
        result_.kind = Pair::NoPartner;
        return true;
    }
    while (true) {
        const Token t = back_.next(text, floor);
        if (t.kind == Token::None) {
            if (back_.scanned() > 0)
                return false;
            result_.kind = Pair::NoPartner;
            return true;
        }
        if (takenUpWalkingBack(t, &open_))
            continue;
        if (open_.isEmpty() && t.name == tag_.name) {
            result_ = Pair{Pair::Partner, t};
            return true;
        }
    }
}

Pair PairSearch::find(const TextView& text, const Token& tag) {
    PairSearch search(tag);
    while (!search.step(text, qint64(1) << 40)) {
    }
    return search.result();
}

// ---- closing tags ------------------------------------------------------------------------

QByteArray innermostOpenElement(const TextView& text, qint64 pos, qint64 budget) {
    BackwardTokens walk(pos);
    const qint64 floor = qMax<qint64>(0, pos - budget);
    QVector<QByteArray> closed;
    while (true) {
        const Token t = walk.next(text, floor);
        if (t.kind == Token::None)
            return QByteArray();
        if (takenUpWalkingBack(t, &closed))
            continue;
        if (closed.isEmpty())
            return text.bytes(t.nameStart, t.nameEnd);
    }
}

bool inCommentOrRawText(const TextView& text, qint64 pos, qint64 reach) {
    const qint64 lo = qMax<qint64>(0, pos - reach);
    const qint64 open = text.rfind(QByteArrayView("<!--"), lo, pos);
    if (open >= 0 && text.find(QByteArrayView("-->"), open + 4, pos - 2) < 0 &&
        !(open + 4 < pos && text.at(open + 4) == '>'))
        return true;
    for (qint64 q = text.rfind('<', lo, pos); q >= 0; q = text.rfind('<', lo, q)) {
        const bool end = text.at(q + 1) == '/';
        const qint64 from = q + (end ? 2 : 1);
        // The raw text element named at `from`, read in place: most "<" name no such element.
        QByteArray name;
        for (const char* candidate : kRawTextNames) {
            const qsizetype n = qsizetype(std::strlen(candidate));
            bool same = true;
            for (qsizetype k = 0; k < n && same; ++k)
                same = lower(text.at(from + k)) == candidate[k];
            if (same && !isNameChar(text.at(from + n))) {
                name = candidate;
                break;
            }
        }
        if (name.isEmpty())
            continue;
        if (end)
            return false;
        const Token t = readToken(text, q, pos);
        if (t.kind == Token::StartTag && !t.selfClosing)
            return true;
    }
    return false;
}

QByteArray elementClosedByGreaterThan(const TextView& text, qint64 pos) {
    const qint64 lo = qMax<qint64>(0, pos - kTagReach);
    qint64 q = text.rfind('<', lo, pos);
    for (int tries = 0; q >= 0 && tries < 4; ++tries, q = text.rfind('<', lo, q)) {
        if (!isAlpha(text.at(q + 1)))
            return QByteArray(); // an end tag, a comment, the doctype, or text
        const qint64 ne = nameEnd(text, q + 1, pos);
        if (!validName(text, q + 1, ne))
            continue; // a "<" inside a quoted value: try the one before
        const AttributeWalk w = walkAttributes(text, ne, pos);
        if (w.state == AttributeWalk::Ended || w.state == AttributeWalk::InQuoted)
            return QByteArray();
        if (text.at(pos - 1) == '/' && (w.state == AttributeWalk::Between || ne == pos - 1))
            return QByteArray(); // "/>"
        const QByteArray name = lowerBytes(text, q + 1, ne);
        if (isVoidElement(name) || inCommentOrRawText(text, q, kContextReach))
            return QByteArray();
        return text.bytes(q + 1, ne);
    }
    return QByteArray();
}

QByteArray endTagCompletedBySlash(const TextView& text, qint64 pos) {
    if (pos < 1 || text.at(pos - 1) != '<' || isNameChar(text.at(pos)))
        return QByteArray();
    if (inCommentOrRawText(text, pos - 1, kContextReach))
        return QByteArray();
    return innermostOpenElement(text, pos - 1, kOpenElementBudget);
}

// ---- completion --------------------------------------------------------------------------

CompletionContext completionContext(const TextView& text, qint64 caret) {
    CompletionContext c;
    // A character reference: "&" and letters or digits up to the caret.
    qint64 word = caret;
    while (word > 0 && caret - word < 40 && isNameChar(text.at(word - 1)) &&
           text.at(word - 1) != '-' && text.at(word - 1) != ':')
        --word;
    if (word > 0 && text.at(word - 1) == '&') {
        c.kind = CompletionContext::CharacterReference;
        c.wordStart = word;
        return c;
    }
    const qint64 lo = qMax<qint64>(0, caret - kTagReach);
    qint64 q = text.rfind('<', lo, caret);
    for (int tries = 0; q >= 0 && tries < 4; ++tries, q = text.rfind('<', lo, q)) {
        const bool end = text.at(q + 1) == '/';
        const qint64 from = q + (end ? 2 : 1);
        const qint64 ne = nameEnd(text, from, caret);
        if (ne == caret) {
            // The caret is in the name (or right after "<" or "</").
            if (from < caret && !validName(text, from, caret))
                continue;
            c.kind = CompletionContext::ElementName;
            c.wordStart = from;
            return c;
        }
        if (end || !validName(text, from, ne))
            return c;
        const AttributeWalk w = walkAttributes(text, ne, caret);
        c.element = lowerBytes(text, from, ne);
        switch (w.state) {
        case AttributeWalk::Between:
        case AttributeWalk::AfterName:
            c.kind = CompletionContext::AttributeName;
            c.wordStart = caret;
            return c;
        case AttributeWalk::InName:
            c.kind = CompletionContext::AttributeName;
            c.wordStart = w.nameStart;
            return c;
        case AttributeWalk::AfterEquals:
        case AttributeWalk::InQuoted:
        case AttributeWalk::InUnquoted: {
            c.kind = CompletionContext::AttributeValue;
            c.attribute = lowerBytes(text, w.nameStart, w.nameEnd);
            // A list of values (rel="noopener nore"): the word at the caret.
            qint64 s = caret;
            const qint64 valueStart = w.state == AttributeWalk::AfterEquals ? caret : w.valueStart;
            while (s > valueStart && !isSpace(text.at(s - 1)))
                --s;
            c.wordStart = s;
            return c;
        }
        case AttributeWalk::Ended:
            return CompletionContext();
        }
    }
    return CompletionContext();
}

} // namespace tagscan
