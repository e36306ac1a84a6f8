// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/finder.h"

#include <cstring>

#include "editor/editorbuffer.h"
#include "editor/txtcode.h"

int EditorSearchTarget::textLength() const {
    return editor_->TextLength();
}
int EditorSearchTarget::selStart() const {
    return editor_->SelStart();
}
int EditorSearchTarget::selLength() const {
    return editor_->SelLength();
}

void EditorSearchTarget::select(int start, int length) {
    editor_->SetSelStart(start);
    editor_->SetSelLength(length);
}

void EditorSearchTarget::replaceSelection(const QString& text) {
    editor_->SetSelText(text);
}

namespace {

inline bool asciiWordByte(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
}

inline unsigned char foldAscii(unsigned char b) {
    return (b >= 'A' && b <= 'Z') ? b + 32 : b;
}

// The next byte position in [from, to) where `needle` occurs, its ASCII letters compared
// case-blind unless `matchCase`; -1 when there is none.
qint64 scanBytes(const char* buf, qint64 from, qint64 to, const QByteArray& needle,
                 bool matchCase) {
    const qint64 n = needle.size();
    if (to - from < n)
        return -1;
    if (matchCase) {
        const void* hit = memmem(buf + from, size_t(to - from), needle.constData(), size_t(n));
        return hit ? static_cast<const char*>(hit) - buf : -1;
    }
    // Horspool over case-folded bytes.
    unsigned char folded[256];
    for (int b = 0; b < 256; ++b)
        folded[b] = foldAscii(static_cast<unsigned char>(b));
    QByteArray pattern(needle);
    for (char& c : pattern)
        c = char(folded[static_cast<unsigned char>(c)]);
    const auto* p = reinterpret_cast<const unsigned char*>(pattern.constData());
    const auto* h = reinterpret_cast<const unsigned char*>(buf);
    qint64 shift[256];
    for (qint64& s : shift)
        s = n;
    for (qint64 i = 0; i + 1 < n; ++i)
        shift[p[i]] = n - 1 - i;
    // Indexed by the document's byte as it stands, both cases of a letter alike.
    qint64 skip[256];
    for (int b = 0; b < 256; ++b)
        skip[b] = shift[folded[b]];
    if (n == 1) {
        for (qint64 pos = from; pos < to; ++pos)
            if (folded[h[pos]] == p[0])
                return pos;
        return -1;
    }
    for (qint64 pos = from; pos + n <= to;) {
        const unsigned char last = h[pos + n - 1];
        if (folded[last] == p[n - 1]) {
            qint64 j = n - 2;
            while (j >= 0 && folded[h[pos + j]] == p[j])
                --j;
            if (j < 0)
                return pos;
        }
        pos += skip[last];
    }
    return -1;
}

} // namespace

int EditorSearchTarget::find(const QString& what, int start, int end, int options) {
    // The editor's own find operation decides every match (its case folding and word
    // boundaries). A byte scan of its buffer only skips ahead to the places where a match
    // can be, so that a search across a large document takes milliseconds. A search text
    // with non-ASCII characters searched case-blind is left to the editor alone.
    const QByteArray needle = what.toUtf8();
    const bool matchCase = options & Finder::MatchCase;
    const bool wholeWord = options & Finder::WholeWord;
    bool ascii = true;
    for (char c : needle)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (needle.isEmpty() || (!matchCase && !ascii) || end <= start)
        return editor_->Find(what, start, end, options);

    const qint64 from = editor_->toBytePos(start);
    const qint64 to = editor_->toBytePos(end);
    const qint64 total = editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const char* buf = EditorBuffer(*editor_).whole().data();
    if (!buf)
        return editor_->Find(what, start, end, options);
    const auto firstByte = static_cast<unsigned char>(needle.front());
    const auto lastByte = static_cast<unsigned char>(needle.back());
    for (qint64 pos = from; (pos = scanBytes(buf, pos, to, needle, matchCase)) >= 0; ++pos) {
        const qint64 after = pos + needle.size();
        // Whole word: a word character of the search text may not continue a word of the
        // document; such places are passed over without asking the editor.
        if (wholeWord && ((asciiWordByte(firstByte) && pos > 0 &&
                           asciiWordByte(static_cast<unsigned char>(buf[pos - 1]))) ||
                          (asciiWordByte(lastByte) && after < total &&
                           asciiWordByte(static_cast<unsigned char>(buf[after])))))
            continue;
        const int found =
            editor_->Find(what, editor_->toCharPos(pos), editor_->toCharPos(after), options);
        if (found >= 0)
            return found;
    }
    return -1;
}

bool Finder::searchFromTop(SearchTarget& target, const QString& what, int options) {
    if (target.find(what, 0, target.textLength(), options) < 0)
        return false; // NewSearch stays true
    newSearch_ = false;
    return true;
}

bool Finder::searchOnward(SearchTarget& target, int start, const QString& what, int options) {
    if (target.find(what, start, target.textLength(), options) >= 0)
        return true;
    newSearch_ = true;
    return false;
}

bool Finder::findNext(SearchTarget& target, const QString& what, int options) {
    if (newSearch_)
        return searchFromTop(target, what, options);
    return searchOnward(target, target.selStart() + target.selLength(), what, options);
}

bool Finder::selectionIsOccurrence(SearchTarget& target, const QString& what, int options) {
    const int start = target.selStart();
    const int length = target.selLength();
    if (length == 0 || what.isEmpty())
        return false;
    // Ask the editor's own find operation about exactly the selected stretch, so that
    // case folding and word boundaries are the ones the search itself uses.
    const int found = target.find(what, start, start + length, options);
    if (found == start && target.selLength() == length)
        return true;
    if (found >= 0)
        target.select(start, length); // a match inside the selection moved it: put it back
    return false;
}

bool Finder::replace(SearchTarget& target, const QString& what, const QString& replacement,
                     int options, bool* replaced) {
    if (replaced)
        *replaced = false;
    if (newSearch_)
        return searchFromTop(target, what, options);
    if (!selectionIsOccurrence(target, what, options))
        return searchOnward(target, target.selStart() + target.selLength(), what, options);
    target.replaceSelection(replacement);
    if (replaced)
        *replaced = true;
    // The caret stands right after the replacement, nothing selected.
    return searchOnward(target, target.selStart() + target.selLength(), what, options);
}
