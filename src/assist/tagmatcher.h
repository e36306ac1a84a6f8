// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

#include "assist/tagscan.h"

class TxtCode;

namespace assist {

// Marks the tag that holds the caret and its partner: both with the indicator kMatched, a
// tag without the partner it needs with kUnmatched. The partner is looked for in short
// steps: a first one at once, the rest when the editor is idle, so that no key waits for
// a walk over a large document.
class TagMatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kMatched = 24;
    static constexpr int kUnmatched = 25;

    explicit TagMatcher(TxtCode* editor);

    // The pair of `tag` when the search for it has finished on the current text, else null.
    const tagscan::Pair* knownPair(const tagscan::Token& tag) const;
    // True while a search is still walking.
    bool searching() const { return idle_.isActive(); }

private:
    void update();
    void runSlice();
    void mark();
    void clearMarks();

    TxtCode* editor_;
    QTimer idle_;
    tagscan::PairSearch search_;
    bool haveTag_ = false;
    bool marked_ = false;
    // The text changed since the search started: its positions are stale.
    bool changed_ = false;
};

} // namespace assist
