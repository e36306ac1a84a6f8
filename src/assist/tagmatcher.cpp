// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/tagmatcher.h"

#include <QElapsedTimer>

#include "assist/editortext.h"
#include "editor/txtcode.h"

namespace assist {

namespace {
// What one step may read, and how long the steps of one idle pass may run.
constexpr qint64 kFirstStep = 16 * 1024;
constexpr qint64 kStep = 256 * 1024;
constexpr qint64 kSliceNs = 2'000'000;
// The idle steps start once the keys have paused this long, so that a key typed right after
// another is repainted without waiting for a step.
constexpr int kQuietMs = 40;
} // namespace

TagMatcher::TagMatcher(TxtCode* editor) : QObject(editor), editor_(editor) {
    using S = QsciScintillaBase;
    editor->SendScintilla(S::SCI_INDICSETSTYLE, kMatched, long(S::INDIC_STRAIGHTBOX));
    editor->SendScintilla(S::SCI_INDICSETFORE, kMatched, long(0xd08040)); // blue-grey (BGR)
    editor->SendScintilla(S::SCI_INDICSETALPHA, kMatched, 60L);
    editor->SendScintilla(S::SCI_INDICSETOUTLINEALPHA, kMatched, 160L);
    editor->SendScintilla(S::SCI_INDICSETUNDER, kMatched, 1L);
    editor->SendScintilla(S::SCI_INDICSETSTYLE, kUnmatched, long(S::INDIC_BOX));
    editor->SendScintilla(S::SCI_INDICSETFORE, kUnmatched, long(0x2020e0)); // red (BGR)
    editor->SendScintilla(S::SCI_INDICSETUNDER, kUnmatched, 1L);

    connect(&idle_, &QTimer::timeout, this, &TagMatcher::runSlice);
    connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char*, int, int, int, int, int, int, int) {
                if (type & (S::SC_MOD_INSERTTEXT | S::SC_MOD_DELETETEXT))
                    changed_ = true;
            });
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (S::SC_UPDATE_SELECTION | S::SC_UPDATE_CONTENT))
            update();
    });
}

const tagscan::Pair* TagMatcher::knownPair(const tagscan::Token& tag) const {
    if (!haveTag_ || changed_ || search_.result().kind == tagscan::Pair::Searching)
        return nullptr;
    const tagscan::Token& t = search_.tag();
    if (t.start != tag.start || t.end != tag.end || t.kind != tag.kind || t.name != tag.name)
        return nullptr;
    return &search_.result();
}

void TagMatcher::update() {
    using S = QsciScintillaBase;
    const tagscan::TextView text = editorText(*editor_);
    const qint64 caret = editor_->SendScintilla(S::SCI_GETCURRENTPOS);
    const tagscan::Token tag = tagscan::tagAtCaret(text, caret, tagscan::kTagReach);
    if (!tag.isTag()) {
        haveTag_ = false;
        idle_.stop();
        clearMarks();
        return;
    }
    // The same tag of the same text: the search already under way (or done) holds.
    if (haveTag_ && !changed_) {
        const tagscan::Token& t = search_.tag();
        if (t.start == tag.start && t.end == tag.end && t.name == tag.name)
            return;
    }
    haveTag_ = true;
    changed_ = false;
    search_ = tagscan::PairSearch(tag);
    if (search_.step(text, kFirstStep)) {
        idle_.stop();
        mark();
        return;
    }
    // Until the partner is known, the old marks would point at another tag.
    clearMarks();
    idle_.start(kQuietMs);
}

void TagMatcher::runSlice() {
    if (!haveTag_ || changed_) {
        idle_.stop();
        return;
    }
    const tagscan::TextView text = editorText(*editor_);
    QElapsedTimer clock;
    clock.start();
    while (!search_.step(text, kStep)) {
        if (clock.nsecsElapsed() > kSliceNs) {
            if (idle_.interval() != 0)
                idle_.start(0);
            return;
        }
    }
    idle_.stop();
    mark();
}

void TagMatcher::clearMarks() {
    if (!marked_)
        return;
    using S = QsciScintillaBase;
    const long length = editor_->SendScintilla(S::SCI_GETLENGTH);
    for (int indicator : {kMatched, kUnmatched}) {
        editor_->SendScintilla(S::SCI_SETINDICATORCURRENT, indicator);
        editor_->SendScintilla(S::SCI_INDICATORCLEARRANGE, 0UL, length);
    }
    marked_ = false;
}

void TagMatcher::mark() {
    using S = QsciScintillaBase;
    clearMarks();
    const tagscan::Pair& pair = search_.result();
    const tagscan::Token& tag = search_.tag();
    auto fill = [this](int indicator, const tagscan::Token& t) {
        editor_->SendScintilla(S::SCI_SETINDICATORCURRENT, indicator);
        editor_->SendScintilla(S::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(t.start),
                               static_cast<long>(t.end - t.start));
    };
    if (pair.kind == tagscan::Pair::NoPartner) {
        fill(kUnmatched, tag);
    } else {
        fill(kMatched, tag);
        if (pair.kind == tagscan::Pair::Partner)
            fill(kMatched, pair.partner);
    }
    marked_ = true;
}

} // namespace assist
